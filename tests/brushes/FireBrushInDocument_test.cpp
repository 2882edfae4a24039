// A stored fire brush on a slide: read through its registered reader, made into a runtime object
// with its effect, pictures and grid from "common_res.dll", and drawn by the layer only inside
// its region.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brushes/Vo_BrushObj.h"
#include "brushes/Vo_FireFX.h"
#include "runtime/Vo_ABObj.h"
#include "runtime/ScreenView.h"
#include "runtime/Vo_SlideContainer.h"
#include "runtime/Vo_SlideShow_Light.h"
#include "support/BuildFolderSceneFixture.h"

namespace {

// The effect and pictures come from common_res.dll in the build folder.
class FireBrushInDocumentTest : public BuildFolderSceneFixture {
protected:
    void SetUp() override
    {
        BuildFolderSceneFixture::SetUp();
        if (!HasFatalFailure())
            LoadOneSlide(L"FireBrush.bin", 1);
    }

    Vo_FireFX* Fire()
    {
        auto* object = ObjectAt<Vo_BrushObj>(0);
        return object ? dynamic_cast<Vo_FireFX*>(object->Brush()) : nullptr;
    }
};

TEST_F(FireBrushInDocumentTest, TheRuntimeBrushHasItsEffectPicturesAndGrid)
{
    Vo_FireFX* fire = Fire();
    ASSERT_NE(fire, nullptr);
    EXPECT_TRUE(fire->HasEffect());
    EXPECT_NE(fire->PatternTexture(), nullptr);
    EXPECT_NE(fire->NoiseTexture(), nullptr);
    EXPECT_EQ(fire->Grid().IndexedPrimitiveCount(), 128u);
    EXPECT_FLOAT_EQ(fire->Density().Result(), 0.5f);
}

// The region covers target pixels 16 to 48 each way: flames there, and outside it the picture as
// the layer draws it with the brush switched off. The flames rise from the region's bottom edge;
// its top corners lie above every tongue, and there the density must not tint the picture either.
TEST_F(FireBrushInDocumentTest, FlamesOnlyInsideTheRegion)
{
    Vo_ABObj* object = Slide().DrawnObjects()[0].Get();
    object->SetEnabled(0);
    DrawFrame(10.0f);
    const std::vector<uint32_t> picture = ReadBack();
    object->SetEnabled(1);
    for (float time : {10.2f, 10.4f})
        DrawFrame(time);
    ASSERT_GT(Fire()->Phase(), 0.0f);
    const std::vector<uint32_t> pixels = ReadBack();
    const unsigned size = DeviceFixture::kSize;
    ASSERT_EQ(pixels.size(), size * size);
    ASSERT_EQ(picture.size(), size * size);
    int burning = 0;
    for (unsigned y = 0; y < size; ++y)
        for (unsigned x = 0; x < size; ++x) {
            const uint32_t pixel = pixels[y * size + x] & 0x00FFFFFF, plain = picture[y * size + x] & 0x00FFFFFF;
            const bool outside = x < 15 || x > 48 || y < 15 || y > 48;
            const bool topCorner = y >= 17 && y <= 19 && ((x >= 17 && x <= 20) || (x >= 43 && x <= 46));
            if (outside || topCorner) {
                ASSERT_TRUE(ColorsNear(pixel, plain, 2)) << x << ", " << y << ": " << std::hex << pixel;
            } else if (x > 17 && x < 46 && y > 17 && y < 46 && !ColorsNear(pixel, plain, 24)) {
                ++burning;
            }
        }
    // Density 0.5 lets most of the pattern burn; its tongues leave gaps near the top.
    EXPECT_GT(burning, 28 * 28 / 3);
    SaveTarget("fire_brush_in_document");
}

}  // namespace
