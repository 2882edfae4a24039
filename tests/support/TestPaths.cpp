#include "TestPaths.h"

#include <windows.h>

#include <cstdio>

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

std::vector<uint8_t> ReadFileBytes(const std::wstring& path)
{
    std::vector<uint8_t> bytes;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return bytes;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    return bytes;
}

std::vector<uint8_t> ReadBuiltFile(const std::wstring& relativeToBuildDir)
{
    return ReadFileBytes(BuiltProgramPath(relativeToBuildDir));
}

std::vector<uint8_t> AssembledTestDocument(const std::wstring& name)
{
    return ReadBuiltFile(L"tests\\documents\\" + name);
}
