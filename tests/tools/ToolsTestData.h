#pragma once
// The files that the build tools made for the tests (tests/tools/TestData.cmake).
#include "support/TestPaths.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

inline std::wstring ToolsTestDataPath(const std::string& file)
{
    return UnixToWindowsPath(std::string(VO_TOOLS_TEST_DATA) + "/" + file);
}

// The whole file, or nothing when it cannot be read.
inline std::vector<uint8_t> ReadToolsTestFile(const std::string& file)
{
    std::vector<uint8_t> bytes;
    FILE* f = _wfopen(ToolsTestDataPath(file).c_str(), L"rb");
    if (!f)
        return bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);
    return bytes;
}
