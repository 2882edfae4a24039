#include "support/BuildFolderAsCurrent.h"

#include <windows.h>

#include "support/TestPaths.h"

BuildFolderAsCurrent::BuildFolderAsCurrent()
{
    wchar_t folder[MAX_PATH] = {};
    if (GetCurrentDirectoryW(MAX_PATH, folder) > 0)
        m_before = folder;
    SetCurrentDirectoryW(UnixToWindowsPath(VO_BINARY_DIR).c_str());
}

BuildFolderAsCurrent::~BuildFolderAsCurrent()
{
    if (!m_before.empty())
        SetCurrentDirectoryW(m_before.c_str());
}
