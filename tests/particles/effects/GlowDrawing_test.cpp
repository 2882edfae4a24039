// Glowing emitters on a real device: two discharges that both ask for the image drawn so far, so
// the layer chains them through its render-target pair while each draws its glow into a target of
// its own and back. Each glow must be screened over the picture where it lies, and the layer's
// target must be the one drawn into at the end.
#include <windows.h>
#include <d3dx9.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "model/RenderTargetPair.h"
#include "particles/effects/Vo_DischargeFXConstructor.h"
#include "particles/effects/Vo_GlowingObj.h"
#include "support/BuildFolderSceneFixture.h"

namespace {

// The slide's picture: red 0x40, green 0x80, blue 0xC0.
constexpr uint32_t kPictureColor = 0x004080C0;
constexpr int kPicture[3] = {0x40, 0x80, 0xC0};

// Channel c of the picture screened with a glow of 0x80 in that channel.
uint32_t Screened(int c)
{
    const double b = kPicture[c] / 255.0, g = 0x80 / 255.0;
    return uint32_t(std::lround((b + g - b * g) * 255.0));
}

uint32_t WithChannel(int c, uint32_t value)
{
    const int shift = 16 - 8 * c;
    return (kPictureColor & ~(0xFFu << shift)) | value << shift;
}

class GlowChainTest : public BuildFolderSceneFixture {};

// Rows 4 to 28 hold the first segment (centre 16), rows 36 to 60 the second (centre 48). Near the
// left end the bolt picture is a thin tapered line, so 10 rows off the centre only the glow shows.
TEST_F(GlowChainTest, GlowOfEachObjectInsideTheChain)
{
    LoadOneSlide(L"GlowChain.bin", 2);
    if (HasFatalFailure())
        return;
    IDirect3DSurface9* target = nullptr;
    ASSERT_EQ(Device()->GetRenderTarget(0, &target), D3D_OK);
    for (size_t i = 0; i < 2; ++i) {
        Vo_GlowingObj* object = ObjectAt<Vo_GlowingObj>(i);
        ASSERT_NE(object, nullptr);
        ASSERT_NE(object->Emitter().Effect(), nullptr) << "the glow effect did not load from the module";
        ASSERT_NE(object->GlowTarget(), nullptr);
        ASSERT_NE(object->GlowTarget()->Current(), nullptr);
        EXPECT_EQ(object->GlowTarget()->Width(), 512u);
        EXPECT_NE(object->Emitter().SpriteTexture(), nullptr) << "the module's bolt picture";
        EXPECT_NE(object->Emitter().GlowTexture(), nullptr);
        EXPECT_TRUE(object->NeedsBackground());
    }
    EXPECT_FALSE(IsEqualGUID(ObjectAt<Vo_GlowingObj>(0)->Identity(), ObjectAt<Vo_GlowingObj>(1)->Identity()));

    DrawFrame(10.0f);
    DrawFrame(10.05f);
    IDirect3DSurface9* after = nullptr;
    ASSERT_EQ(Device()->GetRenderTarget(0, &after), D3D_OK);
    EXPECT_EQ(after, target) << "the layer's target is put back";
    after->Release();
    target->Release();

    struct Probe {
        unsigned x, y;
        uint32_t expected;
    } probes[] = {
        {3, 6, WithChannel(0, Screened(0))},   // above the first bolt: red glow
        {5, 26, WithChannel(0, Screened(0))},  // below it
        {3, 38, WithChannel(1, Screened(1))},  // above the second: green glow
        {5, 58, WithChannel(1, Screened(1))},
        {3, 1, kPictureColor},                 // outside both
        {3, 32, kPictureColor},
        {3, 63, kPictureColor},
    };
    for (const Probe& p : probes) {
        const uint32_t pixel = PixelAt(p.x, p.y) & 0x00FFFFFF;
        EXPECT_TRUE(ColorsNear(pixel, p.expected, 3))
            << p.x << ", " << p.y << ": " << std::hex << pixel << " expected " << p.expected;
    }
    if (HasFailure())
        SaveTarget("GlowChain");
}

// Without its effect an object asks for no background and draws nothing, so the picture stays.
TEST_F(GlowChainTest, WithoutTheEffectNothingIsDrawn)
{
    LoadOneSlide(L"GlowChain.bin", 2);
    if (HasFatalFailure())
        return;
    for (size_t i = 0; i < 2; ++i) {
        Vo_GlowingObj* object = ObjectAt<Vo_GlowingObj>(i);
        ASSERT_NE(object, nullptr);
        object->Emitter().EffectLink().Assign(L"", 0);
        object->Emitter().ResolveEffect();
        EXPECT_EQ(object->Emitter().Effect(), nullptr);
        EXPECT_FALSE(object->NeedsBackground());
    }
    DrawFrame(10.0f);
    DrawFrame(10.05f);
    const std::vector<uint32_t> pixels = ReadBack();
    for (unsigned i = 0; i < pixels.size(); i += 7)
        EXPECT_TRUE(ColorsNear(pixels[i] & 0x00FFFFFF, kPictureColor, 2)) << i;
    if (HasFailure())
        SaveTarget("GlowChain_noEffect");
}

// Objects of no segments ask for no image and draw nothing, at either end of the chain: the one
// object with a segment screens its glow over the picture, and the picture stays everywhere else.
// A count set to 0 later draws no more of the segments made before.
TEST_F(GlowChainTest, ObjectsWithoutSegmentsKeepThePicture)
{
    LoadOneSlide(L"GlowChainWithEmpty.bin", 3);
    if (HasFatalFailure())
        return;
    for (size_t i = 0; i < 3; ++i) {
        Vo_GlowingObj* object = ObjectAt<Vo_GlowingObj>(i);
        ASSERT_NE(object, nullptr);
        ASSERT_NE(object->Emitter().Effect(), nullptr) << "the glow effect did not load from the module";
        EXPECT_EQ(object->Emitter().Count().Value(), i == 1 ? 1u : 0u);
        EXPECT_EQ(object->NeedsBackground(), i == 1) << i;
    }
    DrawFrame(10.0f);
    DrawFrame(10.05f);
    // Rows 36 to 60 hold the segment; above them only the picture.
    const std::vector<uint32_t> pixels = ReadBack();
    int changed = 0;
    for (unsigned i = 0; i < 34 * kSize; ++i)
        changed += ColorsNear(pixels[i] & 0x00FFFFFF, kPictureColor, 2) ? 0 : 1;
    EXPECT_EQ(changed, 0) << "pixels of rows 0 to 33 not the picture";
    for (const unsigned y : {38u, 58u}) {
        const uint32_t pixel = PixelAt(3, y) & 0x00FFFFFF;
        EXPECT_TRUE(ColorsNear(pixel, WithChannel(1, Screened(1)), 3)) << y << ": " << std::hex << pixel;
    }
    if (HasFailure())
        SaveTarget("GlowChain_empty");

    Vo_GlowingObj* green = ObjectAt<Vo_GlowingObj>(1);
    green->Emitter().Count().SetValue(0);
    EXPECT_FALSE(green->NeedsBackground());
    DrawFrame(10.1f);
    const std::vector<uint32_t> after = ReadBack();
    changed = 0;
    for (const uint32_t pixel : after)
        changed += ColorsNear(pixel & 0x00FFFFFF, kPictureColor, 2) ? 0 : 1;
    EXPECT_EQ(changed, 0) << "pixels not the picture after the count went to 0";
    if (HasFailure())
        SaveTarget("GlowChain_countToZero");
}

}  // namespace
