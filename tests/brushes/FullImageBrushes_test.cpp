// Every brush class switched to a full-image effect (technique flag 1) on its gallery document:
// whatever the brush paints, the picture outside its region and mask stays on the slide. A brush
// whose pass writes the whole next image takes its place in the layer's effect chain; one that
// only paints over part of the image does not, and paints over the picture instead.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <ostream>
#include <string>
#include <vector>

#include "brushes/Vo_BrushObj.h"
#include "brushes/Vo_FX_Constructor.h"
#include "support/BuildFolderSceneFixture.h"
#include "support/TestPaths.h"
#include "support/EffectTesting.h"

namespace {

struct FullImageCase {
    const wchar_t* document;
    // Whether its pass reads the image drawn so far and writes the whole next one.
    bool chainStep;
    // The document gives the brush no mask, and its full-image pass covers the whole picture: the
    // test gives it a mask over the picture's top quarter.
    bool needsMask;
};

void PrintTo(const FullImageCase& c, std::ostream* out)
{
    *out << std::string(c.document, c.document + std::wcslen(c.document));
}

// Each document shows the 1024 x 768 lake landscape stretched over the 64 x 64 target with one
// brush. Target columns 26 to 40 and rows 24 to 44 (picture x 416 to 656, y 288 to 540) lie
// outside every region and mask these documents give their brushes: the lake below y = 626, the
// pool and stream (x 680 and beyond), the waterfall (x 778 and beyond), the fire's region (x 140
// to 380, y 430 to 690) and the clouds' (y 0 to 250).
constexpr unsigned kLeft = 26, kRight = 40, kTop = 24, kBottom = 44;

// Cleared before every frame: what the target would show where nothing drew.
constexpr uint32_t kNothingDrawn = 0xFFFF00FF;

uint32_t TopQuarterMask(unsigned, unsigned y) { return y < 4 ? 0xFFFFFFFFu : 0x00FFFFFFu; }

// A full-image brush draws from the layer's render-target pair, which is the back buffer's size,
// so the picture reaches the 64 x 64 target filtered once more: a pixel keeps the picture when
// each channel lies within the range of the plain picture's pixels around it.
bool WithinNeighbours(const std::vector<uint32_t>& picture, unsigned x, unsigned y, uint32_t pixel)
{
    const unsigned size = DeviceFixture::kSize;
    for (int shift = 0; shift <= 16; shift += 8) {
        int low = 255, high = 0;
        for (unsigned ny = y - 1; ny <= y + 1; ++ny)
            for (unsigned nx = x - 1; nx <= x + 1; ++nx) {
                const int c = (picture[ny * size + nx] >> shift) & 0xFF;
                low = std::min(low, c);
                high = std::max(high, c);
            }
        const int c = (pixel >> shift) & 0xFF;
        if (c < low - 3 || c > high + 3)
            return false;
    }
    return true;
}

class FullImageBrushTest : public BuildFolderSceneFixture, public ::testing::WithParamInterface<FullImageCase> {
protected:
    void TearDown() override
    {
        m_mask.Reset();
        BuildFolderSceneFixture::TearDown();
    }

    void DrawClearedFrame(float time)
    {
        ASSERT_EQ(Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kNothingDrawn, 1.0f, 0), D3D_OK);
        DrawFrame(time);
    }

    MaskSlot m_mask;
};

TEST_P(FullImageBrushTest, ThePictureStaysOutsideTheBrush)
{
    const FullImageCase& c = GetParam();
    LoadOneSlide(ReadBuiltFile(std::wstring(L"tests/gallery/") + c.document), 1);
    if (HasFatalFailure())
        return;
    auto* object = ObjectAt<Vo_BrushObj>(0);
    ASSERT_NE(object, nullptr);
    Vo_FX_Constructor* brush = object->Brush();
    ASSERT_TRUE(brush->CanDraw()) << "the brush has what it draws with";
    if (c.needsMask) {
        ASSERT_EQ(brush->Mask(), nullptr);
        m_mask = effect_testing::MakeTexture(Device(), 16, 16, TopQuarterMask);
        ASSERT_TRUE(m_mask);
        brush->SetMask(&m_mask);
    }

    object->SetEnabled(0);
    DrawClearedFrame(10.0f);
    const std::vector<uint32_t> picture = ReadBack();

    object->SetEnabled(1);
    brush->TechniqueFlag().ValueRef() = 1;
    EXPECT_EQ(object->NeedsBackground(), c.chainStep);
    for (float time : {10.2f, 10.4f, 10.6f})
        DrawClearedFrame(time);
    const std::vector<uint32_t> pixels = ReadBack();
    const unsigned size = DeviceFixture::kSize;
    ASSERT_EQ(picture.size(), size * size);
    ASSERT_EQ(pixels.size(), size * size);
    for (unsigned y = kTop; y <= kBottom; ++y)
        for (unsigned x = kLeft; x <= kRight; ++x) {
            const uint32_t plain = picture[y * size + x] & 0x00FFFFFF, got = pixels[y * size + x] & 0x00FFFFFF;
            ASSERT_FALSE(ColorsNear(plain, kNothingDrawn & 0x00FFFFFF, 8)) << "the layer drew no picture";
            ASSERT_TRUE(WithinNeighbours(picture, x, y, got))
                << x << ", " << y << std::hex << ": " << got << ", the picture " << plain;
        }
}

INSTANTIATE_TEST_SUITE_P(
    GalleryDocuments, FullImageBrushTest,
    ::testing::Values(FullImageCase{L"Vo_BackgroundCopy.bin", true, false},
                      FullImageCase{L"Vo_WavesFX.bin", true, false}, FullImageCase{L"Vo_LightFX.bin", true, false},
                      FullImageCase{L"Vo_PatternBrush.bin", true, false},
                      FullImageCase{L"Vo_PatternBrushC.bin", true, false},
                      FullImageCase{L"Vo_WaterFX.bin", true, false}, FullImageCase{L"Vo_MoveFX.bin", true, false},
                      FullImageCase{L"Vo_ExpandFX.bin", true, false},
                      FullImageCase{L"Vo_RadialWaveFX.bin", true, false},
                      FullImageCase{L"Vo_RotationFX.bin", true, false}, FullImageCase{L"Vo_BendFX.bin", true, false},
                      // These paint only their region or their mask's inside.
                      FullImageCase{L"Vo_FireFX.bin", false, false}, FullImageCase{L"Vo_LightFX_II.bin", false, false},
                      FullImageCase{L"Vo_WaterfallFX.bin", false, false},
                      FullImageCase{L"Vo_CloudFX.bin", false, true}),
    [](const ::testing::TestParamInfo<FullImageCase>& info) {
        const std::wstring name = info.param.document;
        return std::string(name.begin(), name.begin() + name.find(L'.'));
    });

}  // namespace
