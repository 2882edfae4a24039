#pragma once
#include <string>

// While it lives, the build folder is the current folder: there Wine's data-file loading finds
// the resource modules (common_res.dll, test_res.dll) by name, as the saver finds them beside
// itself. The earlier current folder comes back when it goes.
class BuildFolderAsCurrent {
public:
    BuildFolderAsCurrent();
    ~BuildFolderAsCurrent();
    BuildFolderAsCurrent(const BuildFolderAsCurrent&) = delete;
    BuildFolderAsCurrent& operator=(const BuildFolderAsCurrent&) = delete;

private:
    std::wstring m_before;
};
