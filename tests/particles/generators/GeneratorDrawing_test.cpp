// Generators drawn on a real device: the mask composite of every blend mode over a picture of one
// colour, smoke rising over it, and the geometry slots of the runtime object.
#include <windows.h>
#include <d3dx9.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "model/RenderTargetPair.h"
#include "particles/generators/Vo_LightningGN.h"
#include "particles/generators/Vo_ParticlesObj.h"
#include "particles/generators/Vo_RadialRays.h"
#include "particles/generators/Vo_Smoke.h"
#include "support/BuildFolderSceneFixture.h"
#include "support/CrtRandom.h"
#include "support/TestPaths.h"
#include "tests/particles/generators/GeneratorTesting.h"

namespace {

// The layer's picture: one colour, red 0x40, green 0x80, blue 0xC0.
constexpr double kPicture[3] = {0x40 / 255.0, 0x80 / 255.0, 0xC0 / 255.0};
constexpr uint32_t kPictureColor = 0x004080C0;

uint32_t ToColor(const double channels[3])
{
    uint32_t color = 0;
    for (int i = 0; i < 3; ++i) {
        const double c = std::min(1.0, std::max(0.0, channels[i]));
        color = color << 8 | static_cast<uint32_t>(c * 255 + 0.5);
    }
    return color;
}

// The texture the effect holds under the name, read without keeping a reference; a read that
// fails fails the test.
IDirect3DBaseTexture9* BoundTexture(ID3DXEffect* effect, const char* name)
{
    IDirect3DBaseTexture9* texture = nullptr;
    EXPECT_EQ(effect->GetTexture(name, &texture), D3D_OK) << name;
    if (texture)
        texture->Release();
    return texture;
}

// After a frame the effect holds neither the mask target nor the layer's image: a render target
// left bound to it would make the device reset fail.
void ExpectNoTexturesBound(ID3DXEffect* effect)
{
    EXPECT_EQ(BoundTexture(effect, "Texture1"), nullptr);
    EXPECT_EQ(BoundTexture(effect, "Texture2"), nullptr);
}

// The generators' effect comes from common_res.dll in the build folder.
class GeneratorDocumentTest : public BuildFolderSceneFixture {
protected:
    Vo_ParticlesObj* Object() { return ObjectAt<Vo_ParticlesObj>(0); }
};

// One ray over the rows 16 to 48: inside it the grey mask (0.502, alpha 1) meets the picture by
// the blend mode, outside the picture stays as it is; the effect lets go of the mask and the
// image after the composite.
TEST_F(GeneratorDocumentTest, CompositeOfEveryBlendMode)
{
    LoadOneSlide(L"GeneratorRays.bin", 1);
    if (HasFatalFailure())
        return;
    Vo_ParticlesObj* object = Object();
    ASSERT_NE(object, nullptr);
    auto* rays = dynamic_cast<Vo_RadialRays*>(object->Generator());
    ASSERT_NE(rays, nullptr);
    ASSERT_NE(rays->Effect(), nullptr) << "the generators' effect did not load from the module";
    ASSERT_NE(rays->MaskTarget(), nullptr);
    ASSERT_NE(rays->MaskTarget()->Current(), nullptr);

    const double m = 0x80 / 255.0;
    struct Case {
        int mode;
        bool needsBackground;
        double result[3];
    } cases[4];
    for (int i = 0; i < 3; ++i) {
        const double b = kPicture[i];
        cases[0].result[i] = m;
        cases[1].result[i] = 1 - (1 - b) * (1 - m);
        cases[2].result[i] = b / (1 - m);
        cases[3].result[i] = b + m;
    }
    cases[0].mode = 0, cases[1].mode = 1, cases[2].mode = 2, cases[3].mode = 3;
    cases[0].needsBackground = false, cases[1].needsBackground = true;
    cases[2].needsBackground = true, cases[3].needsBackground = false;

    float time = 10.0f;
    for (const Case& c : cases) {
        SCOPED_TRACE("blend mode " + std::to_string(c.mode));
        rays->BlendModeParam().ValueRef() = c.mode;
        EXPECT_EQ(object->NeedsBackground(), c.needsBackground);
        DrawFrame(time += 0.1f);
        const uint32_t inside = PixelAt(32, 32) & 0x00FFFFFF;
        const uint32_t outside = PixelAt(32, 4) & 0x00FFFFFF;
        EXPECT_TRUE(ColorsNear(inside, ToColor(c.result), 3)) << std::hex << inside << " expected " << ToColor(c.result);
        EXPECT_TRUE(ColorsNear(outside, kPictureColor, 2)) << std::hex << outside;
        ExpectNoTexturesBound(rays->Effect());
        if (HasFailure())
            SaveTarget("GeneratorComposite_mode" + std::to_string(c.mode));
    }

    // A mode outside 0-3 composites nothing: the picture stays.
    rays->BlendModeParam().ValueRef() = 7;
    DrawFrame(time += 0.1f);
    EXPECT_TRUE(ColorsNear(PixelAt(32, 32) & 0x00FFFFFF, kPictureColor, 2));

    // Count 0 draws no ray.
    rays->BlendModeParam().ValueRef() = 0;
    rays->Count().ValueRef() = 0;
    DrawFrame(time += 0.1f);
    EXPECT_TRUE(ColorsNear(PixelAt(32, 32) & 0x00FFFFFF, kPictureColor, 2));
}

// Smoke rises from the bottom centre: the column above the origin lightens, the corners stay.
TEST_F(GeneratorDocumentTest, SmokeRisesOverThePicture)
{
    LoadOneSlide(L"GeneratorSmoke.bin", 1);
    if (HasFatalFailure())
        return;
    auto* smoke = dynamic_cast<Vo_Smoke*>(Object()->Generator());
    ASSERT_NE(smoke, nullptr);
    EXPECT_GT(smoke->Particles().size(), 10u) << "the pre-warm emitted puffs";
    float time = 10.0f;
    for (int i = 0; i < 5; ++i)
        DrawFrame(time += 0.05f);
    const unsigned puffs = Object()->QuadCount(0);
    EXPECT_EQ(puffs, smoke->Particles().size());

    int lighter = 0;
    for (unsigned y = 20; y < 60; y += 4) {
        const uint32_t pixel = PixelAt(32, y);
        if (((pixel >> 16) & 0xFF) > 0x50)
            ++lighter;
    }
    EXPECT_GE(lighter, 5) << "smoke above the origin";
    EXPECT_TRUE(ColorsNear(PixelAt(2, 2) & 0x00FFFFFF, kPictureColor, 2));
    EXPECT_TRUE(ColorsNear(PixelAt(61, 2) & 0x00FFFFFF, kPictureColor, 2));
    if (HasFailure())
        SaveTarget("GeneratorSmoke");
}

// The quads that draw without the mask: the animated quad through "Blend_Normal" with colour 1's
// alpha, the plant through its effect, and a ray whose effect is missing straight into the layer
// (its screen mode then asks for no background).
TEST_F(GeneratorDocumentTest, QuadsWithoutTheMask)
{
    LoadOneSlide(L"GeneratorQuads.bin", 3);
    if (HasFatalFailure())
        return;
    for (const auto& object : Slide().DrawnObjects())
        EXPECT_FALSE(object->NeedsBackground());
    DrawFrame(10.0f);
    DrawFrame(10.1f);

    const double a = 127 / 255.0;
    const double blended[3] = {a + (1 - a) * kPicture[0], (1 - a) * kPicture[1], (1 - a) * kPicture[2]};
    const uint32_t animation = PixelAt(16, 16) & 0x00FFFFFF;
    EXPECT_TRUE(ColorsNear(animation, ToColor(blended), 3)) << std::hex << animation;
    const uint32_t plant = PixelAt(48, 16) & 0x00FFFFFF;
    EXPECT_TRUE(ColorsNear(plant, 0x0000FF00, 3)) << std::hex << plant;
    const uint32_t ray = PixelAt(32, 48) & 0x00FFFFFF;
    EXPECT_TRUE(ColorsNear(ray, 0x000000FF, 3)) << std::hex << ray;
    EXPECT_TRUE(ColorsNear(PixelAt(32, 62) & 0x00FFFFFF, kPictureColor, 2));
    EXPECT_TRUE(ColorsNear(PixelAt(32, 36) & 0x00FFFFFF, kPictureColor, 2));
    if (HasFailure())
        SaveTarget("GeneratorQuads");
}

// A straight bolt along row 32 from x = 8 to 54: the white core 4 wide under the red outer layer
// of alpha 127/255 and 8 wide, the colours kept through the mask; everywhere else the picture
// stays as it is, and the effect holds no render target afterwards.
TEST_F(GeneratorDocumentTest, LightningAlongItsLine)
{
    LoadOneSlide(L"GeneratorLightning.bin", 1);
    if (HasFatalFailure())
        return;
    auto* lightning = dynamic_cast<Vo_LightningGN*>(Object()->Generator());
    ASSERT_NE(lightning, nullptr);
    ASSERT_NE(lightning->Effect(), nullptr) << "the lightning effect did not load from the module";
    DrawFrame(10.0f);
    DrawFrame(10.1f);
    EXPECT_EQ(Object()->QuadCount(1), 15u);
    EXPECT_EQ(Object()->QuadCount(0), 17u);

    const double a = 127 / 255.0;
    const double core[3] = {1.0, 1 - a, 1 - a};
    const double outer[3] = {a + (1 - a) * kPicture[0], (1 - a) * kPicture[1], (1 - a) * kPicture[2]};
    for (unsigned x = 10; x <= 50; x += 4) {
        SCOPED_TRACE("x " + std::to_string(x));
        const uint32_t middle = PixelAt(x, 32) & 0x00FFFFFF;
        EXPECT_TRUE(ColorsNear(middle, ToColor(core), 3)) << std::hex << middle << " expected " << ToColor(core);
        const uint32_t edge = PixelAt(x, 35) & 0x00FFFFFF;
        EXPECT_TRUE(ColorsNear(edge, ToColor(outer), 3)) << std::hex << edge << " expected " << ToColor(outer);
    }
    int touched = 0;
    for (unsigned y = 0; y < 64; ++y)
        for (unsigned x = 0; x < 64; ++x)
            if ((y <= 26 || y >= 38 || x <= 2 || x >= 61) && !ColorsNear(PixelAt(x, y) & 0x00FFFFFF, kPictureColor, 2))
                ++touched;
    EXPECT_EQ(touched, 0) << "pixels away from the line changed";
    ExpectNoTexturesBound(lightning->Effect());
    if (HasFailure())
        SaveTarget("GeneratorLightning");
}

class ParticleSlotTest : public SceneDeviceFixture {};

// The runtime object builds the fan of seed 2026 (GeneratorTesting.h) into its slot from the
// stored seed, whatever the sequence stood at, and leaves the sequence reseeded with the number
// it drew first (srand(5) gives 54; after srand(54) the first draw is 214).
TEST_F(ParticleSlotTest, TheFanOfTheStoredSeed)
{
    ASSERT_TRUE(RandIsMsvcrtSequence());
    auto* rays = new Vo_RadialRays();
    generator_testing::MakeSeededFan(*rays);
    std::srand(5);
    Vo_ParticlesObj object(rays);
    EXPECT_EQ(std::rand(), 214);
    ASSERT_EQ(object.QuadCount(0), 3u);
    const void* vertices = object.LockQuads(0);
    ASSERT_NE(vertices, nullptr);
    generator_testing::ExpectSeededFan(static_cast<const DX_V::PCT*>(vertices));
    object.UnlockQuads(0);
}

// Slots grow to the count asked for, never shrink, and hold no more quads than 16-bit indices
// address; a slot that does not exist locks nothing.
TEST_F(ParticleSlotTest, SlotsGrowAndAreCapped)
{
    Vo_ParticlesObj object(new Vo_RadialRays());
    object.SetSlotCount(1);  // Init made it; asking again keeps it
    EXPECT_EQ(object.SlotCount(), 1u);
    EXPECT_EQ(object.LockQuads(1), nullptr);
    object.ReserveQuads(0, 0);
    EXPECT_EQ(object.QuadCount(0), 0u);
    EXPECT_EQ(object.LockQuads(0), nullptr) << "an empty slot has no buffer to lock";

    object.ReserveQuads(0, 10);
    EXPECT_EQ(object.QuadCount(0), 10u);
    EXPECT_EQ(object.QuadCapacity(0), 10u);
    IDirect3DVertexBuffer9* buffer = object.Mesh(0)->VertexBuffer();
    object.ReserveQuads(0, 4);
    EXPECT_EQ(object.QuadCount(0), 4u);
    EXPECT_EQ(object.Mesh(0)->VertexBuffer(), buffer) << "fewer quads reuse the buffers";

    object.ReserveQuads(0, 100000);
    EXPECT_EQ(object.QuadCount(0), static_cast<unsigned>(kMaxQuadsPerIndexBuffer));

    void* vertices = object.LockQuads(0);
    ASSERT_NE(vertices, nullptr);
    static_cast<DX_V::PCT*>(vertices)[4 * kMaxQuadsPerIndexBuffer - 1].x = 5.0f;  // the last vertex
    object.UnlockQuads(0);
}

}  // namespace

