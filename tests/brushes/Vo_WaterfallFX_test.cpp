#include <gtest/gtest.h>

#include <memory>

#include "brushes/Vo_WaterfallFX.h"
#include "model/ClassReaderRegistries.h"
#include "model/CurrentDevice.h"
#include "support/CurrentDeviceFixture.h"
#include "support/RegistryReading.h"
#include "support/BrushTesting.h"
#include "support/EffectTesting.h"

using namespace brush_testing;

namespace {

// A waterfall that draws with the effect the fixture loads.
using TestWaterfall = WithGivenEffect<Vo_WaterfallFX>;

void PushWaterfallRecord(QueuedStream& s, uint32_t strips, uint32_t noiseRaw, int32_t off)
{
    s.Push(QueuedStream::UInt{20}).Push(QueuedStream::UInt{strips}).Push(QueuedStream::UInt{noiseRaw});
    s.Push(QueuedStream::UInt{9}).Push(QueuedStream::UInt{500});
    s.Push(QueuedStream::String{L"noise.png"}).Push(QueuedStream::Int64{4});
    s.Push(QueuedStream::Int{0x00336699}).Push(QueuedStream::Long{off});
    // The direction-based record: strength raw 250 (1.0), angle 270.
    s.Push(QueuedStream::String{L"Vo_DirectionBased"}).Push(QueuedStream::Int{1});
    s.Push(QueuedStream::UInt{250}).Push(QueuedStream::UInt{270});
    PushFxRecord(s, 3, 50, 0, L"falls.fxo", 0, 50);
}

TEST(Vo_WaterfallFXTest, RecordThroughTheRegistry)
{
    QueuedStream stream;
    PushWaterfallRecord(stream, 4, 30, 0);
    std::unique_ptr<Vo_WaterfallFX> read = ReadObjectThroughRegistry<Vo_WaterfallFX>(L"Vo_WaterfallFX", stream, 1);
    ASSERT_TRUE(read);
    Vo_WaterfallFX* falls = read.get();
    EXPECT_FLOAT_EQ(falls->Opacity().Result(), 0.8f);
    EXPECT_EQ(falls->StripCount().Value(), 4u);
    EXPECT_FLOAT_EQ(falls->NoiseAmplitude().Result(), 0.003f);
    EXPECT_FLOAT_EQ(falls->Threshold().Result(), 0.5f);
    EXPECT_EQ(falls->BaseColour().Value(), 0x00336699u);
    EXPECT_FLOAT_EQ(falls->Strength().Result(), 1.0f);
    EXPECT_EQ(falls->Angle().Value(), 270u);
    EXPECT_FLOAT_EQ(falls->Direction().x, 1.0f) << "reading does not recompute";
    std::unique_ptr<Vo_FX_Constructor> clone(falls->Clone());
    EXPECT_NEAR(static_cast<Vo_WaterfallFX*>(clone.get())->Direction().y, 1.0f, 1e-6f);
}

// A damaged strip count must not allocate gigabytes.
TEST(Vo_WaterfallFXTest, HugeStripCountIsCapped)
{
    TestWaterfall falls;
    falls.StripCount().ValueRef() = 0xFFFFFFF0u;
    falls.LoadResources(nullptr);
    EXPECT_EQ(falls.Strips().size(), kMaxWaterfallStrips);
}

class Vo_WaterfallFXDeviceTest : public CurrentDeviceFixture {
protected:
    void SetUp() override
    {
        CurrentDeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_effect = effect_testing::LoadEffect(Device(), "waterfall");
        ASSERT_TRUE(m_effect);
    }
    void TearDown() override
    {
        m_effect.Reset();
        CurrentDeviceFixture::TearDown();
    }

