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
#include "support/SceneDeviceFixture.h"
#include "support/TestPaths.h"

namespace {

class FireBrushInDocumentTest : public SceneDeviceFixture {
protected:
    void SetUp() override
    {
        SceneDeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        // The effect and pictures come from common_res.dll, which the build puts in the build folder.
        wchar_t folder[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, folder);
        m_folder = folder;
        SetCurrentDirectoryW(UnixToWindowsPath(VO_BINARY_DIR).c_str());
        LoadDocument(AssembledTestDocument(L"FireBrush.bin"));
        if (HasFatalFailure())
            return;
        ASSERT_EQ(m_root->Slides().size(), 1u);
        m_root->ActivateSlides();
        m_root->SetPicturePosition(ScreenView::kStretch);
    }
    void TearDown() override
    {
        SceneDeviceFixture::TearDown();
        if (!m_folder.empty())
            SetCurrentDirectoryW(m_folder.c_str());
    }

    Vo_FireFX* Fire()
    {
        const auto& objects = m_root->Slides()[0]->DrawnObjects();
        auto* object = objects.empty() ? nullptr : dynamic_cast<Vo_BrushObj*>(objects[0].Get());
        return object ? dynamic_cast<Vo_FireFX*>(object->Brush()) : nullptr;
    }

    std::wstring m_folder;
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
// the layer draws it with the brush switched off.
TEST_F(FireBrushInDocumentTest, FlamesOnlyInsideTheRegion)
{
    Vo_ABObj* object = m_root->Slides()[0]->DrawnObjects()[0].Get();
    auto drawFrame = [this](float time) {
        ASSERT_EQ(m_root->FrameMove(time), S_OK);
        ASSERT_EQ(Device()->BeginScene(), D3D_OK);
        m_root->Render(0);
        Device()->EndScene();
    };
    object->SetEnabled(0);
    drawFrame(10.0f);
    const std::vector<uint32_t> picture = ReadBack();
    object->SetEnabled(1);
    for (float time : {10.2f, 10.4f})
        drawFrame(time);
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
            if (outside) {
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
