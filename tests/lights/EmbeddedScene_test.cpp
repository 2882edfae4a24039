// The scene document the saver carries ("QNT" 107): assembled at build time from
// resources/scene, embedded in GlimmerSaver.scr, and complete in itself.
#include <windows.h>

#include <d3d9.h>
#include <d3dx9.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "brushes/Vo_BrushObj.h"
#include "brushes/Vo_WavesFX.h"
#include "lights/FakeLake2D.h"
#include "model/ClassReaderRegistries.h"
#include "model/ComRef.h"
#include "model/CurrentDevice.h"
#include "model/DocResMaps.h"
#include "model/TextureInfo.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_FileLink3.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/LoadSceneDocument.h"
#include "runtime/PictureMesh.h"
#include "runtime/ScreenView.h"
#include "runtime/Vo_2D_Light.h"
#include "runtime/Vo_SlideContainer.h"
#include "runtime/Vo_SlideShow_Light.h"
#include "support/SaverAsDataFile.h"
#include "support/SceneDeviceFixture.h"
#include "support/TestPaths.h"

namespace {

// The "QNT" 107 resource of the built program.
std::vector<uint8_t> ProgramScene() { return SaverAsDataFile().ResourceBytes(107, L"QNT"); }

bool BrushReadersRegistered()
{
    const ConstructorReaderRegistry& registry = GetConstructorReaderRegistry();
    for (const wchar_t* name : {L"Vo_WaterFX", L"Vo_WaterfallFX", L"Vo_WavesFX"})
        if (!registry.count(name))
            return false;
    return true;
}

GUID GuidOf(const wchar_t* text)
{
    GUID guid = {};
    CLSIDFromString(text, &guid);
    return guid;
}

TEST(EmbeddedScene, TheProgramCarriesTheAssembledDocument)
{
    const std::vector<uint8_t> assembled = ReadBuiltFile(L"resources\\scene\\EmbeddedScene.bin");
    ASSERT_FALSE(assembled.empty());
    EXPECT_EQ(ProgramScene(), assembled);
}

// The document loaded on a device as a render unit loads it, and its slide activated.
class EmbeddedSceneOnDevice : public SceneDeviceFixture {
protected:
    void SetUp() override
    {
        SceneDeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        // The program registers these brushes; a build that lost one must fail, not skip.
        ASSERT_TRUE(BrushReadersRegistered()) << "the water, waterfall and waves brushes are not all registered";
        LoadDocument(ProgramScene());
    }

