#include "support/SceneDeviceFixture.h"

#include "model/CurrentDevice.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/LoadSceneDocument.h"

void SceneDeviceFixture::SetUp()
{
    DeviceFixture::SetUp();
    if (HasFatalFailure())
        return;
    CurrentDevice = Device();
    m_view.reset(new ScreenView());
    CurrentScreenView = m_view.get();
    m_storeBefore = CurrentDocResManager;
}

void SceneDeviceFixture::LoadDocument(std::vector<uint8_t> bytes)
{
    m_bytes = std::move(bytes);
    ASSERT_FALSE(m_bytes.empty());
    m_root.reset(LoadSceneDocumentFrom(m_bytes.data(), m_bytes.data() + m_bytes.size()));
    m_store.reset(CurrentDocResManager);
}

void SceneDeviceFixture::TearDown()
{
    m_root.reset();
    m_store.reset();
    CurrentDocResManager = m_storeBefore;
    m_view.reset();
    CurrentScreenView = nullptr;
    CurrentDevice = nullptr;
    DeviceFixture::TearDown();
}
