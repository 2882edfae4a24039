#include "support/BuildFolderSceneFixture.h"

#include <windows.h>

#include "support/TestPaths.h"

void BuildFolderSceneFixture::SetUp()
{
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    m_folderBefore = folder;
    SetCurrentDirectoryW(UnixToWindowsPath(VO_BINARY_DIR).c_str());
    SceneDeviceFixture::SetUp();
}

void BuildFolderSceneFixture::TearDown()
{
    SceneDeviceFixture::TearDown();
    if (!m_folderBefore.empty())
        SetCurrentDirectoryW(m_folderBefore.c_str());
}