    const TextureFrameSet* FrameSet(const vo_string& path, int64_t stamp) const
    {
        const auto& sets = m_store->Maps().frameSets;
        auto found = sets.find(FileLinkKey(path, stamp));
        return found == sets.end() ? nullptr : &found->second;
    }
};

TEST_F(EmbeddedSceneOnDevice, OneLakeSlideWithThreeBrushesAndNoMusic)
{
    ASSERT_NE(m_root, nullptr);
    ASSERT_EQ(m_root->Slides().size(), 1u);
    EXPECT_TRUE(m_root->Tracks().empty());
    Vo_SlideContainer& slide = *m_root->Slides()[0].Get();
    EXPECT_EQ(slide.FadeIn().Value(), 1u);
    EXPECT_EQ(slide.FadeOut().Value(), 1u);
    EXPECT_EQ(slide.ShowTime().Value(), 10u);
    EXPECT_EQ(slide.SignedValue().Value(), 2);
    EXPECT_EQ(slide.Caption().Value(), L"Slide 0");
    EXPECT_EQ(slide.UnsignedValue().Value(), 10u);
    EXPECT_TRUE(slide.TrackRecords().empty());

    auto* lake = dynamic_cast<FakeLake2D*>(slide.GetLight().Get());
    ASSERT_NE(lake, nullptr);
    EXPECT_EQ(lake->HorizonParam().Value(), 63u);
    EXPECT_FLOAT_EQ(lake->Horizon(), 0.185f);
    EXPECT_EQ(lake->TintColour().Value(), 0x00660000u);
    EXPECT_FLOAT_EQ(lake->TintAlpha(), 0.248f);
    EXPECT_FLOAT_EQ(lake->RippleTiling(), 1.0f);
    EXPECT_EQ(lake->ReflectionOffset().Value(), 7u);
    EXPECT_EQ(lake->ReflectionSize().Value(), 1);
    EXPECT_TRUE(IsEqualGUID(lake->Guid(), GuidOf(L"{585E423D-8F04-4A4C-8DDF-CE3CB0822747}")));
    EXPECT_EQ(lake->Camera().On().Value(), 0);

    ASSERT_EQ(slide.DrawnRecords().size(), 3u);
    for (const auto* record : slide.DrawnRecords())
        EXPECT_NE(record, nullptr);


    m_root->ActivateSlides();
    ASSERT_EQ(slide.DrawnObjects().size(), 3u);
    for (const auto& object : slide.DrawnObjects())
        EXPECT_NE(object.Get(), nullptr);

    // The waves' shader draws sin(frequency x (u dx + v dy) + time) with (dx, dy) the negated
    // direction: a crest moves by -1 / (frequency dy) in v per unit of time, so with a direction
    // of (0, 1) the crests travel down the picture, towards the viewer.
    const auto* waves = dynamic_cast<const Vo_WavesFX*>(
        static_cast<Vo_BrushObj*>(slide.DrawnObjects()[2].Get())->Brush());
    ASSERT_NE(waves, nullptr);
    EXPECT_NEAR(waves->Direction().x, 0.0f, 1e-5f);
    EXPECT_NEAR(waves->Direction().y, 1.0f, 1e-5f);
    // The lake took its du/dv picture from the store.
    ASSERT_NE(lake->DuDvTexture(), nullptr);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(lake->DuDvTexture()->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Format, D3DFMT_V8U8);
    EXPECT_EQ(desc.Width, 512u);
    EXPECT_EQ(desc.Height, 512u);
    EXPECT_EQ(lake->DuDvTexture()->GetLevelCount(), 10u);
}

TEST_F(EmbeddedSceneOnDevice, TheStoreHoldsEveryFileTheSceneNames)
{
    ASSERT_NE(m_store, nullptr);
    // The landscape, the camera's border picture and the brushes' noise and bump pictures.
    const TextureFrameSet* landscape = FrameSet(L"C:\\Glimmerkit\\Scenes\\Lake\\lake-landscape.png", 0x01DA2F6C8B4E7000);
    ASSERT_NE(landscape, nullptr);
    ASSERT_EQ(landscape->frames.size(), 1u);
    EXPECT_NE(landscape->frames[0].Get(), nullptr);
    EXPECT_EQ(landscape->width, 1024u);
    EXPECT_EQ(landscape->height, 768u);
    for (int id : {6, 62, 89}) {
        SCOPED_TRACE(id);
        const TextureFrameSet* set = FrameSet(L"common_res.dll", id);
        ASSERT_NE(set, nullptr);
        ASSERT_EQ(set->frames.size(), 1u);
        EXPECT_NE(set->frames[0].Get(), nullptr);
    }
    // The three effects under their module links, made from the document's own bytes.
    for (int id : {77, 90, 105}) {
        SCOPED_TRACE(id);
        const Vo_FileLink3 link(id, L"common_res.dll");
        const FileBlob* blob = m_store->GetFileBlob(link);
        ASSERT_NE(blob, nullptr);
        EXPECT_GT(blob->Size(), 0u);
        EXPECT_NE(m_store->GetEffect(link).Get(), nullptr);
    }
    // The lake's du/dv picture and the three brush masks under their GUIDs.
    for (const wchar_t* text : {L"{585E423D-8F04-4A4C-8DDF-CE3CB0822747}", L"{DDD05375-E0BE-45D0-BA0E-785999739525}",
                                L"{2CFF8436-200E-4518-B636-036E09096D24}", L"{AA3FF100-5EEA-49BA-A8CD-2C40D6594B18}"}) {
        SCOPED_TRACE(testing::Message() << text);
        const auto& textures = m_store->Maps().guidTextures;
        auto found = textures.find(GuidOf(text));
        ASSERT_NE(found, textures.end());
        EXPECT_NE(found->second.Get(), nullptr);
    }
}

// Played on the fixture's 64 x 64 target (the 1024 x 768 picture stretched over it): a second of
// scene time changes the picture where the brushes and the lake move it and nowhere else.
TEST_F(EmbeddedSceneOnDevice, MovesOnlyWhereTheBrushesAndTheLakeAre)
{
    ASSERT_NE(m_root, nullptr);
    m_root->ActivateSlides();
    m_root->SetPicturePosition(ScreenView::kStretch);
    auto frame = [this](float time) {
        m_root->FrameMove(time);
        EXPECT_EQ(Device()->BeginScene(), D3D_OK);
        m_root->Render(0);
        Device()->EndScene();
        return ReadBack();
    };
    frame(0.0f);
    const std::vector<uint32_t> first = frame(3.0f);
    SaveTarget("embedded_scene");
    const std::vector<uint32_t> second = frame(4.0f);
    // Picture pixel (x, y) lies at target pixel (x / 16, y / 12).
    auto changed = [&](unsigned left, unsigned top, unsigned right, unsigned bottom) {
        int count = 0;
        for (unsigned y = top / 12; y < bottom / 12; ++y)
            for (unsigned x = left / 16; x < right / 16; ++x)
                count += !ColorsNear(first[y * kSize + x] & 0xFFFFFF, second[y * kSize + x] & 0xFFFFFF, 3);
        return count;
    };
    EXPECT_EQ(changed(0, 0, 760, 500), 0) << "sky and hills";
    EXPECT_EQ(changed(880, 0, 1024, 500), 0) << "sky and cliff right of the waterfall";
    EXPECT_EQ(changed(0, 500, 400, 620), 0) << "meadow left of the stream";
    EXPECT_GT(changed(0, 640, 1024, 768), 0) << "the lake";
    EXPECT_GT(changed(776, 222, 860, 572), 0) << "the waterfall";
}


// Rows of the target, each the mean red of its pixels.
std::vector<double> RowMeanRed(const std::vector<uint32_t>& pixels, unsigned size)
{
    std::vector<double> rows(size, 0.0);
    if (pixels.size() != size * size)
        return {};
    for (unsigned y = 0; y < size; ++y) {
        for (unsigned x = 0; x < size; ++x)
            rows[y] += (pixels[y * size + x] >> 16) & 0xFF;
        rows[y] /= size;
    }
    return rows;
}

// The rows (refined between rows by a parabola) where the values peak: higher than the two rows on
// either side, away from the first and last rows.
std::vector<double> Peaks(const std::vector<double>& rows)
{
    std::vector<double> peaks;
    for (size_t y = 2; y + 2 < rows.size(); ++y) {
        const double v = rows[y];
        if (v > rows[y - 1] && v >= rows[y + 1] && v > rows[y - 2] && v >= rows[y + 2]) {
            const double bend = rows[y - 1] - 2 * v + rows[y + 1];
            peaks.push_back(y + (bend < 0 ? 0.5 * (rows[y - 1] - rows[y + 1]) / bend : 0.0));
        }
    }
    return peaks;
}

// The lake's waves as the program's document stores them (angle 270, transverse), drawn on the
// device by a plain layer over a picture whose red rises evenly from left to right across its
// middle. The waves move the picture sideways, so the mean red of a target row tells how far that
// row was moved, and a crest of the wave is a row moved furthest. The view is zoomed eightfold onto
// the middle of the picture's bottom edge, well inside the waves' mask (full from 142 rows above
// the bottom).
//
// From the stored record: wave length 0.001 + 14 x 0.0005 = 0.008, so 125 radians per picture
// height; "time" is the phase x 0.08, the phase growing by the speed 25 a second, so 2 radians a
// second. A crest therefore travels 2 / 125 = 0.016 of the picture's height a second, which the
// zoomed 64-row target shows as 0.016 x 64 x 8 = 8.19 rows a second: downwards when the crests
// come towards the viewer. Half a second moves a crest 4.1 rows, a sixth of the 25.7-row period,
// so it cannot pass for the next crest moving up. The amplitude, 0.004 of the width (raw 16),
// moves the red by 0.004 / 0.14 x 255 = 7.3 levels either way.
TEST_F(EmbeddedSceneOnDevice, TheWavesCrestsTravelDownTheScreen)
{
    ASSERT_NE(m_root, nullptr);
    m_root->ActivateSlides();
    Vo_SlideContainer& slide = *m_root->Slides()[0].Get();
    ASSERT_EQ(slide.DrawnObjects().size(), 3u);
    const CountedHandle<Vo_ABObj> waves = slide.DrawnObjects()[2];
    auto* brush = dynamic_cast<Vo_BrushObj*>(waves.Get());
    ASSERT_NE(brush, nullptr);
    ASSERT_NE(dynamic_cast<const Vo_WavesFX*>(brush->Brush()), nullptr);

    // Red 0 left of 0.43 of the width, 255 right of 0.57, evenly between: the zoomed view shows
    // 0.4375 to 0.5625 of the width, so every sample the waves take lies on the even part.
    const unsigned width = 256, height = 192;
    ComRef<IDirect3DTexture9> texture;
    ASSERT_EQ(Device()->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture.Receive(),
                                      nullptr),
              D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (unsigned y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (unsigned x = 0; x < width; ++x) {
            const double u = (x + 0.5) / width;
            const double red = std::fmin(std::fmax((u - 0.43) / 0.14, 0.0), 1.0) * 255.0;
            row[x] = 0xFF000000u | static_cast<uint32_t>(red + 0.5) << 16 | 0x4080u;
        }
    }
    texture->UnlockRect(0);
    TextureInfo picture;
    MakeTextureInfo(picture, texture.Get(), width, height);

    Vo_2D_Light layer;
    layer.LoadContent();
    layer.GetPictureMesh()->SetPicture(picture);
    layer.Layout(1, 1);
    layer.SetPicturePosition(ScreenView::kStretch);
    layer.Layout(kSize, kSize);
    layer.RestoreDeviceObjects();
    m_view->ZoomPan(8.0f, 0.0f, 1.0f);

    // As the slide draws its objects, the waves the only one; 0.1 s a frame, below the clocks'
    // 0.2 s step limit.
    const Vo_2D_Light::ObjectList objects = {waves};
    std::vector<std::vector<double>> views;
    for (int frame = 0; frame <= 35; ++frame) {
        const float time = 0.1f * frame;
        waves->UpdateByTimeline(time);
        ASSERT_EQ(Device()->BeginScene(), D3D_OK);
        layer.BeginEffects();
        layer.BeginRender(0);
        layer.ApplyEffects(objects, 1);
        layer.EndRender(0);
        Device()->EndScene();
        if (frame == 30 || frame == 35)
            views.push_back(RowMeanRed(ReadBack(), kSize));
    }
    ASSERT_EQ(views.size(), 2u);
    ASSERT_EQ(views[0].size(), kSize);
    ASSERT_EQ(views[1].size(), kSize);
    const auto [low, high] = std::minmax_element(views[0].begin(), views[0].end());
    EXPECT_GT(*high - *low, 10.0) << "the waves barely move the picture";

    const double period = 2 * 3.14159265 / 125.0 * kSize * 8;
    const double expectedShift = 2.0 / 125.0 * kSize * 8 * 0.5;
    const std::vector<double> before = Peaks(views[0]), after = Peaks(views[1]);
    ASSERT_FALSE(before.empty()) << "no crest in the first view";
    int compared = 0;
    for (double crest : before) {
        // The same crest half a second later: the peak within half a period of where it was.
        double nearest = -1.0;
        for (double p : after)
            if (std::fabs(p - crest) < period / 2 && (nearest < 0 || std::fabs(p - crest) < std::fabs(nearest - crest)))
                nearest = p;
        if (nearest < 0)
            continue;
        ++compared;
        EXPECT_NEAR(nearest - crest, expectedShift, 1.2) << "the crest at row " << crest << " moved to row " << nearest;
    }
    EXPECT_GE(compared, 1) << "no crest found again half a second later";
}

}  // namespace
