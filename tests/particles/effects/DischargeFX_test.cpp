// The discharge effect emitter and the glow it is drawn with, without a device: the bolt's
// segments, their texture ranges and flicker, the blend between two shapes, the re-forming, the
// glow's technique and colour, and the records through the registered reader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "tests/particles/effects/EffectObjectTesting.h"
#include "particles/sprites/SpriteParticle.h"
#include "particles/effects/Vo_DischargeFXConstructor.h"
#include "particles/effects/Vo_GlowingObj.h"
#include "runtime/Vo_TimeLineControl.h"
#include "support/RegistryReading.h"

using namespace effect_testing;

namespace {

bool Near(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float tolerance = 1e-4f)
{
    return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance && std::fabs(a.z - b.z) <= tolerance;
}

// A discharge of `count` segments between the points, its particles spawned as its runtime
// object spawns them (one after another).
struct Discharge {
    Vo_DischargeFXConstructor emitter;
    std::vector<SpriteParticle> particles;

    Discharge(unsigned count, D3DXVECTOR3 start, D3DXVECTOR3 end, unsigned jitterRaw)
    {
        emitter.Count().ValueRef() = count;
        emitter.StartPoint().ValueRef() = start;
        emitter.EndPoint().ValueRef() = end;
        emitter.Jitter().SetValue(jitterRaw);
        particles.resize(count);
        for (SpriteParticle& p : particles) {
            InitSpriteParticle(p, emitter);
            ResetSpriteParticle(p, emitter);
            emitter.SpawnParticle(p);
        }
    }
    // One frame as the glowing object runs it, at local time t.
    void Frame(float t)
    {
        emitter.PrepareFrame();
        emitter.UpdateSpeed(t);
        for (SpriteParticle& p : particles)
            emitter.UpdateParticle(p);
    }
};

}  // namespace

TEST(DischargeBolt, SegmentTable)
{
    struct Case {
        unsigned count;
        unsigned jitter;
        D3DXVECTOR3 start, end;
        std::vector<D3DXVECTOR3> midpoints;
        D3DXVECTOR3 axis, normal;
        float length;
    } cases[] = {
        // One segment is straight from start to end, whatever the jitter.
        {1, 80, {10, 20, 0}, {110, 20, 0}, {{60, 20, 0}}, {1, 0, 0}, {0, -1, 0}, 100},
        {3, 0, {0, 0, 0}, {300, 0, 0}, {{50, 0, 0}, {150, 0, 0}, {250, 0, 0}}, {1, 0, 0}, {0, -1, 0}, 100},
        {2, 0, {0, 0, 0}, {0, 80, 0}, {{0, 20, 0}, {0, 60, 0}}, {0, 1, 0}, {1, 0, 0}, 40},
    };
    for (const Case& c : cases) {
        Discharge d(c.count, c.start, c.end, c.jitter);
        for (const std::vector<BoltSegment>* bolt : {&d.emitter.CurrentBolt(), &d.emitter.NextBolt()}) {
            ASSERT_EQ(bolt->size(), c.count);
            for (unsigned i = 0; i < c.count; ++i) {
                const BoltSegment& s = (*bolt)[i];
                EXPECT_TRUE(Near(s.midpoint, c.midpoints[i])) << "segment " << i << " of " << c.count;
                EXPECT_TRUE(Near(s.axis, c.axis));
                EXPECT_TRUE(Near(s.normal, c.normal));
                EXPECT_NEAR(s.length, c.length, 1e-3f);
            }
        }
    }
}

TEST(DischargeBolt, JitteredBoltEndsOnTheEndPoint)
{
    std::srand(11);
    const D3DXVECTOR3 start(40, 300, 0), end(600, 120, 0);
    Discharge d(8, start, end, 50);
    const std::vector<BoltSegment>& bolt = d.emitter.CurrentBolt();
    D3DXVECTOR3 cursor = start;
    bool deflected = false;
    for (const BoltSegment& s : bolt) {
        // Each segment starts where the one before ended.
        EXPECT_TRUE(Near(s.midpoint - 0.5f * s.length * s.axis, cursor, 1e-2f));
        cursor = s.midpoint + 0.5f * s.length * s.axis;
        deflected = deflected || std::fabs(s.axis.y / s.axis.x - (end.y - start.y) / (end.x - start.x)) > 0.01f;
    }
    EXPECT_TRUE(Near(cursor, end, 1e-2f));
    EXPECT_TRUE(deflected) << "a jitter of 0.5 bends the bolt";
}

