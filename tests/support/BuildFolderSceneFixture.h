#pragma once
#include <string>

#include "support/SceneDeviceFixture.h"

// A scene on a device with the build folder as the current folder while the test runs: documents
// find the resource modules there by name (common_res.dll, test_res.dll), as the saver finds them
// beside itself. The earlier current folder comes back after the scene is gone.
class BuildFolderSceneFixture : public SceneDeviceFixture {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    std::wstring m_folderBefore;
};
