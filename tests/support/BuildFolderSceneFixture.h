#pragma once
#include "support/BuildFolderAsCurrent.h"
#include "support/SceneDeviceFixture.h"

// A scene on a device with the build folder as the current folder while the test runs, so that
// documents find the resource modules by name; the earlier folder comes back after the scene is
// gone.
class BuildFolderSceneFixture : public SceneDeviceFixture {
private:
    BuildFolderAsCurrent m_buildFolder;
};
