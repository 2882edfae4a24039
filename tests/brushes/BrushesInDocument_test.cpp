// A stored scene with one brush of each kind: the document loads through the registered readers,
// activating the slide makes each brush's runtime object with its effect, mask and grid, and the
// layer draws them.
#include <windows.h>
#include <d3dx9.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "brushes/Vo_BrushObj.h"
#include "brushes/Vo_WaterFX.h"
#include "brushes/Vo_WaterfallFX.h"
#include "brushes/Vo_WavesFX.h"
#include "model/CurrentDevice.h"
#include "model/Vo_DocResManager.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/LoadSceneDocument.h"
#include "runtime/ScreenView.h"
#include "runtime/Vo_2D_Light.h"
#include "runtime/Vo_SlideContainer.h"
#include "runtime/Vo_SlideShow_Light.h"
#include "support/BuildFolderSceneFixture.h"
#include "support/DrawCallCounter.h"
#include "support/EffectTesting.h"
#include "support/TestPaths.h"

namespace {

// The effects come from common_res.dll in the build folder.
class BrushesInDocumentTest : public BuildFolderSceneFixture {
protected:
    void SetUp() override
    {
        BuildFolderSceneFixture::SetUp();
        if (HasFatalFailure())
            return;
        LoadDocument(AssembledTestDocument(L"ThreeBrushes.bin"));
        if (HasFatalFailure())
            return;
        ASSERT_EQ(m_root->Slides().size(), 1u);
    }

    template <class Brush>
    Brush* BrushOf(size_t index)
    {
        auto* object = ObjectAt<Vo_BrushObj>(index);
        return object ? dynamic_cast<Brush*>(object->Brush()) : nullptr;
    }

    // Draws alone over a cleared target: the pixels, and how many the device wrote.
    template <class Draw>
    std::vector<uint32_t> DrawAlone(Draw draw, DWORD& written)
    {
        ComRef<IDirect3DQuery9> query;
        EXPECT_EQ(Device()->CreateQuery(D3DQUERYTYPE_OCCLUSION, query.Receive()), D3D_OK);
        if (!query)
            return std::vector<uint32_t>();
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF204060, 1.0f, 0);
        Device()->BeginScene();
        query->Issue(D3DISSUE_BEGIN);
        draw();
        query->Issue(D3DISSUE_END);
        Device()->EndScene();
        HRESULT hr;
        while ((hr = query->GetData(&written, sizeof(written), D3DGETDATA_FLUSH)) == S_FALSE)
            YieldProcessor();
        EXPECT_EQ(hr, S_OK);
        return ReadBack();
    }
};

TEST_F(BrushesInDocumentTest, RecordsReadIntoTheirClasses)
{
    const auto& records = Slide().DrawnRecords();
    ASSERT_EQ(records.size(), 3u);
    auto* waves = dynamic_cast<Vo_WavesFX*>(records[0]);
    auto* water = dynamic_cast<Vo_WaterFX*>(records[1]);
    auto* falls = dynamic_cast<Vo_WaterfallFX*>(records[2]);
    ASSERT_TRUE(waves && water && falls);

    EXPECT_EQ(waves->Amplitude().Value(), 400u);
    EXPECT_EQ(waves->Angle().Value(), 90u);
    EXPECT_EQ(waves->Longitudinal().Value(), 1);
    EXPECT_EQ(waves->EffectLink().GetKey().Stamp(), 77);
    EXPECT_EQ(waves->Region().Corner(3).Value().x, 8.0f);
    EXPECT_EQ(waves->Name(), L"Waves");

    EXPECT_EQ(water->Angle().Value(), 40u);
    EXPECT_EQ(water->BumpLink().GetKey().Stamp(), 89);
    EXPECT_EQ(water->ScaleParam().Value(), 30u);

    EXPECT_EQ(falls->StripCount().Value(), 4u);
    EXPECT_EQ(falls->Threshold().Value(), 500u);
    EXPECT_EQ(falls->BaseColour().Value(), 0xFFu);
    EXPECT_EQ(falls->Angle().Value(), 270u);
    EXPECT_EQ(falls->EffectLink().GetPath(), L"common_res.dll");
    EXPECT_EQ(falls->EffectLink().GetKey().Stamp(), 105);
    EXPECT_EQ(falls->Name(), L"Waterfall");
}

