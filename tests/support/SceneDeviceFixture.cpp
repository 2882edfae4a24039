#include "support/SceneDeviceFixture.h"

#include "model/CurrentDevice.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/LoadSceneDocument.h"
#include "support/TestPaths.h"

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

void SceneDeviceFixture::LoadOneSlide(std::vector<uint8_t> bytes, size_t objects)
{
    LoadDocument(std::move(bytes));
    if (HasFatalFailure())
        return;
    ASSERT_EQ(m_root->Slides().size(), 1u);
    m_root->ActivateSlides();
    m_root->SetPicturePosition(ScreenView::kStretch);
    ASSERT_EQ(Slide().DrawnObjects().size(), objects);
}

void SceneDeviceFixture::LoadOneSlide(const wchar_t* assembledDocument, size_t objects)
{
    LoadOneSlide(AssembledTestDocument(assembledDocument), objects);
}

void SceneDeviceFixture::DrawFrame(float time)
{
    ASSERT_EQ(m_root->FrameMove(time), S_OK);
    ASSERT_EQ(Device()->BeginScene(), D3D_OK);
    m_root->Render(0);
    Device()->EndScene();
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
