#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "brushes/Vo_PatternBrush.h"
#include "brushes/Vo_PatternBrushC.h"
#include "model/ClassReaderRegistries.h"
#include "model/CurrentDevice.h"
#include "model/Vo_DocResManager.h"
#include "runtime/Vo_TimeLineControl.h"
#include "support/BuildFolderAsCurrent.h"
#include "support/DeviceFixture.h"
#include "support/TestPaths.h"
#include "support/BrushTesting.h"
#include "support/EffectTesting.h"

using namespace brush_testing;

namespace {

// The pattern brush's own fields, then its common brush record (effect 78, speed raw 50).
void PushPatternFields(QueuedStream& s, const wchar_t* patternPath, int64_t stamp)
{
    s.Push(QueuedStream::String{patternPath}).Push(QueuedStream::Int64{stamp});
    s.Push(QueuedStream::Long{1}).Push(QueuedStream::Long{0});  // vertical, horizontal flip
    s.Push(QueuedStream::UInt{30});                              // angle
    s.Push(QueuedStream::UInt{250});                             // pattern scale raw
    s.Push(QueuedStream::UInt{20}).Push(QueuedStream::UInt{40}); // offset raws
    PushFxRecord(s, 3, 50, 0, L"common_res.dll", 78, 50);
}

std::unique_ptr<Vo_PatternBrush> ReadPattern(QueuedStream& stream, const wchar_t* className)
{
    auto& registry = GetConstructorReaderRegistry();
    EXPECT_TRUE(registry.count(className));
    if (!registry.count(className))
        return nullptr;
    std::unique_ptr<Vo_ABObj_Constructor> read(registry[className]->CreateObject(stream, 1));
    EXPECT_FALSE(stream.Failed());
    EXPECT_EQ(stream.Remaining(), 0u);
    auto* pattern = dynamic_cast<Vo_PatternBrush*>(read.get());
    EXPECT_TRUE(pattern);
    if (!pattern)
        return nullptr;
    read.release();
    return std::unique_ptr<Vo_PatternBrush>(pattern);
}

void ExpectFieldsRead(Vo_PatternBrush& pattern)
{
    EXPECT_EQ(pattern.PatternLink().GetPath(), L"C:\\Patterns\\tiles.png");
    EXPECT_EQ(pattern.PatternLink().GetKey().Stamp(), 0x1234);
    EXPECT_EQ(pattern.VerticalFlip().Value(), 1);
    EXPECT_EQ(pattern.HorizontalFlip().Value(), 0);
    EXPECT_EQ(pattern.Angle().Value(), 30u);
    EXPECT_FLOAT_EQ(pattern.PatternScale().Result(), 2.5f);
    EXPECT_FLOAT_EQ(pattern.OffsetX().Result(), -0.2f);
    EXPECT_FLOAT_EQ(pattern.OffsetY().Result(), 0.4f);
    EXPECT_EQ(pattern.EffectLink().GetKey().Stamp(), 78);
}

// A brush whose frames are set by hand: frame textures are not needed for the stepping.
TextureFrameSet FramesWithDelays(std::vector<float> delays, size_t frameCount)
{
    TextureFrameSet set;
    set.frames.resize(frameCount);
    set.delays = std::move(delays);
    set.width = 8;
    set.height = 4;
    return set;
}

TEST(Vo_PatternBrushTest, Defaults)
{
    Vo_PatternBrush pattern;
    EXPECT_EQ(pattern.EffectLink().GetPath(), L"common_res.dll");
    EXPECT_EQ(pattern.EffectLink().GetKey().Stamp(), 78);
    EXPECT_FLOAT_EQ(pattern.Speed().Result(), 1.0f);
    EXPECT_FLOAT_EQ(pattern.Speed().Scale(), 0.02f);
    EXPECT_FLOAT_EQ(pattern.PatternScale().Result(), 1.0f);
    EXPECT_FLOAT_EQ(pattern.OffsetX().Scale(), -0.01f);
    EXPECT_FLOAT_EQ(pattern.OffsetY().Scale(), 0.01f);
    EXPECT_EQ(pattern.Timeline().TimeMode().Value(), 1);
    EXPECT_EQ(pattern.FrameIndex(), 0u);
}

TEST(Vo_PatternBrushTest, Record)
{
    QueuedStream stream;
    PushPatternFields(stream, L"C:\\Patterns\\tiles.png", 0x1234);
    std::unique_ptr<Vo_PatternBrush> pattern = ReadPattern(stream, L"Vo_PatternBrush");
    ASSERT_TRUE(pattern);
    ExpectFieldsRead(*pattern);
}

// Its own header, then a whole pattern brush record with its class name (not compared) and
// version; the runtime clone is a plain pattern brush with the same values.
TEST(Vo_PatternBrushTest, NestedRecordOfTheSecondClass)
{
    QueuedStream stream;
    stream.Push(QueuedStream::String{L"any name"}).Push(QueuedStream::Int{7});
    PushPatternFields(stream, L"C:\\Patterns\\tiles.png", 0x1234);
    std::unique_ptr<Vo_PatternBrush> pattern = ReadPattern(stream, L"Vo_PatternBrushC");
    ASSERT_TRUE(pattern);
    EXPECT_TRUE(dynamic_cast<Vo_PatternBrushC*>(pattern.get()));
    ExpectFieldsRead(*pattern);

    std::unique_ptr<Vo_FX_Constructor> clone(pattern->Clone());
    auto* plain = dynamic_cast<Vo_PatternBrush*>(clone.get());
    ASSERT_TRUE(plain);
    EXPECT_FALSE(dynamic_cast<Vo_PatternBrushC*>(clone.get()));
    ExpectFieldsRead(*plain);
}

// With delays of 0.5 s at speed 1 the frame changes on the first update with more than 0.5 s of
// phase since the last change, and by one step per update however much more has passed; a single
// frame never changes, and the index never reaches past the frames when the delays list is
// longer. Updates come every 1/8 s of phase (exact in binary, so "exactly the delay" is exact).
TEST(Vo_PatternBrushTest, FrameSteppingFollowsTheDelays)
{
    struct Case {
        const char* what;
        std::vector<float> delays;
        size_t frames;
        std::vector<float> phases;
        std::vector<uint32_t> indices;
    } cases[] = {
        {"exactly the delay", {0.5f, 0.5f, 0.5f}, 3, {0.25f, 0.5f}, {0, 0}},
        {"just after", {0.5f, 0.5f, 0.5f}, 3, {0.5f, 0.5625f, 0.75f}, {0, 1, 1}},
        {"one step per update", {0.0625f, 0.0625f, 0.0625f, 0.0625f}, 4, {0.125f, 0.25f, 0.375f}, {1, 2, 3}},
        {"a long frame", {0.25f, 1.0f}, 2, {0.375f, 1.375f, 1.5f}, {1, 1, 0}},
        {"wraps round", {0.125f, 0.125f}, 2, {0.25f, 0.5f, 0.75f}, {1, 0, 1}},
        {"single frame", {0.0625f}, 1, {0.25f, 0.5f}, {0, 0}},
        {"no delays", {}, 1, {0.25f, 0.5f}, {0, 0}},
        {"more delays than frames", {0.125f, 0.125f, 0.125f}, 2, {0.25f, 0.5f, 0.75f}, {1, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Vo_PatternBrush pattern;
        pattern.Frames() = FramesWithDelays(c.delays, c.frames);
        float time = 0.0f;
        for (size_t i = 0; i < c.phases.size(); ++i) {
            while (pattern.Phase() < c.phases[i]) {
                time += std::min(0.125f, c.phases[i] - pattern.Phase());
                pattern.Update(time);
            }
            ASSERT_EQ(pattern.Phase(), c.phases[i]);
            EXPECT_EQ(pattern.FrameIndex(), c.indices[i]) << "at phase " << c.phases[i];
            ASSERT_LT(pattern.FrameIndex(), c.frames);
        }
    }
}

// The transform: scaling by (kx, ky), then the turn; mirroring both axes equals a half turn.
TEST(Vo_PatternBrushTest, CoordTransform)
{
    float m[4];
    Vo_PatternBrush::CoordTransform(2.0f, 3.0f, 0.0f, m);
    EXPECT_FLOAT_EQ(m[0], 2.0f);
    EXPECT_FLOAT_EQ(m[1], 0.0f);
    EXPECT_FLOAT_EQ(m[2], 0.0f);
    EXPECT_FLOAT_EQ(m[3], 3.0f);

    Vo_PatternBrush::CoordTransform(2.0f, 3.0f, 30.0f, m);
    const float c = std::cos(3.14159265f / 6), s = std::sin(3.14159265f / 6);
    EXPECT_NEAR(m[0], 2 * c, 1e-6f);
    EXPECT_NEAR(m[1], 2 * s, 1e-6f);
    EXPECT_NEAR(m[2], -3 * s, 1e-6f);
    EXPECT_NEAR(m[3], 3 * c, 1e-6f);

    Vo_PatternBrush flipped, turned;
    flipped.Frames() = FramesWithDelays({}, 1);
    turned.Frames() = FramesWithDelays({}, 1);
    flipped.VerticalFlip().ValueRef() = 1;
    flipped.HorizontalFlip().ValueRef() = 5;
    turned.Angle().ValueRef() = 180;
    float a[4], b[4];
    flipped.PatternTransform(640, 480, a);
    turned.PatternTransform(640, 480, b);
    EXPECT_FLOAT_EQ(a[0], -80.0f);  // 640 / (8 x 1)
    EXPECT_FLOAT_EQ(a[3], -120.0f); // 480 / (4 x 1)
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(a[i], b[i], 1e-4f) << i;
}

// In time mode 1 the fade is the alpha of "mix_color"; in any other time mode it stays 1.
TEST(Vo_PatternBrushTest, TimeModeOneFadesTheAlpha)
{
    Vo_PatternBrush pattern;
    Vo_TimeLineControl& timeline = pattern.Timeline();
    timeline.Mode().ValueRef() = Vo_TimeLineControl::kIntervals;
    ASSERT_TRUE(timeline.InsertInterval({0.0f, 10.0f, 2.0f, 8.0f}));
    timeline.SetIntervalTime(0.5f);
    ASSERT_FLOAT_EQ(timeline.GetFadeFactor(), 0.25f);
    EXPECT_FLOAT_EQ(pattern.MixAlpha(), 0.25f);
    for (int mode : {0, 2}) {
        timeline.TimeMode().ValueRef() = mode;
        EXPECT_EQ(pattern.MixAlpha(), 1.0f) << "time mode " << mode;
    }
}

class Vo_PatternBrushDeviceTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_effect = effect_testing::LoadEffect(Device(), "pattern");
        ASSERT_TRUE(m_effect);
        m_pattern.GiveEffect(m_effect.Get());
    }
    void TearDown() override
    {
        m_pattern.Frames() = TextureFrameSet();
        m_effect.Reset();
        DeviceFixture::TearDown();
    }

    ComRef<ID3DXEffect> m_effect;
    WithGivenEffect<Vo_PatternBrush> m_pattern;
};

// A pattern without a picture (height 0) sets only "mix_color" and draws nothing; so does a
// pattern scaled to 0.
TEST_F(Vo_PatternBrushDeviceTest, NoPictureOrNoScaleDrawsNothing)
{
    const float untouched[2] = {-5.0f, -5.0f};
    m_effect->SetFloatArray("offset", untouched, 2);
    RecordingLayer layer(64, 64);
    m_pattern.Render(&layer);
    EXPECT_TRUE(layer.draws.empty());
    EXPECT_FALSE(m_pattern.CanDraw());
    EXPECT_EQ(effect_testing::EffectFloats(m_effect.Get(), "mix_color", 4), (std::vector<float>{1, 1, 1, 1}));
    EXPECT_EQ(effect_testing::EffectFloats(m_effect.Get(), "offset", 2), (std::vector<float>{-5, -5}));

    m_pattern.Frames() = FramesWithDelays({}, 1);
    m_pattern.PatternScale().SetValue(0);
    m_pattern.Render(&layer);
    EXPECT_TRUE(layer.draws.empty());
    EXPECT_FALSE(m_pattern.CanDraw());
}

// What reaches the effect: the frame at the index, the tile's aspect, the offset, the transform
// for the layer's picture size, then the common step with "Main".
TEST_F(Vo_PatternBrushDeviceTest, RenderValues)
{
    TextureFrameSet frames;
    for (uint32_t colour : {0xFFFF0000u, 0xFF00FF00u})
        frames.frames.push_back(effect_testing::MakeTexture(Device(), 8, 4, [=](unsigned, unsigned) { return colour; }));
    frames.delays = {0.1f, 0.1f};
    frames.width = 8;
    frames.height = 4;
    m_pattern.Frames() = frames;
    m_pattern.PatternScale().SetValue(200);
    m_pattern.OffsetX().SetValue(25);
    m_pattern.OffsetY().SetValue(50);
    m_pattern.HorizontalFlip().ValueRef() = 1;
    m_pattern.Update(0.15f);
    ASSERT_EQ(m_pattern.FrameIndex(), 1u);

    RecordingLayer layer(320, 200);
    m_pattern.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 1u);
    EXPECT_FALSE(layer.draws[0].indexed);
    EXPECT_EQ(layer.draws[0].technique, "Main");
    IDirect3DBaseTexture9* bound = nullptr;
    ASSERT_EQ(m_effect->GetTexture("Pattern", &bound), D3D_OK);
    EXPECT_EQ(bound, frames.frames[1].Get());
    if (bound)
        bound->Release();
    EXPECT_EQ(effect_testing::EffectFloats(m_effect.Get(), "scale", 2), (std::vector<float>{2.0f, 1.0f}));
    EXPECT_EQ(effect_testing::EffectFloats(m_effect.Get(), "offset", 2), (std::vector<float>{-0.25f, 0.5f}));
    // 320 / (8 x 2) mirrored, 200 / (4 x 2).
    std::vector<float> m = effect_testing::EffectFloats(m_effect.Get(), "coord_transf", 4);
    EXPECT_FLOAT_EQ(m[0], -20.0f);
    EXPECT_NEAR(m[1], 0.0f, 1e-6f);
    EXPECT_NEAR(m[2], 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(m[3], 25.0f);
    EXPECT_EQ(effect_testing::EffectFloats(m_effect.Get(), "mix_color", 4), (std::vector<float>{1, 1, 1, 1}));

    // A frame index past a frame list shorter than the delays draws the first frame.
    m_pattern.Frames().frames.resize(1);
    m_pattern.Frames().currentFrame = 1;
    m_pattern.Render(&layer);
    ASSERT_EQ(m_effect->GetTexture("Pattern", &bound), D3D_OK);
    EXPECT_EQ(bound, frames.frames[0].Get());
    if (bound)
        bound->Release();
}

// Frame b of the module's pattern set (test-pattern-b of the picture tool).
uint32_t PatternFrameB(unsigned x, unsigned y) { return 0xFF000000u | (255 - x * 32) << 16 | 40 << 8 | y * 64; }

// A ".dll" link takes the picture set kept in the module, with its delays, from the first frame;
// the brush holds a reference of its own to each frame, which outlives the store. Drawn with what
// the brush sets, the pattern's second frame repeats W / (8 x s) times across a picture of W
// pixels: with W = 64 and s = 2 every 16 pixels of the 64-pixel screen, 8 times down.
TEST_F(Vo_PatternBrushDeviceTest, FramesFromAPictureSetInTheModule)
{
    // The module lies in the build folder; device, store and folder are put back however the
    // test ends.
    struct Restore {
        IDirect3DDevice9* device = CurrentDevice;
        Vo_DocResManager* store = CurrentDocResManager;
        ~Restore()
        {
            CurrentDevice = device;
            CurrentDocResManager = store;
        }
    } restore;
    BuildFolderAsCurrent buildFolder;
    CurrentDevice = Device();
    {
        Vo_DocResManager store;
        CurrentDocResManager = &store;
        m_pattern.PatternLink().Assign(L"test_res.dll", 904);
        TextureFrameSet& kept = store.LoadImageSetFromModule(m_pattern.PatternLink());
        ASSERT_EQ(kept.frames.size(), 2u);
        kept.currentFrame = 1;
        const ULONG before = RefCount(kept.frames[0].Get());
        m_pattern.LoadFrames();
        const TextureFrameSet& frames = m_pattern.Frames();
        ASSERT_EQ(frames.frames.size(), 2u);
        EXPECT_EQ(frames.frames[0].Get(), kept.frames[0].Get());
        EXPECT_EQ(frames.delays, (std::vector<float>{0.5f, 0.5f}));
        EXPECT_EQ(frames.width, 8u);
        EXPECT_EQ(frames.height, 4u);
        EXPECT_EQ(m_pattern.FrameIndex(), 0u);
        EXPECT_TRUE(m_pattern.CanDraw());
        EXPECT_EQ(RefCount(frames.frames[0].Get()), before + 1);
        CurrentDocResManager = restore.store;
    }
    D3DSURFACE_DESC desc = {};
    EXPECT_EQ(m_pattern.Frames().frames[0]->GetLevelDesc(0, &desc), D3D_OK);

    for (float t = 0.125f; m_pattern.FrameIndex() == 0 && t < 1.0f; t += 0.125f)
        m_pattern.Update(t);
    ASSERT_EQ(m_pattern.FrameIndex(), 1u);
    m_pattern.PatternScale().SetValue(200);
    RecordingLayer layer(64, 64);
    m_pattern.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 1u);
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(effect_testing::DrawQuadWithEffect(Device(), m_effect.Get(), DeviceFixture::kSize), D3D_OK);
    const std::vector<uint32_t> pixels = ReadBack();
    ASSERT_EQ(pixels.size(), DeviceFixture::kSize * DeviceFixture::kSize);
    const effect_testing::TexelTable frame(8, 4, PatternFrameB, effect_testing::TexelTable::kWrap);
    for (unsigned y = 0; y < DeviceFixture::kSize; ++y)
        for (unsigned x = 0; x < DeviceFixture::kSize; ++x) {
            const uint32_t want = effect_testing::ToArgb(frame.Sample((x + 0.5) / 16, (y + 0.5) / 8));
            const uint32_t got = pixels[y * DeviceFixture::kSize + x];
            ASSERT_TRUE(ColorsNear(got, want, 3))
                << std::hex << got << " want " << want << std::dec << " at " << x << "," << y;
            if (x >= 16) {
                ASSERT_TRUE(ColorsNear(got, pixels[y * DeviceFixture::kSize + x - 16], 3)) << x << "," << y;
            }
        }
}

}  // namespace