TEST(DischargeBolt, ParticlesBecomeTheSegmentsWithTheirTextureRanges)
{
    Discharge d(3, {0, 0, 0}, {300, 0, 0}, 0);
    d.Frame(0.0f);
    const float u[3][2] = {{0.0f, 0.805f}, {0.195f, 0.805f}, {0.195f, 1.0f}};
    for (int i = 0; i < 3; ++i) {
        const SpriteParticle& p = d.particles[i];
        EXPECT_TRUE(Near(p.position, D3DXVECTOR3(50.0f + 100.0f * i, 0, 0)));
        EXPECT_TRUE(Near(p.right, D3DXVECTOR3(1, 0, 0)));
        EXPECT_TRUE(Near(p.up, D3DXVECTOR3(0, -1, 0)));
        EXPECT_FLOAT_EQ(p.halfWidth, 50.0f);
        EXPECT_FLOAT_EQ(p.halfHeight, 25.0f) << "half the sprite size 50";
        EXPECT_FLOAT_EQ(p.uStart, u[i][0]);
        EXPECT_FLOAT_EQ(p.uEnd, u[i][1]);
    }
    EXPECT_EQ(d.emitter.SegmentCursor(), 3);

    Discharge single(1, {0, 0, 0}, {90, 0, 0}, 50);
    single.Frame(0.0f);
    EXPECT_FLOAT_EQ(single.particles[0].uStart, 0.0f);
    EXPECT_FLOAT_EQ(single.particles[0].uEnd, 1.0f);
}

TEST(DischargeBolt, FlickerChoosesAHalfOfThePictureWheneverTimeAdvanced)
{
    Discharge d(1, {0, 0, 0}, {100, 0, 0}, 0);
    SpriteParticle& p = d.particles[0];
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        std::srand(seed);
        const int first = std::rand(), second = std::rand();
        float v[2] = {first % 2 == 0 ? 0.5f : 0.0f, first % 2 == 0 ? 1.0f : 0.5f};
        if (second % 2 == 1)
            std::swap(v[0], v[1]);
        std::srand(seed);
        d.Frame(float(seed));
        EXPECT_FLOAT_EQ(p.vStart, v[0]) << "seed " << seed;
        EXPECT_FLOAT_EQ(p.vEnd, v[1]) << "seed " << seed;
        EXPECT_FLOAT_EQ(p.timer, float(seed));
    }
    // Within the same local time nothing is drawn again.
    EXPECT_EQ(CountRandDraws([&] { d.Frame(6.0f); }), 0);
    EXPECT_EQ(CountRandDraws([&] { d.Frame(6.5f); }), 2);
}

TEST(DischargeBolt, ReformsEveryTenthOfASecondAndBlendsTowardTheNextShape)
{
    std::srand(5);
    Discharge d(4, {0, 0, 0}, {400, 100, 0}, 60);
    d.emitter.Speed().SetValue(50);  // emitter time runs with the local time
    d.emitter.BlendSpeed().SetValue(200);  // 20: the blend overshoots before the next re-form
    const std::vector<BoltSegment> current = d.emitter.CurrentBolt();
    const std::vector<BoltSegment> next = d.emitter.NextBolt();

    d.Frame(0.0f);
    d.Frame(0.05f);  // 0.05 s after the last re-form: factor 1.0
    EXPECT_EQ(d.emitter.LastBoltTime(), 0.0f);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(Near(d.particles[i].position, next[i].midpoint, 1e-2f));
    d.Frame(0.09f);  // factor 1.8: past the next shape
    for (int i = 0; i < 4; ++i) {
        const BoltSegment s = d.emitter.InterpolateSegment(i, 1.8f);
        EXPECT_TRUE(Near(s.midpoint, current[i].midpoint + 1.8f * (next[i].midpoint - current[i].midpoint), 1e-3f));
        EXPECT_TRUE(Near(d.particles[i].position, s.midpoint, 1e-2f));
    }
    // More than 0.1 s since the last re-form: the next shape becomes the current one.
    d.Frame(0.13f);
    EXPECT_EQ(d.emitter.LastBoltTime(), 0.0f);
    d.Frame(0.17f);
    EXPECT_NEAR(d.emitter.LastBoltTime(), 0.13f, 1e-5f);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(Near(d.emitter.CurrentBolt()[i].midpoint, next[i].midpoint));
}

TEST(DischargeBolt, SurplusParticlesOfASmallerCountKeepFollowingTheBolt)
{
    Discharge d(2, {0, 0, 0}, {100, 0, 0}, 0);
    d.emitter.Count().ValueRef() = 1;  // the runtime object keeps the surplus particle, undrawn
    d.Frame(0.0f);
    EXPECT_FLOAT_EQ(d.particles[0].uEnd, 1.0f) << "the only drawn segment is the last";
    EXPECT_TRUE(Near(d.particles[1].position, D3DXVECTOR3(75, 0, 0)));
}

