// The explosion without a device: its offset sequence with a fixed seed and from the running
// sequence, the roll-over once per unit of its clock, the quad while it fades in and when it is
// invisible, and its records of versions 1 and 2.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/particles/effects/EffectObjectTesting.h"
#include "particles/sprites/SpriteParticle.h"
#include "particles/effects/Vo_ExplosionConstructor.h"
#include "runtime/Vo_TimeLineControl.h"
#include "support/RegistryReading.h"

using namespace effect_testing;

namespace {

// The n-th pair (1 = first) of the sequence after srand(seed).
void NthPair(unsigned seed, int n, float pair[2])
{
    std::srand(seed);
    for (int i = 0; i < n; ++i) {
        pair[0] = float(std::rand()) / 32767.0f;
        pair[1] = float(std::rand()) / 32767.0f;
    }
}

// Cycling timeline at fade-in fraction f (its fade-in lasts 0.5 s).
void FadeInAt(Vo_TimeLineControl& timeline, float f)
{
    timeline.Mode().SetValue(Vo_TimeLineControl::kCycling);
    timeline.AdvanceLocalTime(timeline.States(), 1.0f);
    timeline.AdvanceLocalTime(timeline.States(), 1.0f + 0.5f * f);
}

SpriteParticle FreshParticle(Vo_ExplosionConstructor& e)
{
    SpriteParticle p = {};
    InitSpriteParticle(p, e);
    ResetSpriteParticle(p, e);
    return p;
}

}  // namespace

TEST(ExplosionOffsets, FixedSeedTakesTheNextPairOfItsSequence)
{
    Vo_ExplosionConstructor e;
    e.Seed().ValueRef() = 1234;
    for (int n = 1; n <= 4; ++n) {
        std::srand(99);  // whatever ran before does not matter
        e.Reseed();
        float expected[2];
        NthPair(1234, n, expected);
        EXPECT_FLOAT_EQ(e.Offset(0), expected[0]) << "reseed " << n;
        EXPECT_FLOAT_EQ(e.Offset(1), expected[1]) << "reseed " << n;
        EXPECT_EQ(e.DrawCount(), n + 1);
    }
    // The same seed gives the same sequence in another object.
    Vo_ExplosionConstructor other;
    other.Seed().ValueRef() = 1234;
    other.Reseed();
    float first[2];
    NthPair(1234, 1, first);
    EXPECT_FLOAT_EQ(other.Offset(0), first[0]);
    // The reseed leaves rand() inside that sequence: after the second pair the next draw is its
    // fifth value, for every later user of rand().
    std::srand(1234);
    for (int i = 0; i < 4; ++i)
        std::rand();
    const int fifth = std::rand();
    other.Reseed();
    EXPECT_EQ(std::rand(), fifth);
}

TEST(ExplosionOffsets, RandomFlagDrawsFromTheRunningSequence)
{
    Vo_ExplosionConstructor e;
    e.RandomFlag().ValueRef() = 1;
    e.Seed().ValueRef() = 1234;
    std::srand(77);
    const float a = float(std::rand()) / 32767.0f, b = float(std::rand()) / 32767.0f;
    std::srand(77);
    e.Reseed();
    EXPECT_FLOAT_EQ(e.Offset(0), a);
    EXPECT_FLOAT_EQ(e.Offset(1), b);
    EXPECT_EQ(e.DrawCount(), 1) << "the draw count belongs to the seeded sequence";
}

TEST(ExplosionOffsets, RollTwicePerSecondAtTheDefaultSpeed)
{
    Vo_ExplosionConstructor e;
    e.Seed().ValueRef() = 5;
    EXPECT_EQ(e.Speed().Value(), 100u);
    int rolls = 0;
    float previous = e.Offset(0);
    for (int step = 1; step <= 8; ++step) {
        e.UpdateSpeed(0.125f * float(step));
        const int countBefore = e.DrawCount();
        e.RollOffsets();
        if (e.DrawCount() != countBefore) {
            ++rolls;
            EXPECT_FLOAT_EQ(e.PreviousOffset(0), previous) << "the current offsets become the previous ones";
            previous = e.Offset(0);
        }
    }
    EXPECT_FLOAT_EQ(e.AccumulatedTime(), 2.0f);
    EXPECT_EQ(rolls, 2);
    EXPECT_FLOAT_EQ(e.WholePart(), 2.0f);

    // After a restart of the clock no roll happens until it passes the stored whole part again.
    e.Vo_ViewObjCtrl::Restart();
    for (float t : {0.2f, 0.4f, 0.6f})
        e.UpdateSpeed(t);  // clock 1.2
    const int countBefore = e.DrawCount();
    e.RollOffsets();
    EXPECT_EQ(e.DrawCount(), countBefore);
}

