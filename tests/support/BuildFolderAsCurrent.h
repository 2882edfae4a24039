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

// While it lives, the build's tests folder is the current folder: it holds no resource module, so
// a module that is named without a path is not found there, whatever folder the test program was
// started in (ctest starts it there; by hand it may be the build folder, which holds them). The
// earlier current folder comes back when it goes.
class ModulelessFolderAsCurrent {
public:
    ModulelessFolderAsCurrent();
    ~ModulelessFolderAsCurrent();
    ModulelessFolderAsCurrent(const ModulelessFolderAsCurrent&) = delete;
    ModulelessFolderAsCurrent& operator=(const ModulelessFolderAsCurrent&) = delete;

private:
    std::wstring m_before;
};
