#include "model/RenderTargetPair.h"

#include <d3dx9.h>

#include "ResourceTestData.h"
#include "model/D3DResourceMakers.h"

using namespace restest;

namespace {

class RenderTargetPairTest : public CurrentDeviceFixture {
protected:
    void Fill(IDirect3DTexture9* texture, uint32_t colour)
    {
        ComRef<IDirect3DSurface9> surface;
        ASSERT_EQ(texture->GetSurfaceLevel(0, surface.Receive()), D3D_OK);
        ASSERT_EQ(Device()->ColorFill(surface.Get(), nullptr, colour), D3D_OK);
    }
    ComRef<IDirect3DTexture9> Picture(uint32_t width, uint32_t height, uint32_t colour)
    {
        std::vector<uint8_t> bmp = SolidBmp(width, height, colour);
        D3DXIMAGE_INFO info = {};
        ComRef<IDirect3DTexture9> texture;
        LoadTextureFromMemory(info, static_cast<uint32_t>(bmp.size()), bmp.data(), texture);
        return texture;
    }
};

}  // namespace

TEST_F(RenderTargetPairTest, CreateMakesTwoTargetsAndAZeroSideOnlyRecordsTheSize)
{
    RenderTargetPair pair;
    EXPECT_EQ(pair.Current(), nullptr);
    pair.Create(32, 16);
    ASSERT_NE(pair.Texture(0), nullptr);
    ASSERT_NE(pair.Texture(1), nullptr);
    EXPECT_NE(pair.Texture(0), pair.Texture(1));
    EXPECT_EQ(pair.Current(), pair.Texture(0));
    EXPECT_EQ(pair.Width(), 32u);
    EXPECT_EQ(pair.Height(), 16u);
    D3DSURFACE_DESC desc;
    pair.Current()->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Usage, static_cast<DWORD>(D3DUSAGE_RENDERTARGET));
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);

    IDirect3DTexture9* first = pair.Texture(0);
    pair.Create(0, 8);
    EXPECT_EQ(pair.Texture(0), first);
    EXPECT_EQ(pair.Width(), 0u);
    EXPECT_EQ(pair.Height(), 8u);

    pair.ReleaseTextures();
    EXPECT_EQ(pair.Current(), nullptr);
    EXPECT_EQ(pair.Texture(0), nullptr);
    EXPECT_EQ(pair.Texture(1), nullptr);
}

TEST_F(RenderTargetPairTest, CreateAtTheSizeItHasKeepsTheTexturesAndAnotherSizeMakesNewOnes)
{
    RenderTargetPair pair;
    pair.Create(32, 16);
    ASSERT_NE(pair.Texture(1), nullptr);
    pair.Swap();
    IDirect3DTexture9* first = pair.Texture(0);
    IDirect3DTexture9* second = pair.Texture(1);
    Fill(first, 0xFFFF0000);
    Fill(second, 0xFF00FF00);

    // Asked again for the size it has, as at every showing of a slide: the same two targets with
    // what was drawn into them, the one drawn into last still current.
    pair.Create(32, 16);
    EXPECT_EQ(pair.Texture(0), first);
    EXPECT_EQ(pair.Texture(1), second);
    EXPECT_EQ(pair.Current(), pair.Texture(1));
    EXPECT_EQ(TexelAt(pair.Texture(0), 5, 5), 0xFFFF0000u);
    EXPECT_EQ(TexelAt(pair.Texture(1), 5, 5), 0xFF00FF00u);
    EXPECT_EQ(pair.Width(), 32u);
    EXPECT_EQ(pair.Height(), 16u);

    // The store's pairs take their picture again at every showing: into the kept target.
    ComRef<IDirect3DTexture9> picture = Picture(8, 8, 0xFF306090);
    pair.CopyFrom(picture.Get(), 32, 16);
    EXPECT_EQ(pair.Current(), pair.Texture(1));
    EXPECT_EQ(pair.Texture(1), second);
    EXPECT_TRUE(ColorsNear(TexelAt(pair.Current(), 31, 15), 0xFF306090));

    // Another size, or after the textures were let go (a device reset), makes new ones.
    pair.Create(64, 16);
    ASSERT_NE(pair.Texture(0), nullptr);
    D3DSURFACE_DESC desc;
    pair.Texture(0)->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 64u);
    pair.Texture(1)->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 64u);
    EXPECT_EQ(pair.Width(), 64u);
    pair.ReleaseTextures();
    pair.Create(64, 16);
    EXPECT_NE(pair.Texture(0), nullptr);
    EXPECT_NE(pair.Texture(1), nullptr);
}

