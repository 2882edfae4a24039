#include "lights/Vo_FlameLight.h"

#include <d3d9.h>
#include <d3dx9.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/ClassReaderRegistries.h"
#include "model/DataBuffer.h"
#include "model/Vo_DocResManager.h"
#include "runtime/ScreenView.h"
#include "runtime/Vo_ABObj.h"
#include "support/BmpBytes.h"
#include "support/BuildFolderSceneFixture.h"
#include "support/QueuedStream.h"
#include "support/TestPaths.h"
#include "tests/lights/LayerOnDeviceFixture.h"

namespace {

// The layer's own fields as a version-1 or -2 record stores them, up to the fire.
void PushFlameFields(QueuedStream& s, uint32_t version)
{
    s.Push(QueuedStream::Int{0}).Push(QueuedStream::Int{2}).Push(QueuedStream::UInt{40});
    if (version <= 1)
        s.Push(QueuedStream::UInt{75});  // the fire's speed raw
    s.Push(QueuedStream::String{L"haze.png"}).Push(QueuedStream::Int64{3});
    s.Push(QueuedStream::String{L"common_res.dll"}).Push(QueuedStream::Int64{63});
    s.Push(QueuedStream::UInt{100}).Push(QueuedStream::UInt{50}).Push(QueuedStream::UInt{10});
}

// A fire record of version 3 with its base record (no region fields of its own).
void PushFireRecord(QueuedStream& s)
{
    s.Push(QueuedStream::String{L"Vo_FireFX"}).Push(QueuedStream::Int{3});
    s.Push(QueuedStream::Int{0x0000FF00}).Push(QueuedStream::Int{0x00FF0000}).Push(QueuedStream::Long{0});
    s.Push(QueuedStream::String{L"common_res.dll"}).Push(QueuedStream::Int64{93});
    s.Push(QueuedStream::String{L"common_res.dll"}).Push(QueuedStream::Int64{8});
    s.Push(QueuedStream::UInt{120}).Push(QueuedStream::UInt{20}).Push(QueuedStream::UInt{100});
    s.Push(QueuedStream::String{L"Vo_FX_Constructor"}).Push(QueuedStream::Int{1});
    s.Push(QueuedStream::UInt{80}).Push(QueuedStream::Long{0});
    s.Push(QueuedStream::String{L"{0C1D2E3F-4A5B-6C7D-8E9F-A0B1C2D3E4F5}"}).Push(QueuedStream::String{L"fire"});
    s.Push(QueuedStream::Bool{true});
    s.Push(QueuedStream::String{L"common_res.dll"}).Push(QueuedStream::Int64{92});
    s.Push(QueuedStream::String{L"Vo_ABObj_Constructor"}).Push(QueuedStream::Int{1});
    s.Push(QueuedStream::String{L"fire"});
}

void PushBaseLayerRecord(QueuedStream& s)
{
    s.Push(QueuedStream::String{L"Vo_2D_Light"}).Push(QueuedStream::Int{1});
}

TEST(Vo_FlameLightRecord, Defaults)
{
    Vo_FlameLight layer;
    EXPECT_EQ(layer.FlameSwitch().Value(), 1);
    EXPECT_EQ(layer.HazeSwitch().Value(), 1);
    EXPECT_EQ(layer.FlameHeight().Value(), 0u);
    EXPECT_EQ(layer.Fire().PatternLink().GetKey().Stamp(), 7);
    EXPECT_EQ(layer.Fire().NoiseLink().GetKey().Stamp(), 8);
    EXPECT_EQ(layer.Fire().EffectLink().GetKey().Stamp(), 92);
    HeatHazePass& haze = layer.Haze();
    EXPECT_EQ(haze.BumpLink().GetKey().Stamp(), 62);
    EXPECT_EQ(haze.EffectLink().GetKey().Stamp(), 63);
    EXPECT_EQ(haze.EffectLink().GetPath(), L"common_res.dll");
    EXPECT_FLOAT_EQ(haze.Speed().Result(), 0.05f);
    EXPECT_FLOAT_EQ(haze.Strength().Result() * 0.05f, 0.0025f);
    EXPECT_FLOAT_EQ(haze.Bump().Result(), 0.208f);
    EXPECT_FLOAT_EQ(haze.Aspect(), 1.0f);
}

TEST(Vo_FlameLightRecord, Version2ReadsTheFireRecordIntoTheMember)
{
    QueuedStream stream;
    PushFlameFields(stream, 2);
    PushFireRecord(stream);
    PushBaseLayerRecord(stream);
    std::unique_ptr<Vo_FlameLight> layer(CreateFlameLight(stream, 2));
    ASSERT_FALSE(stream.Failed());
    EXPECT_EQ(stream.Remaining(), 0u);
    EXPECT_EQ(layer->FlameSwitch().Value(), 0);
    EXPECT_EQ(layer->HazeSwitch().Value(), 2);
    EXPECT_EQ(layer->FlameHeight().Value(), 40u);
    EXPECT_EQ(layer->Haze().BumpLink().GetPath(), L"haze.png");
    EXPECT_FLOAT_EQ(layer->Haze().Speed().Result(), 0.1f);
    EXPECT_FLOAT_EQ(layer->Haze().Strength().Result(), 0.1f);
    EXPECT_FLOAT_EQ(layer->Haze().Bump().Result(), 0.91f);
    Vo_FireFX& fire = layer->Fire();
    EXPECT_EQ(fire.FirstColour().Value(), 0x0000FF00u);
    EXPECT_EQ(fire.SecondColour().Value(), 0x00FF0000u);
    EXPECT_EQ(fire.PatternLink().GetKey().Stamp(), 93) << "the record's pattern replaces the layer's";
    EXPECT_FLOAT_EQ(fire.Density().Result(), 0.2f);
    EXPECT_EQ(fire.Speed().Value(), 80u);
    EXPECT_EQ(fire.Name(), L"fire");
}

// Version 1: the fire's speed follows the flame height, two old links follow the haze values, and
// the fire keeps its defaults with the layer's pictures.
TEST(Vo_FlameLightRecord, Version1ReadsTheSpeedAndSkipsTwoLinks)
{
    for (int32_t version : {0, 1}) {
        SCOPED_TRACE(version);
        QueuedStream stream;
        PushFlameFields(stream, 1);
        stream.Push(QueuedStream::String{L"old1.png"}).Push(QueuedStream::Int64{1});
        stream.Push(QueuedStream::String{L"old2.png"}).Push(QueuedStream::Int64{2});
        PushBaseLayerRecord(stream);
        std::unique_ptr<Vo_FlameLight> layer(CreateFlameLight(stream, version));
        ASSERT_FALSE(stream.Failed());
        EXPECT_EQ(stream.Remaining(), 0u);
        EXPECT_EQ(layer->FlameHeight().Value(), 40u);
        EXPECT_EQ(layer->Fire().Speed().Value(), 75u);
        EXPECT_EQ(layer->Fire().PatternLink().GetKey().Stamp(), 7);
        EXPECT_EQ(layer->Fire().NoiseLink().GetKey().Stamp(), 8);
        EXPECT_EQ(layer->Fire().FirstColour().Value(), 0x00FFFFu);
        EXPECT_EQ(layer->Haze().Bump().Value(), 10u);
    }
}

TEST(Vo_FlameLightRecord, RegisteredUnderItsClassName)
{
    QueuedStream stream;
    stream.Push(QueuedStream::String{L"Vo_FlameLight"}).Push(QueuedStream::Int{2});
    PushFlameFields(stream, 2);
    PushFireRecord(stream);
    PushBaseLayerRecord(stream);
    std::unique_ptr<Vo_2D_Light> layer(ReadLight2DRecord(stream));
    ASSERT_NE(dynamic_cast<Vo_FlameLight*>(layer.get()), nullptr);
    EXPECT_EQ(stream.Remaining(), 0u);
}

// The band covers 0.65 H and ends at (1 + 0.005 x height) H: with height 100 it runs from 0.85 H
// to 1.5 H, its lower part below the picture.
TEST(Vo_FlameLightGeometry, FlameQuadCorners)
{
    struct Case {
        unsigned height;
        float top, bottom;
    } cases[] = {{0, 0.35f * 600, 600}, {100, 0.85f * 600, 900}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        float p[12];
        Vo_FlameLight::FlameQuadPositions(800, 600, c.height, p);
        const float expected[12] = {0, c.top, 0, 800, c.top, 0, 0, c.bottom, 0, 800, c.bottom, 0};
        for (int i = 0; i < 12; ++i)
            EXPECT_NEAR(p[i], expected[i], 1e-3f) << i;
    }
}

// Only a switch of exactly 1 asks the slide to draw into the layer's pair.
TEST(Vo_FlameLightGeometry, OwnPostEffectOnlyWithHazeSwitchOne)
{
    Vo_FlameLight layer;
    for (int value : {0, 1, 2, -1}) {
        layer.HazeSwitch().SetValue(value);
        EXPECT_EQ(layer.HasOwnPostEffect(), value == 1) << value;
    }
}

// --- On a device, with the effects and pictures of common_res.dll ---

const unsigned kSize = DeviceFixture::kSize;

// Vertical stripes four pixels wide, red and blue.
uint32_t Stripes(unsigned x, unsigned) { return (x / 4) % 2 ? 0x0000FF : 0xFF0000; }
uint32_t Gradient(unsigned x, unsigned y) { return (x * 4) << 16 | (y * 4) << 8 | 0x40; }

// The flame's pictures and effect come from common_res.dll in the build folder.
class FlameLightOnDevice : public LayerOnDeviceFixture<Vo_FlameLight, BuildFolderSceneFixture> {
protected:
    void SetPicture(const std::function<uint32_t(unsigned, unsigned)>& colour)
    {
        LinkEmbeddedBmp(m_layer->PictureLink(), L"C:\\pictures\\flame-test.bmp", kSize, kSize, colour);
    }