TEST_F(BrushesInDocumentTest, ActivationMakesEachRuntimeObject)
{
    m_root->ActivateSlides();
    ASSERT_EQ(Slide().DrawnObjects().size(), 3u);
    EXPECT_TRUE(Slide().DrawnRecords().empty());
    auto* waves = BrushOf<Vo_WavesFX>(0);
    auto* water = BrushOf<Vo_WaterFX>(1);
    auto* falls = BrushOf<Vo_WaterfallFX>(2);
    ASSERT_TRUE(waves && water && falls);
    for (const auto& object : Slide().DrawnObjects()) {
        auto* brush = static_cast<Vo_BrushObj*>(object.Get())->Brush();
        SCOPED_TRACE(std::string(brush->Name().begin(), brush->Name().end()));
        EXPECT_EQ(object->GetKind(), Vo_BrushObj::kKind);
        EXPECT_TRUE(brush->HasEffect());
        EXPECT_FALSE(object->NeedsBackground());
    }
    // The clones' vectors follow the stored angles.
    EXPECT_NEAR(waves->Direction().y, -1.0f, 1e-6f);
    EXPECT_NEAR(waves->DisplacementAxis().y, 1.0f, 1e-6f);
    EXPECT_NEAR(falls->Direction().y, 1.0f, 1e-6f);

    // The water brush takes the mask stored under its GUID; the others have none stored.
    ASSERT_NE(water->Mask(), nullptr);
    EXPECT_EQ(water->Mask(), m_store->GuidTexture(water->Guid()).Get());
    EXPECT_EQ(waves->Mask(), nullptr);

    // The waterfall made its strips and its 2 x 2 grid over its region.
    EXPECT_EQ(falls->Strips().size(), 4u);
    EXPECT_NE(falls->Grid().VertexBuffer(), nullptr);
    EXPECT_EQ(falls->Grid().IndexedPrimitiveCount(), 8u);
}

// The red-over-blue picture stretched over the target, as bilinear filtering shows it: 0xRRGGBB of
// row y.
uint32_t UndisturbedRow(unsigned y)
{
    const double texelRow = (y + 0.5) / DeviceFixture::kSize * 8 - 0.5;
    const double red = texelRow <= 3 ? 1 : (texelRow >= 4 ? 0 : 4 - texelRow);
    return static_cast<uint32_t>(red * 255 + 0.5) << 16 | static_cast<uint32_t>((1 - red) * 255 + 0.5);
}

// The waterfall (no strength, so its strips stay in place) and the water (its stored mask is
// transparent) leave the picture as it is; the waves move rows up and down by up to 0.1 of the
// height, which shows only near the border between the colours.
TEST_F(BrushesInDocumentTest, TheLayerDrawsTheBrushes)
{
    m_root->ActivateSlides();
    m_root->SetPicturePosition(ScreenView::kStretch);
    for (float time : {100.0f, 100.1f, 100.3f})
        DrawFrame(time);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_GT(BrushOf<Vo_WaterfallFX>(2)->Phase(), 0.0f);
    EXPECT_GT(BrushOf<Vo_WavesFX>(0)->Phase(), 0.0f);

    const unsigned size = DeviceFixture::kSize;
    int movedRows = 0;
    for (unsigned y = 0; y < size; ++y) {
        const bool outOfReach = y <= 20 || y >= 43;
        if (!outOfReach) {
            if (!ColorsNear(PixelAt(size / 2, y) & 0x00FFFFFF, UndisturbedRow(y), 60))
                ++movedRows;
            continue;
        }
        for (unsigned x = 0; x < size; ++x) {
            const uint32_t pixel = PixelAt(x, y) & 0x00FFFFFF;
            ASSERT_TRUE(ColorsNear(pixel, UndisturbedRow(y), 3)) << x << ", " << y << ": " << std::hex << pixel;
        }
    }
    EXPECT_GT(movedRows, 0) << "the waves moved no row";
}

// The water brush as it drew before it kept to its mask's part of the screen: it lets the device
// fill the whole picture quad.
class WaterOverTheWholePicture : public Vo_WaterFX {
public:
    explicit WaterOverTheWholePicture(const Vo_WaterFX& water) : Vo_WaterFX(water) {}

protected:
    bool PaintsOnlyThroughMask() const override { return false; }
};