TEST(DischargeDescription, ConstructorValuesAndTheBoltPicture)
{
    Vo_DischargeFXConstructor d;
    EXPECT_EQ(d.SpriteSize().Value(), 50u);
    EXPECT_EQ(d.Additive().Value(), 1);
    EXPECT_EQ(d.Colour().Value(), 0xFFFFCCu);
    EXPECT_EQ(d.GlowColour().Value(), 0xFF9900u);
    EXPECT_FLOAT_EQ(d.GlowStrength().Result(), 1.0f);
    EXPECT_EQ(d.EffectLink().GetPath(), L"common_res.dll");
    EXPECT_EQ(d.EffectLink().GetKey().Stamp(), 97);
    EXPECT_FLOAT_EQ(d.Jitter().Result(), 0.5f);
    EXPECT_EQ(d.TextureVariant().Value(), 1);
    EXPECT_NEAR(d.FlickerPeriod().Result(), 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(d.BlendSpeed().Result(), 5.0f);

    d.BindTextures();
    EXPECT_EQ(d.MainPicture().GetPath(), L"common_res.dll");
    EXPECT_EQ(d.MainPicture().GetKey().Stamp(), 95);
    d.TextureVariant().ValueRef() = 0;
    d.BindTextures();
    EXPECT_EQ(d.MainPicture().GetKey().Stamp(), 98);
}

TEST(GlowComposite, TechniquePerBlend)
{
    EXPECT_STREQ(Vo_GlowingObj::CompositeTechnique(1), "Blend_Screen");
    EXPECT_STREQ(Vo_GlowingObj::CompositeTechnique(0), "Blend_Normal");
    EXPECT_STREQ(Vo_GlowingObj::CompositeTechnique(2), "Blend_Normal");
}

TEST(GlowComposite, BlendColorFollowsTheGlowAndTheFade)
{
    Vo_DischargeFXConstructor d;
    d.GlowColour().SetValue(0x00336699);
    float c[4];
    Vo_GlowingObj::GetBlendColor(d, c);
    EXPECT_FLOAT_EQ(c[0], 0x99 / 255.0f);
    EXPECT_FLOAT_EQ(c[1], 0x66 / 255.0f);
    EXPECT_FLOAT_EQ(c[2], 0x33 / 255.0f);
    EXPECT_FLOAT_EQ(c[3], 1.0f);

    Vo_TimeLineControl& timeline = d.Timeline();
    timeline.Mode().SetValue(Vo_TimeLineControl::kCycling);
    timeline.AdvanceLocalTime(timeline.States(), 1.0f);
    timeline.AdvanceLocalTime(timeline.States(), 1.25f);
    ASSERT_FLOAT_EQ(timeline.GetFadeFactor(), 0.5f);
    Vo_GlowingObj::GetBlendColor(d, c);
    EXPECT_FLOAT_EQ(c[3], 0.5f);
    d.GlowStrength().SetValue(300);
    Vo_GlowingObj::GetBlendColor(d, c);
    EXPECT_FLOAT_EQ(c[3], 1.5f);
}

TEST(DischargeRecords, EveryLevelThroughTheRegisteredReader)
{
    QueuedStream s;
    for (float f : {10.0f, 20.0f, 0.0f, 300.0f, 40.0f, 0.0f})
        s.Push(QueuedStream::Float{f});
    s.Push(QueuedStream::UInt{30});   // jitter raw
    s.Push(QueuedStream::Int{0});     // texture variant
    s.Push(QueuedStream::UInt{50});   // flicker raw: 0.05 s
    s.Push(QueuedStream::UInt{20});   // blend speed raw: 2.0
    s.Push(QueuedStream::String{L"Vo_GlowEffectCtrl"}).Push(QueuedStream::Int{1});
    s.Push(QueuedStream::Int{0x0000FF00});  // glow colour
    s.Push(QueuedStream::UInt{150});        // glow strength raw
    SpriteRecordValues sprite;
    sprite.secondPath = L"C:\\sprites\\glow.png";
    PushFXRecord(s, L"C:\\effects\\glow.fxo", 0x01D9000000000077, sprite);
    const auto d = ReadObjectThroughRegistry<Vo_DischargeFXConstructor>(L"Vo_DischargeFXConstructor", s, 1);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->StartPoint().Value(), D3DXVECTOR3(10, 20, 0));
    EXPECT_EQ(d->EndPoint().Value(), D3DXVECTOR3(300, 40, 0));
    EXPECT_FLOAT_EQ(d->Jitter().Result(), 0.3f);
    EXPECT_EQ(d->TextureVariant().Value(), 0);
    EXPECT_NEAR(d->FlickerPeriod().Result(), 0.05f, 1e-6f);
    EXPECT_FLOAT_EQ(d->BlendSpeed().Result(), 2.0f);
    EXPECT_EQ(d->GlowColour().Value(), 0x0000FF00u);
    EXPECT_FLOAT_EQ(d->GlowStrength().Result(), 1.5f);
    EXPECT_EQ(d->EffectLink().GetPath(), L"C:\\effects\\glow.fxo");
    EXPECT_EQ(d->SecondPicture().GetPath(), L"C:\\sprites\\glow.png");
    EXPECT_EQ(d->Count().Value(), sprite.count);
    EXPECT_EQ(d->SpriteSize().Value(), sprite.size);
    EXPECT_EQ(d->Additive().Value(), sprite.additive);
}
