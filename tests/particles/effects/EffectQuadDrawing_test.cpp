// Effect-quad objects drawn on a real device from stored scenes: the static text's glyphs inside
// its quad and nowhere else, the letter the right way up and round, the explosion's quad and the
// values it gives its effect. The effects come from common_res.dll in the build folder.
#include <windows.h>
#include <d3dx9.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "model/RenderTargetPair.h"
#include "particles/effects/Vo_ExplosionConstructor.h"
#include "particles/effects/Vo_FXObj.h"
#include "particles/effects/Vo_StaticTextConstructor.h"
#include "particles/sprites/SpriteParticle.h"
#include "support/BuildFolderSceneFixture.h"
#include "support/CrtRandom.h"
#include "support/EffectTesting.h"

namespace {

// The slide's picture: red 0x40, green 0x80, blue 0xC0.
constexpr uint32_t kPictureColor = 0x004080C0;

bool IsRed(uint32_t pixel)
{
    const uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return r > 0xC0 && g < 0x50 && b < 0x70;
}

class EffectQuadDocumentTest : public BuildFolderSceneFixture {
protected:
    Vo_FXObj* Object() { return ObjectAt<Vo_FXObj>(0); }

    // Every pixel outside the box is the picture; returns how many inside it are red.
    int RedInsideOnly(unsigned left, unsigned top, unsigned right, unsigned bottom)
    {
        const std::vector<uint32_t> pixels = ReadBack();
        int red = 0;
        for (unsigned y = 0; y < kSize; ++y) {
            for (unsigned x = 0; x < kSize; ++x) {
                const uint32_t pixel = pixels[y * kSize + x] & 0x00FFFFFF;
                if (x >= left && x < right && y >= top && y < bottom) {
                    red += IsRed(pixel) ? 1 : 0;
                    continue;
                }
                EXPECT_TRUE(ColorsNear(pixel, kPictureColor, 2)) << x << ", " << y << ": " << std::hex << pixel;
            }
        }
        return red;
    }
};

constexpr unsigned kSize = DeviceFixture::kSize;

// Whether the text's ink reached the pixel: red well above the picture's 0x40. The glyphs' thin
// strokes are blended over the picture, too pale for IsRed.
bool IsInked(uint32_t pixel)
{
    return ((pixel >> 16) & 0xFF) >= 0x90;
}

// The inked pixels' bounding box in the target, and whether the ink of its bottom quarter lies in
// its left half only and some ink of its top quarter in its right half: an upright "F" drawn the
// right way round (its stem on the left, its top bar reaching right). Mirrored, upside down or
// turned, one of the two fails.
struct InkShape {
    unsigned left = kSize, top = kSize, right = 0, bottom = 0;
    bool bottomOnlyLeft = true;
    bool topReachesRight = false;
};

InkShape ShapeOfInk(const std::vector<uint32_t>& pixels)
{
    InkShape shape;
    for (unsigned y = 0; y < kSize; ++y) {
        for (unsigned x = 0; x < kSize; ++x) {
            if (!IsInked(pixels[y * kSize + x]))
                continue;
            shape.left = std::min(shape.left, x);
            shape.right = std::max(shape.right, x);
            shape.top = std::min(shape.top, y);
            shape.bottom = std::max(shape.bottom, y);
        }
    }
    if (shape.right < shape.left)
        return shape;
    const unsigned middleX = (shape.left + shape.right) / 2;
    const unsigned height = shape.bottom - shape.top + 1;
    for (unsigned y = shape.top; y <= shape.bottom; ++y) {
        for (unsigned x = shape.left; x <= shape.right; ++x) {
            if (!IsInked(pixels[y * kSize + x]) || x <= middleX)
                continue;
            if (4 * (shape.bottom - y) < height)
                shape.bottomOnlyLeft = false;
            if (4 * (y - shape.top) < height)
                shape.topReachesRight = true;
        }
    }
    return shape;
}

// "F" in red, centred in the quad of 48 x 24 around (32, 32): red glyph pixels inside, the
// picture everywhere outside, and the letter upright and the right way round; with an empty text
// the quad shows only its cleared target.
TEST_F(EffectQuadDocumentTest, TextDrawsRedGlyphsInsideItsQuad)
{
    LoadOneSlide(L"TextSlide.bin", 1);
    if (HasFatalFailure())
        return;
    Vo_FXObj* object = Object();
    ASSERT_NE(object, nullptr);
    auto* text = dynamic_cast<Vo_StaticTextConstructor*>(&object->Emitter());
    ASSERT_NE(text, nullptr);
    ASSERT_NE(text->Effect(), nullptr) << "the text effect did not load from the module";
    ASSERT_NE(text->Target(), nullptr);
    ASSERT_NE(text->Target()->Current(), nullptr);
    EXPECT_EQ(text->Target()->Width(), 48u);
    EXPECT_EQ(text->Target()->Height(), 24u);
    ASSERT_NE(text->FontObject(), nullptr);
    EXPECT_EQ(text->Format(), DT_CENTER | DT_VCENTER);
    EXPECT_FALSE(object->NeedsBackground());

    DrawFrame(10.0f);
    DrawFrame(10.1f);
    const int red = RedInsideOnly(8, 20, 56, 44);
    EXPECT_GE(red, 20) << "glyph pixels of the text";
    EXPECT_LT(red, 48 * 24 / 2) << "the glyphs, not the whole quad";
    const InkShape shape = ShapeOfInk(ReadBack());
    EXPECT_LE(shape.left, shape.right) << "no ink";
    EXPECT_GE(shape.bottom - shape.top, 10u) << "a letter some 14 pixels high";
    EXPECT_GE(shape.right - shape.left, 6u) << "and some 9 wide";
    EXPECT_TRUE(shape.bottomOnlyLeft) << "the foot of the letter is its stem alone, on the left";
    EXPECT_TRUE(shape.topReachesRight) << "the top bar reaches right";
    // Centred in the quad, give or take the glyph's side bearings.
    EXPECT_NEAR((shape.left + shape.right) / 2.0, 32.0, 4.0);
    EXPECT_NEAR((shape.top + shape.bottom) / 2.0, 32.0, 4.0);
    if (HasFailure())
        SaveTarget("StaticText");

    text->Text().SetValue(L"");
    DrawFrame(10.2f);
    EXPECT_EQ(RedInsideOnly(8, 20, 56, 44), 0);
    if (HasFailure())
        SaveTarget("StaticText_empty");
}

// A width of 0 keeps the target the store made; the quad then has no width and draws nothing.
TEST_F(EffectQuadDocumentTest, ZeroWidthKeepsTheTargetAndDrawsNothing)
{
    LoadOneSlide(L"TextSlide.bin", 1);
    if (HasFatalFailure())
        return;
    auto* text = dynamic_cast<Vo_StaticTextConstructor*>(&Object()->Emitter());
    ASSERT_NE(text, nullptr);
    IDirect3DTexture9* before = text->Target()->Current();
    ASSERT_NE(before, nullptr);
    text->Width().ValueRef() = 0;
    text->ResolveEffect();
    EXPECT_EQ(text->Target()->Current(), before);
    DrawFrame(10.0f);
    DrawFrame(10.1f);
    EXPECT_EQ(RedInsideOnly(0, 0, 0, 0), 0);
    if (HasFailure())
        SaveTarget("StaticText_zeroWidth");
}

}  // namespace

