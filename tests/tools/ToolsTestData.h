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
    return ReadFileBytes(ToolsTestDataPath(file));
}