TEST(ExplosionQuad, FadeInGrowsTheQuadAndRaisesItsOpacityFiveTimesFaster)
{
    struct Case {
        float fade;
        float scale;
        float opacity;
    } cases[] = {{0.1f, 0.325f, 0.5f}, {0.2f, 0.4f, 1.0f}, {0.6f, 0.7f, 1.0f}};
    for (const Case& c : cases) {
        Vo_ExplosionConstructor e;
        e.Position().ValueRef() = D3DXVECTOR3(300, 200, 0);
        FadeInAt(e.Timeline(), c.fade);
        ASSERT_EQ(e.Timeline().GetState(), 2);
        ASSERT_NEAR(e.Timeline().GetFadeFactor(), c.fade, 1e-5f);
        SpriteParticle p = FreshParticle(e);
        e.UpdateParticle(p);
        EXPECT_EQ(p.position, D3DXVECTOR3(300, 200, 0));
        EXPECT_NEAR(p.halfWidth, c.scale * 125.0f, 1e-3f) << "fade " << c.fade;
        EXPECT_NEAR(p.halfHeight, c.scale * 125.0f, 1e-3f);
        EXPECT_NEAR(p.opacity, c.opacity, 1e-5f);
        EXPECT_EQ(p.color >> 24, uint32_t(255.0f * c.opacity)) << "alpha byte x opacity";
    }

    // Fully visible: the whole size (sprite size shifted right by one bit).
    Vo_ExplosionConstructor e;
    e.SpriteSize().ValueRef() = 251;
    SpriteParticle p = FreshParticle(e);
    e.UpdateParticle(p);
    EXPECT_FLOAT_EQ(p.halfWidth, 125.0f);
}

TEST(ExplosionQuad, InvisibleCollapsesTheQuadAndClearsTheOffsets)
{
    Vo_ExplosionConstructor e;
    e.Seed().ValueRef() = 3;
    e.Reseed();
    e.Reseed();
    e.DriftClock().Advance(0.1f);
    e.DriftClock().Advance(0.2f);
    ASSERT_GT(e.DriftClock().Accumulated(), 0.0f);
    // The interval mode without intervals is invisible.
    e.Timeline().Mode().SetValue(Vo_TimeLineControl::kIntervals);
    ASSERT_EQ(e.Timeline().GetState(), 1);
    SpriteParticle p = FreshParticle(e);
    e.UpdateParticle(p);
    EXPECT_EQ(p.halfWidth, 0.0f);
    EXPECT_EQ(p.halfHeight, 0.0f);
    EXPECT_EQ(e.Offset(0), 0.0f);
    EXPECT_EQ(e.Offset(1), 0.0f);
    EXPECT_EQ(e.PreviousOffset(0), 0.0f);
    EXPECT_EQ(e.DrawCount(), 1);
    EXPECT_EQ(e.DriftClock().Accumulated(), 0.0f);
    EXPECT_EQ(e.DriftClock().Last(), 0.0f);
}

TEST(ExplosionQuad, RestartClearsOffsetsButNotTheClocks)
{
    Vo_ExplosionConstructor e;
    e.Seed().ValueRef() = 3;
    e.Reseed();
    e.UpdateSpeed(0.1f);
    e.UpdateSpeed(0.2f);
    const float clock = e.AccumulatedTime();
    ASSERT_GT(clock, 0.0f);
    e.Restart();
    EXPECT_EQ(e.DrawCount(), 1);
    EXPECT_EQ(e.Offset(0), 0.0f);
    EXPECT_EQ(e.AccumulatedTime(), clock);
}