TEST_F(RenderTargetPairTest, SwapAlternatesAndClearsTheNewTargetToOpaqueBlack)
{
    RenderTargetPair pair;
    pair.Create(64, 64);
    IDirect3DTexture9* a = pair.Texture(0);
    IDirect3DTexture9* b = pair.Texture(1);
    Fill(a, 0xFFFF0000);
    Fill(b, 0xFF00FF00);

    EXPECT_EQ(pair.Swap(), a);
    EXPECT_EQ(pair.Current(), b);
    EXPECT_EQ(pair.Index(), 1);
    EXPECT_EQ(TexelAt(b, 10, 10), 0xFF000000u);
    EXPECT_EQ(TexelAt(a, 10, 10), 0xFFFF0000u);  // the image drawn before stays
    ComRef<IDirect3DSurface9> target, bSurface;
    Device()->GetRenderTarget(0, target.Receive());
    b->GetSurfaceLevel(0, bSurface.Receive());
    EXPECT_EQ(target.Get(), bSurface.Get());

    Fill(b, 0xFF0000FF);
    EXPECT_EQ(pair.Swap(), b);
    EXPECT_EQ(pair.Current(), a);
    EXPECT_EQ(TexelAt(a, 63, 0), 0xFF000000u);
    EXPECT_EQ(TexelAt(b, 63, 0), 0xFF0000FFu);
}

TEST_F(RenderTargetPairTest, CopyFromScalesThePictureIntoTheCurrentTarget)
{
    ComRef<IDirect3DTexture9> picture = Picture(16, 8, 0xFF204080);
    RenderTargetPair pair;
    pair.CopyFrom(picture.Get(), 64, 64);
    ASSERT_NE(pair.Current(), nullptr);
    EXPECT_EQ(pair.Width(), 64u);
    EXPECT_EQ(pair.Height(), 64u);
    EXPECT_TRUE(ColorsNear(TexelAt(pair.Current(), 0, 0), 0xFF204080));
    EXPECT_TRUE(ColorsNear(TexelAt(pair.Current(), 63, 63), 0xFF204080));

    RenderTargetPair empty;
    empty.CopyFrom(nullptr, 48, 24);
    EXPECT_NE(empty.Current(), nullptr);
    EXPECT_EQ(empty.Width(), 48u);
    EXPECT_EQ(empty.Height(), 24u);
}

TEST_F(RenderTargetPairTest, BeginDrawsIntoTheTargetPairAndEndRestoresTargetAndDepth)
{
    ComRef<IDirect3DSurface9> originalTarget, originalDepth;
    Device()->GetRenderTarget(0, originalTarget.Receive());
    Device()->GetDepthStencilSurface(originalDepth.Receive());
    ASSERT_TRUE(originalDepth);
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF112233, 1.0f, 0);

    RenderTargetPair saver, target;
    target.Create(128, 128);  // larger than the depth surface, which therefore must not stay set
    saver.Begin(target);
    ComRef<IDirect3DSurface9> during, depthDuring, expected;
    Device()->GetRenderTarget(0, during.Receive());
    Device()->GetDepthStencilSurface(depthDuring.Receive());
    target.Current()->GetSurfaceLevel(0, expected.Receive());
    EXPECT_EQ(during.Get(), expected.Get());
    EXPECT_FALSE(depthDuring);
    EXPECT_EQ(Device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
    saver.End();

    ComRef<IDirect3DSurface9> after, depthAfter;
    Device()->GetRenderTarget(0, after.Receive());
    Device()->GetDepthStencilSurface(depthAfter.Receive());
    EXPECT_EQ(after.Get(), originalTarget.Get());
    EXPECT_EQ(depthAfter.Get(), originalDepth.Get());
    EXPECT_EQ(TexelAt(target.Current(), 100, 100), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(5, 5), 0xFF112233u);
    // The pair let its saved references go: only the fixture and our holder keep the target.
    after.Reset();
    EXPECT_EQ(RefCount(originalTarget.Get()), 2u);
}

TEST_F(RenderTargetPairTest, PairWithoutTexturesLeavesTheDeviceAlone)
{
    ComRef<IDirect3DSurface9> originalTarget;
    Device()->GetRenderTarget(0, originalTarget.Receive());
    RenderTargetPair saver, empty;
    EXPECT_EQ(empty.Swap(), nullptr);
    saver.Begin(empty);
    saver.End();
    ComRef<IDirect3DSurface9> after;
    Device()->GetRenderTarget(0, after.Receive());
    EXPECT_EQ(after.Get(), originalTarget.Get());
    empty.CopyFrom(nullptr, 0, 0);
    EXPECT_EQ(empty.Current(), nullptr);
}
