#include "TestPaths.h"

#include <windows.h>

#include <fstream>
#include <iterator>

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

std::vector<uint8_t> ReadBuiltFile(const std::wstring& relativeToBuildDir)
{
    const std::wstring path = BuiltProgramPath(relativeToBuildDir);
    // Build paths are plain ASCII.
    std::ifstream in(std::string(path.begin(), path.end()), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> AssembledTestDocument(const std::wstring& name)
{
    return ReadBuiltFile(L"tests\\documents\\" + name);
}