// With a mask that shows through one block of the picture, the water brush lets the device fill
// only around that block, and every pixel comes out as when it filled the whole picture.
TEST_F(BrushesInDocumentTest, TheWaterBrushFillsOnlyWhereItsMaskShowsThrough)
{
    m_root->ActivateSlides();
    m_root->SetPicturePosition(ScreenView::kStretch);
    DrawFrame(100.0f);
    ASSERT_FALSE(HasFatalFailure());
    Vo_WaterFX* water = BrushOf<Vo_WaterFX>(1);
    ASSERT_TRUE(water);
    // Opaque over texels 16..23 x 40..47 of a 64 x 64 mask: pixels 16..23 x 40..47 of the target
    // with the picture stretched over it.
    MaskSlot block = effect_testing::MakeTexture(Device(), 64, 64, [](unsigned x, unsigned y) {
        return (x >= 16 && x < 24 && y >= 40 && y < 48) ? 0xFFFFFFFFu : 0x00FFFFFFu;
    });
    ASSERT_TRUE(block);
    water->SetMask(&block);
    WaterOverTheWholePicture whole(*water);
    CountedHandle<Vo_2D_Light> layer = Slide().GetLight();
    ASSERT_TRUE(layer);

    DWORD limitedPixels = 0, wholePixels = 0;
    const std::vector<uint32_t> limited = DrawAlone([&] { water->Render(layer.Get()); }, limitedPixels);
    const std::vector<uint32_t> everywhere = DrawAlone([&] { whole.Render(layer.Get()); }, wholePixels);
    ASSERT_EQ(limited.size(), size_t(kSize) * kSize);
    ASSERT_EQ(everywhere.size(), limited.size());

    EXPECT_EQ(wholePixels, DWORD(kSize) * kSize);
    // The block and a margin around it: mask texels 15..24 and a pixel more each way.
    EXPECT_GE(limitedPixels, DWORD(8 * 8));
    EXPECT_LE(limitedPixels, DWORD(12 * 12));
    int differing = 0;
    for (size_t i = 0; i < limited.size(); ++i)
        if (limited[i] != everywhere[i])
            ++differing;
    EXPECT_EQ(differing, 0);
    // The brush did paint the block.
    EXPECT_NE(limited[size_t(44) * kSize + 20] & 0x00FFFFFFu, 0x00204060u);
}

// Writing the next image of the chain (flag 1), the waves brush leaves the image as it is where its
// mask is clear: there a plain pass writes it, and the wave pass only the mask's rectangle. Every
// pixel is written once and comes out as from the one wave pass over the whole target.
TEST_F(BrushesInDocumentTest, TheFullImageWavesRunOnlyOverTheirMask)
{
    m_root->ActivateSlides();
    m_root->SetPicturePosition(ScreenView::kStretch);
    DrawFrame(100.0f);
    ASSERT_FALSE(HasFatalFailure());
    Vo_WavesFX* waves = BrushOf<Vo_WavesFX>(0);
    ASSERT_TRUE(waves);
    waves->TechniqueFlag().ValueRef() = 1;
    // Opaque over the rows where the picture turns from red to blue, so the wave shows.
    MaskSlot block = effect_testing::MakeTexture(Device(), 64, 64, [](unsigned x, unsigned y) {
        return (x >= 16 && x < 24 && y >= 28 && y < 36) ? 0xFFFFFFFFu : 0x00FFFFFFu;
    });
    ASSERT_TRUE(block);
    waves->SetMask(&block);
    CountedHandle<Vo_2D_Light> layer = Slide().GetLight();
    ASSERT_TRUE(layer);
    // The image the brush reads: the red-over-blue picture.
    ComRef<IDirect3DTexture9> image = effect_testing::MakeTexture(Device(), 8, 8, [](unsigned, unsigned y) {
        return y < 4 ? 0xFFFF0000u : 0xFF0000FFu;
    });
    ASSERT_TRUE(image);
    IDirect3DTexture9** output = layer->GetOutputTexture();
    ASSERT_TRUE(output);
    IDirect3DTexture9* const kept = *output;
    *output = image.Get();

    DWORD splitPixels = 0, wholePixels = 0;
    long splitDraws = 0;
    const std::vector<uint32_t> split = DrawAlone(
        [&] {
            DrawCallCounter draws(Device());
            waves->Render(layer.Get());
            splitDraws = draws.Count();
        },
        splitPixels);
    // The same values, then "MainFX" alone over the whole picture.
    const std::vector<uint32_t> whole = DrawAlone(
        [&] {
            waves->Render(layer.Get());
            ID3DXEffect* effect = waves->Effect();
            effect->SetTechnique("MainFX");
            effect->SetTexture("Background", image.Get());
            layer->DrawStripWithEffect(layer->GetPictureMesh(), &effect);
            effect->SetTexture("Background", nullptr);
        },
        wholePixels);
    *output = kept;
    ASSERT_EQ(split.size(), size_t(kSize) * kSize);
    ASSERT_EQ(whole.size(), split.size());

    EXPECT_EQ(splitPixels, DWORD(kSize) * kSize);
    EXPECT_EQ(wholePixels, 2 * DWORD(kSize) * kSize);
    EXPECT_EQ(splitDraws, 5) << "four sides of the rectangle and the rectangle";
    int differing = 0, waved = 0;
    for (unsigned y = 0; y < kSize; ++y)
        for (unsigned x = 0; x < kSize; ++x) {
            const uint32_t pixel = split[size_t(y) * kSize + x];
            if (pixel != whole[size_t(y) * kSize + x])
                ++differing;
            if (!ColorsNear(pixel & 0x00FFFFFF, UndisturbedRow(y), 3))
                ++waved;
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(waved, 0) << "the wave moved nothing";
}

}  // namespace
