#include "support/BuildFolderAsCurrent.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "support/TestPaths.h"

namespace {

// Makes folder current and returns the folder that was; a folder that cannot be made current
// fails the test.
std::wstring MakeCurrent(const std::wstring& folder)
{
    wchar_t before[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    EXPECT_TRUE(SetCurrentDirectoryW(folder.c_str())) << "cannot make the folder current";
    return before;
}

void PutBack(const std::wstring& before)
{
    if (!before.empty())
        SetCurrentDirectoryW(before.c_str());
}

}  // namespace

BuildFolderAsCurrent::BuildFolderAsCurrent() : m_before(MakeCurrent(UnixToWindowsPath(VO_BINARY_DIR))) {}

BuildFolderAsCurrent::~BuildFolderAsCurrent() { PutBack(m_before); }

ModulelessFolderAsCurrent::ModulelessFolderAsCurrent()
    : m_before(MakeCurrent(UnixToWindowsPath(VO_BINARY_DIR "/tests")))
{
}

ModulelessFolderAsCurrent::~ModulelessFolderAsCurrent() { PutBack(m_before); }