    std::unique_ptr<TestWaterfall> Read(uint32_t strips, uint32_t noiseRaw, int32_t off)
    {
        QueuedStream stream;
        PushWaterfallRecord(stream, strips, noiseRaw, off);
        auto falls = std::make_unique<TestWaterfall>(m_effect.Get());
        falls->LoadFields(stream, 1);
        EXPECT_FALSE(stream.Failed());
        // What the runtime object holds: the clone, with its direction from the angle.
        std::unique_ptr<TestWaterfall> clone(static_cast<TestWaterfall*>(new TestWaterfall(*falls)));
        clone->LoadResources(nullptr);
        return clone;
    }

    ComRef<ID3DXEffect> m_effect;
};

// The noise pass first, then one colour pass per strip: 1 + n draws of the grid.
TEST_F(Vo_WaterfallFXDeviceTest, DrawsNoiseThenOneColourPassPerStrip)
{
    std::unique_ptr<TestWaterfall> falls = Read(4, 30, 0);
    falls->Update(0.0f);
    RecordingLayer layer(64, 64);
    ComRef<IDirect3DTexture9> image =
        effect_testing::MakeTexture(Device(), 4, 4, [](unsigned, unsigned) { return 0xFF000000u; });
    layer.m_output = image.Get();
    falls->Render(&layer);
    ASSERT_EQ(layer.draws.size(), 5u);
    EXPECT_EQ(layer.draws[0].technique, "Noise");
    const float transluencies[] = {0.0f, 0.4f, 0.8f, 0.4f};
    for (int i = 0; i < 4; ++i) {
        const RecordedDraw& draw = layer.draws[1 + i];
        EXPECT_TRUE(draw.indexed);
        EXPECT_EQ(draw.technique, "ColorWaves");
        EXPECT_NEAR(draw.transluency, transluencies[i], 1e-5f) << i;
        // Angle 270: direction (0, 1); strip i is shifted by -0.25 i along it.
        EXPECT_NEAR(draw.shift[0], 0.0f, 1e-6f);
        EXPECT_NEAR(draw.shift[1], -0.25f * i, 1e-5f) << i;
        EXPECT_EQ(draw.background, image.Get());
    }

    // One unit of phase later (speed 1 per second, steps of at most 0.2 s) every strip has run
    // once through its path and is back where it was.
    for (float time : {0.2f, 0.4f, 0.6f, 0.8f, 1.0f})
        falls->Update(time);
    ASSERT_NEAR(falls->Phase(), 1.0f, 1e-5f);
    layer.draws.clear();
    falls->Render(&layer);
    ASSERT_EQ(layer.draws.size(), 5u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(layer.draws[1 + i].transluency, transluencies[i], 1e-4f) << i;
        EXPECT_NEAR(layer.draws[1 + i].shift[1], -0.25f * i, 1e-4f) << i;
    }
}

TEST_F(Vo_WaterfallFXDeviceTest, PassesLeftOut)
{
    struct Case {
        uint32_t strips, noiseRaw;
        int32_t off;
        size_t draws;
    } cases[] = {{4, 0, 0, 4}, {0, 30, 0, 1}, {0, 0, 0, 0}, {4, 30, 1, 0}};
    for (const Case& c : cases) {
        std::unique_ptr<TestWaterfall> falls = Read(c.strips, c.noiseRaw, c.off);
        falls->Update(0.1f);
        RecordingLayer layer(64, 64);
        falls->Render(&layer);
        EXPECT_EQ(layer.draws.size(), c.draws) << c.strips << " " << c.noiseRaw << " " << c.off;
        // "Mask" and "Background" are set whatever happens.
        IDirect3DBaseTexture9* mask = nullptr;
        m_effect->GetTexture("Mask", &mask);
        EXPECT_NE(mask, nullptr);
        if (mask)
            mask->Release();
    }
    // A scale of 0 leaves the noise pass out instead of dividing by zero.
    std::unique_ptr<TestWaterfall> falls = Read(0, 30, 0);
    falls->ScaleParam().SetValue(0);
    falls->Update(0.1f);
    RecordingLayer layer(64, 64);
    falls->Render(&layer);
    EXPECT_EQ(layer.draws.size(), 0u);
}

}  // namespace