namespace {

// Full heat over the whole quad of 32 x 32 around (32, 32): red added to the picture there, the
// picture everywhere else.
TEST_F(EffectQuadDocumentTest, ExplosionBurnsItsQuadOnly)
{
    LoadOneSlide(L"ExplosionSlide.bin", 1);
    if (HasFatalFailure())
        return;
    Vo_FXObj* object = Object();
    ASSERT_NE(object, nullptr);
    ASSERT_NE(object->Emitter().Effect(), nullptr) << "the explosion effect did not load from the module";
    DrawFrame(10.0f);
    DrawFrame(10.1f);
    const std::vector<uint32_t> pixels = ReadBack();
    for (unsigned y = 0; y < kSize; y += 3) {
        for (unsigned x = 0; x < kSize; x += 3) {
            const uint32_t pixel = pixels[y * kSize + x] & 0x00FFFFFF;
            const bool inside = x >= 17 && x <= 46 && y >= 17 && y <= 46;
            const bool outside = x <= 14 || x >= 49 || y <= 14 || y >= 49;
            if (inside) {
                EXPECT_TRUE(ColorsNear(pixel, 0x00FF80C0, 3)) << x << ", " << y << ": " << std::hex << pixel;
            } else if (outside) {
                EXPECT_TRUE(ColorsNear(pixel, kPictureColor, 2)) << x << ", " << y << ": " << std::hex << pixel;
            }
        }
    }
    if (HasFailure())
        SaveTarget("Explosion");
}

// The values the explosion gives its effect a frame after its noise offsets rolled over, worked
// out by hand. Seed 9: msvcrt's rand() gives the pairs (68, 6151) and (18175, 22398), / 32767. The
// object's clock (speed raw 100: twice the scene time) reaches 0.4, 0.8, 1.2 and 1.6 in frames of
// 0.2 s; making the object took the first pair, the clock passing 1 rolls it over to the second,
// and the fraction is 0.6. The drift clock (raw 50: 0.25 x its steps, each clamped to 0.2) stands
// at 0.2, along the angle 30 degrees: (-cos 30, sin 30) x 0.2 = (-0.173205, 0.1).
TEST_F(EffectQuadDocumentTest, ExplosionEffectValuesWhileItDrifts)
{
    ASSERT_TRUE(RandIsMsvcrtSequence());
    // The slide makes its store current, through which the explosion finds the module's effect.
    LoadOneSlide(L"ExplosionSlide.bin", 1);
    if (HasFatalFailure())
        return;
    Vo_ExplosionConstructor description;
    description.DriftDirection().ValueRef() = 30;
    description.Seed().ValueRef() = 9;
    description.Colour().ValueRef() = 0x00336699;
    description.Colour2().ValueRef() = 0x00CCFF00;
    description.EffectLink().Assign(L"common_res.dll", 163);
    // The copy takes the drift axes from the angle, as the runtime object's copy does.
    std::unique_ptr<Vo_ParticleSystemCtrl> clone(description.Clone());
    auto* explosion = dynamic_cast<Vo_ExplosionConstructor*>(clone.get());
    ASSERT_NE(explosion, nullptr);
    explosion->ResolveEffect();
    ID3DXEffect* effect = explosion->Effect();
    ASSERT_NE(effect, nullptr) << "the explosion effect did not load from the module";

    SpriteParticle p = {};
    InitSpriteParticle(p, *explosion);
    ResetSpriteParticle(p, *explosion);
    for (const float t : {0.2f, 0.4f, 0.6f, 0.8f}) {
        explosion->UpdateSpeed(t);
        explosion->UpdateParticle(p);
        ASSERT_TRUE(explosion->SetEffectParams(nullptr));
    }

    const struct {
        const char* name;
        std::vector<float> expected;
    } rows[] = {
        {"noise_shift", {-0.171130f, 0.287719f, 0.381469f, 0.783554f}},
        {"noise_params", {0.79f, 0.15f, 0.42f}},
        {"time", {0.6f, 0.4f}},
        {"phase_3rd", {0.0f, 1.0f}},
        {"color1", {0.6f, 0.4f, 0.2f}},
        {"color2", {0.0f, 1.0f, 0.8f}},
    };
    for (const auto& row : rows) {
        const std::vector<float> values =
            effect_testing::EffectFloats(effect, row.name, static_cast<unsigned>(row.expected.size()));
        for (size_t i = 0; i < values.size(); ++i)
            EXPECT_NEAR(values[i], row.expected[i], 1e-4f) << row.name << " " << i;
    }
    float phase1 = -99.0f;
    ASSERT_EQ(effect->GetFloat("phase_1st", &phase1), D3D_OK);
    EXPECT_EQ(phase1, 0.0f);
}

}  // namespace