namespace {

void PushExplosion(QueuedStream& s, int32_t version)
{
    s.Push(QueuedStream::UInt{30}).Push(QueuedStream::UInt{20}).Push(QueuedStream::UInt{60});
    s.Push(QueuedStream::UInt{90});   // drift angle
    s.Push(QueuedStream::UInt{100});  // drift speed raw: 0.5
    if (version == 1)
        for (uint32_t value : {400u, 2000u, 800u, 1500u, 700u})
            s.Push(QueuedStream::UInt{value});
    s.Push(QueuedStream::UInt{4242});   // seed
    s.Push(QueuedStream::Int{0});       // random flag
    s.Push(QueuedStream::Int{0x00102030});
    PushStatBaseRecord(s, 2, 400.0f, 300.0f, 0, 0, SpriteRecordValues{});
}

}  // namespace

TEST(ExplosionRecords, VersionTwo)
{
    QueuedStream s;
    PushExplosion(s, 2);
    const auto e = ReadObjectThroughRegistry<Vo_ExplosionConstructor>(L"Vo_ExplosionConstructor", s, 2);
    ASSERT_NE(e, nullptr);
    EXPECT_FLOAT_EQ(e->NoiseParameter(0).Result(), 0.7f);
    EXPECT_FLOAT_EQ(e->NoiseParameter(1).Result(), 0.2f);
    EXPECT_FLOAT_EQ(e->NoiseParameter(2).Result(), 0.6f);
    EXPECT_EQ(e->DriftDirection().Value(), 90u);
    EXPECT_FLOAT_EQ(e->DriftClock().Result(), 0.5f);
    EXPECT_EQ(e->Seed().Value(), 4242u);
    EXPECT_EQ(e->RandomFlag().Value(), 0);
    EXPECT_EQ(e->Colour2().Value(), 0x00102030u);
    EXPECT_EQ(e->Position().Value(), D3DXVECTOR3(400, 300, 0));
    EXPECT_EQ(e->Timeline().Mode().Value(), 1);

    // The clone works on axes recomputed from the stored angle.
    std::unique_ptr<Vo_ParticleSystemCtrl> clone(e->Clone());
    auto* copy = dynamic_cast<Vo_ExplosionConstructor*>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_NEAR(copy->DriftDirection().XAxis().x, 0.0f, 1e-5f);
    EXPECT_NEAR(std::fabs(copy->DriftDirection().XAxis().y), 1.0f, 1e-5f);
}

TEST(ExplosionRecords, VersionOneDurationsMakeACyclingTimeline)
{
    QueuedStream s;
    PushExplosion(s, 1);
    const auto e = ReadObjectThroughRegistry<Vo_ExplosionConstructor>(L"Vo_ExplosionConstructor", s, 1);
    ASSERT_NE(e, nullptr);
    const Vo_TimeLineControl& timeline = e->Timeline();
    EXPECT_EQ(timeline.Mode().Value(), Vo_TimeLineControl::kCycling);
    EXPECT_EQ(timeline.InvisibleMaximum().Value(), 220u);
    EXPECT_EQ(timeline.InvisibleMinimum().Value(), 220u);
    EXPECT_EQ(timeline.VisibleMaximum().Value(), 200u);
    EXPECT_EQ(timeline.VisibleMinimum().Value(), 200u);
    EXPECT_EQ(timeline.FadeIn().Value(), 40u);
    EXPECT_EQ(timeline.FadeOut().Value(), 80u);
    EXPECT_EQ(e->Seed().Value(), 4242u);
}

TEST(ExplosionDescription, ConstructorValues)
{
    Vo_ExplosionConstructor e;
    EXPECT_EQ(e.SpriteSize().Value(), 250u);
    EXPECT_EQ(e.Count().Value(), 1u);
    EXPECT_EQ(e.Speed().Value(), 100u);
    EXPECT_FLOAT_EQ(e.NoiseParameter(0).Result(), 0.79f);
    EXPECT_FLOAT_EQ(e.NoiseParameter(1).Result(), 0.15f);
    EXPECT_FLOAT_EQ(e.NoiseParameter(2).Result(), 0.42f);
    EXPECT_FLOAT_EQ(e.DriftClock().Result(), 0.25f);
    EXPECT_EQ(e.Colour2().Value(), 0u);
}