namespace {

// The generators' gallery documents as the saver plays them: each loads, draws over its picture
// and moves between two moments.
class GeneratorGalleryTest : public GeneratorDocumentTest, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(GeneratorGalleryTest, DrawsAndMoves)
{
    LoadOneSlide(ReadBuiltFile(std::wstring(L"tests/gallery/") + GetParam()), 1);
    if (HasFatalFailure())
        return;
    ASSERT_NE(Object(), nullptr);
    std::vector<uint32_t> first, later;
    float time = 5.0f;
    for (int i = 0; i < 3; ++i)
        DrawFrame(time += 0.1f);
    first = ReadBack();
    // 1.2 s later (clocks step at most 0.2 s a frame): not a whole cycle of the animated quad's
    // four frames.
    for (int i = 0; i < 6; ++i)
        DrawFrame(time += 0.2f);
    later = ReadBack();
    int changed = 0;
    for (size_t i = 0; i < first.size(); ++i)
        if (!ColorsNear(first[i], later[i], 4))
            ++changed;
    EXPECT_GT(changed, 0) << "nothing moved";
    const auto [low, high] = std::minmax_element(later.begin(), later.end());
    EXPECT_NE(*low & 0x00FFFFFF, *high & 0x00FFFFFF) << "a flat picture";
    if (HasFailure())
        SaveTarget("GeneratorGallery");
}

INSTANTIATE_TEST_SUITE_P(Documents, GeneratorGalleryTest,
                         ::testing::Values(L"Vo_Bling.bin", L"Vo_Smoke.bin", L"Vo_Plant.bin",
                                           L"Vo_StaticAnimation.bin", L"Vo_RadialRays.bin",
                                           L"Vo_LightningGN.bin"));

}  // namespace
