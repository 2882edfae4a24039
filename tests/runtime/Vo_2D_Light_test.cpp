#include "runtime/Vo_2D_Light.h"

#include <d3d9.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "model/CurrentDevice.h"
#include "model/Vo_DocResManager.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/LoadSceneDocument.h"
#include "runtime/RenderSizeStack.h"
#include "runtime/ScreenView.h"
#include "runtime/Vo_SlideShow_Light.h"
#include "support/DeviceFixture.h"
#include "support/TestPaths.h"

namespace {

std::vector<uint8_t> AssembledDocument(const std::wstring& name)
{
    const std::wstring path = BuiltProgramPath(L"tests\\documents\\" + name);
    std::ifstream in(std::string(path.begin(), path.end()), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The document of two base-layer slides, red then blue, each with fade-in 1, show 10 and
// fade-out 1, loaded on the fixture's device and stretched over its 64 x 64 target.
class BaseLayerShow : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        CurrentDevice = Device();
        CurrentScreenView = &m_view;
        m_bytes = AssembledDocument(L"TwoPictures.bin");
        ASSERT_FALSE(m_bytes.empty());
        m_root.reset(LoadSceneDocumentFrom(m_bytes.data(), m_bytes.data() + m_bytes.size()));
        m_store.reset(CurrentDocResManager);
        m_root->ActivateSlides();
        m_root->SetPicturePosition(ScreenView::kStretch);
    }
    void TearDown() override
    {
        m_root.reset();
        m_store.reset();
        CurrentScreenView = nullptr;
        CurrentDevice = nullptr;
        DeviceFixture::TearDown();
    }

    // One frame as the host draws it; the colour at the centre, without alpha.
    uint32_t DrawFrame(float time)
    {
        m_root->FrameMove(time);
        EXPECT_EQ(Device()->BeginScene(), D3D_OK);
        m_root->Render(0);
        Device()->EndScene();
        return PixelAt(32, 32) & 0x00FFFFFF;
    }

    ScreenView m_view;
    std::vector<uint8_t> m_bytes;
    std::unique_ptr<Vo_SlideShow_Light> m_root;
    std::unique_ptr<Vo_DocResManager> m_store;
};

TEST_F(BaseLayerShow, ShowsTheFirstPictureFadesAndSwitchesToTheSecond)
{
    EXPECT_TRUE(ColorsNear(DrawFrame(100.0f), 0xFF0000)) << std::hex << PixelAt(32, 32);
    // Every pixel is the picture: stretched over the whole target, no clear colour left.
    for (uint32_t pixel : ReadBack())
        ASSERT_TRUE(ColorsNear(pixel & 0x00FFFFFF, 0xFF0000)) << std::hex << pixel;
    // Half through the fade-out: overlay alpha byte 127 leaves 128 / 255 of the picture.
    EXPECT_TRUE(ColorsNear(DrawFrame(110.5f), 0x800000)) << std::hex << PixelAt(32, 32);
    // The switch frame: the blue slide starts black and fades in.
    EXPECT_TRUE(ColorsNear(DrawFrame(111.5f), 0x000000)) << std::hex << PixelAt(32, 32);
    EXPECT_TRUE(ColorsNear(DrawFrame(112.0f), 0x000080)) << std::hex << PixelAt(32, 32);
    EXPECT_TRUE(ColorsNear(DrawFrame(113.0f), 0x0000FF)) << std::hex << PixelAt(32, 32);
}

TEST_F(BaseLayerShow, DrawsAgainAfterInvalidateResetAndRestore)
{
    EXPECT_TRUE(ColorsNear(DrawFrame(100.0f), 0xFF0000));
    m_root->InvalidateDeviceObjects();
    ASSERT_EQ(ResetDevice(), D3D_OK);
    m_root->RestoreDeviceObjects();
    EXPECT_TRUE(ColorsNear(DrawFrame(101.0f), 0xFF0000)) << std::hex << PixelAt(32, 32);
    // The other slide rebuilds when it is shown.
    DrawFrame(112.5f);
    EXPECT_TRUE(ColorsNear(DrawFrame(114.0f), 0x0000FF)) << std::hex << PixelAt(32, 32);
}

TEST_F(BaseLayerShow, NestedTargetSizesComeBackInOrder)
{
    DrawFrame(100.0f);
    Vo_2D_Light& layer = *m_root->CurrentSlide()->GetLight();
    ASSERT_EQ(layer.TargetWidth(), 64);
    D3DSURFACE_DESC outer = {};
    outer.Width = 256;
    outer.Height = 128;
    D3DSURFACE_DESC inner = {};
    inner.Width = 32;
    inner.Height = 16;
    layer.PushTargetSize(outer, ScreenView::kRenderTarget);
    layer.PushTargetSize(inner, ScreenView::kRenderTarget);
    EXPECT_EQ(layer.TargetWidth(), 32);
    layer.Layout(640, 480);  // a layout while a size is pushed keeps the pushed size
    EXPECT_EQ(layer.TargetWidth(), 32);
    layer.PopTargetSize();
    EXPECT_EQ(layer.TargetWidth(), 256);
    EXPECT_EQ(layer.TargetHeight(), 128);
    EXPECT_TRUE(layer.SizePushed());
    layer.PopTargetSize();
    EXPECT_EQ(layer.TargetWidth(), 64);
    EXPECT_EQ(layer.TargetHeight(), 64);
    EXPECT_FALSE(layer.SizePushed());
    EXPECT_TRUE(RenderSizeStack::Empty());
    // The view is back in its own mode: the picture fills the target again.
    EXPECT_TRUE(ColorsNear(DrawFrame(101.0f), 0xFF0000));
}

}  // namespace
