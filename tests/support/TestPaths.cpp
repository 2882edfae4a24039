#include "TestPaths.h"

#include <windows.h>

std::wstring UnixToWindowsPath(const std::string& unixPath)
{
    std::wstring path(unixPath.begin(), unixPath.end());
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    if (!path.empty() && path[0] == L'\\')
        path = L"Z:" + path;
    return path;
}

std::wstring BuiltProgramPath(const std::wstring& relativeToBuildDir)
{
    std::string binary = VO_BINARY_DIR;
    return UnixToWindowsPath(binary) + L"\\" + relativeToBuildDir;
}

std::string TestArtifactsDir()
{
    std::wstring wide = UnixToWindowsPath(VO_TEST_ARTIFACTS_DIR);
    CreateDirectoryW(wide.c_str(), nullptr);
    return std::string(wide.begin(), wide.end());
}
