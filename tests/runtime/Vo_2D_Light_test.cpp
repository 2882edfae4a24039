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
#include "support/SceneDeviceFixture.h"
#include "support/TestPaths.h"
#include "model/ClassReaderRegistration.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/Vo_ABObj.h"
#include "runtime/Vo_ABObj_Constructor.h"

namespace {

// A screen-space quad over x0..x1 of the 64 x 64 target, textured (modulated by the colour) or,
// without a texture, of the colour alone.
void DrawScreenQuad(IDirect3DTexture9* texture, uint32_t color, float x0, float x1)
{
    struct Vertex {
        float x, y, z, rhw;
        uint32_t color;
        float u, v;
    };
    // Half a pixel back, so texel centres fall on pixel centres.
    const float l = x0 - 0.5f, r = x1 - 0.5f, t = -0.5f, b = 63.5f;
    const float ul = x0 / 64.0f, ur = x1 / 64.0f;
    const Vertex quad[4] = {{l, b, 0, 1, color, ul, 1}, {l, t, 0, 1, color, ul, 0},
                            {r, b, 0, 1, color, ur, 1}, {r, t, 0, 1, color, ur, 0}};
    IDirect3DDevice9* d = CurrentDevice;
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetTexture(0, texture);
    d->SetTextureStageState(0, D3DTSS_COLOROP, texture ? D3DTOP_MODULATE : D3DTOP_SELECTARG2);
    d->SetVertexShader(nullptr);
    d->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
}

}  // namespace

// A layer that composes the frame itself from the pair, at half brightness.
class Vo_PostEffectLight : public Vo_2D_Light {
public:
    bool HasOwnPostEffect() const override { return true; }
    void EndRender(int nested) override
    {
        Vo_2D_Light::EndRender(nested);
        DrawScreenQuad(EndEffects(false).Current(), 0xFF808080, 0, 64);
    }
};

// Kind 1 copies the background at half brightness over the whole target and so needs it; kind 2
// paints the left quarter green.
class Vo_ChainObjectCtrl : public Vo_ABObj_Constructor {
public:
    void LoadFields(Vo_IOF_Virtual& stream, int32_t) { stream.ReadUInt(m_kind); }
    Vo_ABObj* CreateObject() override;
    uint32_t m_kind = 0;
};

class ChainObject : public Vo_ABObj {
public:
    explicit ChainObject(Vo_ChainObjectCtrl* owner) : Vo_ABObj(owner), m_kind(owner->m_kind) {}
    void Render(Vo_ABRender* render) override
    {
        if (m_kind == 1)
            DrawScreenQuad(*render->GetOutputTexture(), 0xFF808080, 0, 64);
        else
            DrawScreenQuad(nullptr, 0xFF00FF00, 0, 16);
    }
    void Notify(int, int) override {}
    void Relayout() override {}
    void Update(float) override {}
    bool NeedsBackground() const override { return m_kind == 1; }

private:
    uint32_t m_kind;
};

Vo_ABObj* Vo_ChainObjectCtrl::CreateObject()
{
    return new ChainObject(new Vo_ChainObjectCtrl(*this));
}

VO_REGISTER_LIGHT_READER(Vo_PostEffectLight);
VO_REGISTER_CONSTRUCTOR_READER(Vo_ChainObjectCtrl);

namespace {

// The document of two base-layer slides, red then blue, each with fade-in 1, show 10 and
// fade-out 1, loaded on the fixture's device and stretched over its 64 x 64 target.
class BaseLayerShow : public SceneDeviceFixture {
protected:
    void SetUp() override
    {
        SceneDeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        LoadDocument(AssembledTestDocument(Document()));
        if (HasFatalFailure())
            return;
        m_root->ActivateSlides();
        m_root->SetPicturePosition(ScreenView::kStretch);
    }

    virtual const wchar_t* Document() const { return L"TwoPictures.bin"; }

    // One frame as the host draws it; the colour at the centre, without alpha.
    uint32_t DrawFrame(float time)
    {
        m_root->FrameMove(time);
        EXPECT_EQ(Device()->BeginScene(), D3D_OK);
        m_root->Render(0);
        Device()->EndScene();
        return PixelAt(32, 32) & 0x00FFFFFF;
    }
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

TEST_F(BaseLayerShow, ChangingThePictureLinkShowsTheNewPicture)
{
    EXPECT_TRUE(ColorsNear(DrawFrame(100.0f), 0xFF0000));
    Vo_2D_Light& layer = *m_root->CurrentSlide()->GetLight();
    layer.PictureLink().Assign(L"C:\\pictures\\blue.bmp", 0x01D9000000000002);
    EXPECT_TRUE(ColorsNear(DrawFrame(101.0f), 0xFF0000)) << "filling a link tells nobody";
    layer.PictureLink().NotifyControls(nullptr);
    EXPECT_TRUE(ColorsNear(DrawFrame(102.0f), 0x0000FF)) << std::hex << PixelAt(32, 32);
    EXPECT_EQ(layer.TargetWidth(), 64) << "the new picture is laid out at the same target";
}

class ChainedObjects : public BaseLayerShow {
    const wchar_t* Document() const override { return L"ChainedObjects.bin"; }
};
class PostEffectChain : public BaseLayerShow {
    const wchar_t* Document() const override { return L"PostEffectChain.bin"; }
};

// The red picture goes into the pair; the last object needing the background (drawn first)
// halves it into the other texture, the green quarter lands there too, and the first object
// ends the chain, halving that onto the target.
TEST_F(ChainedObjects, ObjectsThatNeedTheBackgroundPassTheImageAlong)
{
    EXPECT_TRUE(ColorsNear(DrawFrame(100.0f), 0x400000, 3)) << std::hex << PixelAt(32, 32);
    EXPECT_TRUE(ColorsNear(PixelAt(8, 32) & 0xFFFFFF, 0x008000, 3)) << std::hex << PixelAt(8, 32);
    // The output texture is back to the picture after the chain.
    Vo_2D_Light& layer = *m_root->CurrentSlide()->GetLight();
    EXPECT_EQ(*layer.GetOutputTexture(), layer.Picture().texture.Get());
}

// With its own post effect the layer counts one more: the first object swaps too, and the layer
// composes the frame, halving once more.
TEST_F(PostEffectChain, TheLayerEndsTheChainItself)
{
    EXPECT_TRUE(ColorsNear(DrawFrame(100.0f), 0x200000, 3)) << std::hex << PixelAt(32, 32);
    EXPECT_TRUE(ColorsNear(PixelAt(8, 32) & 0xFFFFFF, 0x004000, 3)) << std::hex << PixelAt(8, 32);
}

}  // namespace