    // Activation and show as the slide does them, then frames at the given times.
    void Show(std::initializer_list<float> times)
    {
        LayerOnDeviceFixture::Show(ScreenView::kStretch);
        for (float time : times)
            DrawFrame(time);
    }
    // One frame as the slide draws a layer without objects.
    void DrawFrame(float time)
    {
        m_layer->Update(time);
        ASSERT_EQ(Device()->BeginScene(), D3D_OK);
        const bool post = m_layer->HasOwnPostEffect();
        if (post)
            m_layer->BeginEffects();
        m_layer->BeginRender(0);
        m_layer->ApplyEffects({}, post ? 1 : 0);
        m_layer->EndRender(0);
        Device()->EndScene();
        m_pixels = ReadBack();
    }
    uint32_t At(unsigned x, unsigned y) const { return m_pixels[y * kSize + x] & 0x00FFFFFF; }

    std::vector<uint32_t> m_pixels;
};

TEST_F(FlameLightOnDevice, ContentLoadTakesTheEffectsPicturesAndQuads)
{
    SetPicture(Gradient);
    Show({1.0f});
    EXPECT_NE(m_layer->Fire().Effect(), nullptr);
    EXPECT_NE(m_layer->Fire().PatternTexture(), nullptr);
    EXPECT_NE(m_layer->Fire().NoiseTexture(), nullptr);
    EXPECT_EQ(m_layer->Fire().Mask(), nullptr);
    EXPECT_NE(m_layer->Haze().Effect(), nullptr);
    EXPECT_NE(m_layer->Haze().BumpTexture(), nullptr);
    EXPECT_EQ(m_layer->HazeSwitch().Value(), 1);
    EXPECT_FLOAT_EQ(m_layer->Haze().Aspect(), 1.0f);
    // The band over the 64 x 64 picture: rows 22.4 to 64.
    IDirect3DVertexBuffer9* buffer = m_layer->FlameQuad().VertexBuffer();
    ASSERT_NE(buffer, nullptr);
    void* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    const auto* v = static_cast<const TexVertex*>(data);
    const float expected[4][4] = {{0, 22.4f, 0, 0}, {64, 22.4f, 1, 0}, {0, 64, 0, 0.95f}, {64, 64, 1, 0.95f}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(v[i].x, expected[i][0], 1e-3f);
        EXPECT_NEAR(v[i].y, expected[i][1], 1e-3f);
        EXPECT_NEAR(v[i].u, expected[i][2], 1e-6f);
        EXPECT_NEAR(v[i].v, expected[i][3], 1e-6f);
    }
    buffer->Unlock();
}

// Haze off: the picture above the band is untouched, the band burns.
TEST_F(FlameLightOnDevice, WithoutHazeThePictureAboveTheBandIsUnchanged)
{
    SetPicture(Gradient);
    m_layer->HazeSwitch().SetValue(0);
    Show({5.0f, 5.2f});
    for (unsigned y = 0; y < 21; ++y)
        for (unsigned x = 0; x < kSize; x += 3)
            ASSERT_TRUE(ColorsNear(At(x, y), Gradient(x, y), 4)) << x << "," << y << std::hex << " " << At(x, y);
    int burning = 0;
    for (unsigned y = 40; y < kSize; ++y)
        for (unsigned x = 0; x < kSize; ++x)
            if (!ColorsNear(At(x, y), Gradient(x, y), 24))
                ++burning;
    EXPECT_GT(burning, 24 * 64 / 2);
    SaveTarget("flame_without_haze");
}

// Flame switch 0 and haze on: the stripes move sideways and up and down against the frame drawn
// with the haze off, but the picture's mean colour stays.
TEST_F(FlameLightOnDevice, HazeDisplacesStripesAndKeepsTheirMeanColour)
{
    SetPicture(Stripes);
    m_layer->FlameSwitch().SetValue(0);
    m_layer->Haze().Strength().SetValue(250);  // "stenght" 0.025: shifts of up to 6 pixels
    m_layer->Haze().Bump().SetValue(0);        // one distortion picture over the whole layer
    m_layer->HazeSwitch().SetValue(0);
    Show({2.0f});
    const std::vector<uint32_t> plain = m_pixels;
    m_layer->HazeSwitch().SetValue(1);
    Show({2.0f, 2.2f});
    ASSERT_TRUE(m_layer->HasOwnPostEffect());
    double red[2] = {0, 0}, blue[2] = {0, 0};
    int moved = 0;
    // Columns 8 to 55: their shifted reads never reach the clamped edge columns.
    double n = 0;
    for (unsigned y = 0; y < kSize; ++y)
        for (unsigned x = 8; x < kSize - 8; ++x, ++n) {
            const uint32_t hazy = m_pixels[y * kSize + x], still = plain[y * kSize + x];
            red[0] += (still >> 16) & 0xFF;
            red[1] += (hazy >> 16) & 0xFF;
            blue[0] += still & 0xFF;
            blue[1] += hazy & 0xFF;
            if (!ColorsNear(hazy, still, 24))
                ++moved;
        }
    EXPECT_NEAR(red[1] / n, red[0] / n, 12.0);
    EXPECT_NEAR(blue[1] / n, blue[0] / n, 12.0);
    EXPECT_GT(moved, int(n / 4));
    SaveTarget("flame_haze");
}

// The haze's values on a picture wider than high, worked out by hand: strength raw 40 is 0.08,
// so "stenght" is 0.08 x 0.05 = 0.004; the clock at raw 200 runs 0.2 a second and advances
// 0.2 x 0.2 in the first frame (a step is at most 0.2 s) and 0.2 x 0.1 in the second, so "Offset"
// is (0.06, -0.06); bump raw 50 is 1 - 0.45 = 0.55, and the 128 x 48 picture's height over width
// 0.375 makes "bump_scale" (0.55, 0.20625).
TEST_F(FlameLightOnDevice, HazeValuesOnAWidePicture)
{
    LinkEmbeddedBmp(m_layer->PictureLink(), L"C:\\pictures\\wide.bmp", 128, 48,
                    [](unsigned, unsigned) { return 0x406080u; });
    m_layer->Haze().Strength().SetValue(40);
    m_layer->Haze().Speed().SetValue(200);
    m_layer->Haze().Bump().SetValue(50);
    Show({1.0f, 1.1f});
    ID3DXEffect* effect = m_layer->Haze().Effect();
    ASSERT_NE(effect, nullptr);
    float strength = 0, offset[2] = {}, bumpScale[2] = {};
    ASSERT_EQ(effect->GetFloat("stenght", &strength), D3D_OK);
    ASSERT_EQ(effect->GetFloatArray("Offset", offset, 2), D3D_OK);
    ASSERT_EQ(effect->GetFloatArray("bump_scale", bumpScale, 2), D3D_OK);
    EXPECT_NEAR(strength, 0.004f, 1e-7f);
    EXPECT_NEAR(offset[0], 0.06f, 1e-6f);
    EXPECT_NEAR(offset[1], -0.06f, 1e-6f);
    EXPECT_NEAR(bumpScale[0], 0.55f, 1e-6f);
    EXPECT_NEAR(bumpScale[1], 0.20625f, 1e-6f);
}

// An effect link that gives no effect switches the haze off at content load; the layer then
// draws like the base layer plus fire.
TEST_F(FlameLightOnDevice, MissingHazeEffectSwitchesTheHazeOff)
{
    SetPicture(Gradient);
    m_layer->Haze().EffectLink().Assign(L"no_such_module.dll", 63);
    m_layer->FlameSwitch().SetValue(0);
    Show({1.0f});
    EXPECT_EQ(m_layer->HazeSwitch().Value(), 0);
    EXPECT_FALSE(m_layer->HasOwnPostEffect());
    for (unsigned y = 0; y < kSize; y += 5)
        for (unsigned x = 0; x < kSize; x += 5)
            ASSERT_TRUE(ColorsNear(At(x, y), Gradient(x, y), 4)) << x << "," << y;
}

// A stored haze switch of 2 begins no pair, so EndRender must not end one: the frame is the one
// drawn with the haze off.
TEST_F(FlameLightOnDevice, HazeSwitchTwoDrawsNoHaze)
{
    SetPicture(Stripes);
    m_layer->FlameSwitch().SetValue(0);
    m_layer->Haze().Strength().SetValue(250);
    m_layer->HazeSwitch().SetValue(0);
    Show({1.0f});
    const std::vector<uint32_t> plain = m_pixels;
    m_layer->HazeSwitch().SetValue(2);
    Show({1.0f});
    ASSERT_EQ(m_pixels.size(), plain.size());
    for (size_t i = 0; i < plain.size(); ++i)
        ASSERT_TRUE(ColorsNear(m_pixels[i], plain[i], 1)) << i << std::hex << " " << m_pixels[i] << " " << plain[i];
}

// The haze pass reads the layer's render target; once the frame is drawn it must hold no
// reference to it, or the device reset that follows a lost device fails. Without flames and with
// a still distortion the frame after the reset, at the same time, is the one before it.
TEST_F(FlameLightOnDevice, DrawsTheHazeAgainAfterAReset)
{
    SetPicture(Stripes);
    m_layer->FlameSwitch().SetValue(0);
    m_layer->Haze().Strength().SetValue(250);
    m_layer->Haze().Speed().SetValue(0);
    Show({1.0f});
    ASSERT_TRUE(m_layer->HasOwnPostEffect());
    const std::vector<uint32_t> before = m_pixels;
    m_layer->InvalidateDeviceObjects();
    ASSERT_EQ(ResetDevice(), D3D_OK);
    m_layer->RestoreDeviceObjects();
    DrawFrame(1.0f);
    ASSERT_EQ(m_pixels.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
        ASSERT_TRUE(ColorsNear(m_pixels[i], before[i], 1)) << i << std::hex << " " << m_pixels[i] << " " << before[i];
}

}  // namespace
