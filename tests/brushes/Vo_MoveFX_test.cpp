#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "brushes/Vo_MoveFX.h"
#include "model/ClassReaderRegistries.h"
#include "runtime/Vo_TimeLineControl.h"
#include "support/DeviceFixture.h"
#include "support/RegistryReading.h"
#include "support/BrushTesting.h"
#include "support/EffectTesting.h"

using namespace brush_testing;

namespace {

const float kPi = 3.14159265f;

std::unique_ptr<Vo_MoveFX> ReadMove(QueuedStream& stream, int32_t version)
{
    return ReadObjectThroughRegistry<Vo_MoveFX>(L"Vo_MoveFX", stream, version);
}

TEST(Vo_MoveFXTest, Defaults)
{
    Vo_MoveFX move;
    EXPECT_EQ(move.EffectLink().GetPath(), L"common_res.dll");
    EXPECT_EQ(move.EffectLink().GetKey().Stamp(), 91);
    EXPECT_FLOAT_EQ(move.Speed().Result(), 1.0f);
    EXPECT_FLOAT_EQ(move.AmplitudeA().Result(), 0.01f);
    EXPECT_EQ(move.AmplitudeB().Value(), 0u);
    EXPECT_FLOAT_EQ(move.AmplitudeB().Scale(), 0.0002f);
    EXPECT_EQ(move.WaveMode().Value(), 0);
    EXPECT_EQ(move.Shift()[0], 0.0f);
}

// In sine mode the swing runs from -A (sine 1) to +B (sine -1) and starts at -(A - B) / 2. With
// noise (mode 1) the wave is one octave of noise at 50 x phase / 75: at phase 0 the lattice value
// -0.2817910, at phase 1.5 the lattice value at 1, -0.2263731.
TEST(Vo_MoveFXTest, SwingBetweenMinusAAndPlusB)
{
    const float a = 0.03f, b = 0.01f;
    struct Case {
        float phase;
        int mode;
        float swing;
    } cases[] = {
        {0.0f, 0, -(a - b) / 2},
        {kPi / 2, 0, -a},
        {3 * kPi / 2, 0, b},
        {kPi / 6, 2, -(0.5f * (a + b) / 2 + (a - b) / 2)},  // any mode but 1 is the sine
        {0.0f, 1, -(-0.2817910f * (a + b) / 2 + (a - b) / 2)},
        {1.5f, 1, -(-0.2263731f * (a + b) / 2 + (a - b) / 2)},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(Vo_MoveFX::SwingAt(c.phase, a, b, c.mode), c.swing, 1e-6f) << c.phase << " mode " << c.mode;
}

// Version 2 reads amplitude B; the direction-based and common records follow.
TEST(Vo_MoveFXTest, Version2Record)
{
    QueuedStream stream;
    stream.Push(QueuedStream::Long{1}).Push(QueuedStream::UInt{30});
    PushDirectionRecord(stream, 100, 90);
    PushFxRecord(stream, 3, 40, 0, L"common_res.dll", 91, 50);
    std::unique_ptr<Vo_MoveFX> move = ReadMove(stream, 2);
    ASSERT_TRUE(move);
    EXPECT_EQ(move->WaveMode().Value(), 1);
    EXPECT_FLOAT_EQ(move->AmplitudeB().Result(), 0.006f);
    EXPECT_FLOAT_EQ(move->AmplitudeA().Result(), 0.02f);
    EXPECT_EQ(move->Angle().Value(), 90u);
    EXPECT_EQ(move->Speed().Value(), 40u);
}

// A version 1 record has no amplitude B: B takes A's raw value, scale and offset, so the image
// swings as far to both sides.
TEST(Vo_MoveFXTest, Version1RecordSwingsSymmetrically)
{
    QueuedStream stream;
    stream.Push(QueuedStream::Long{0});
    PushDirectionRecord(stream, 100, 0);
    PushFxRecord(stream, 2, 50, 0, L"common_res.dll", 91, 50);
    std::unique_ptr<Vo_MoveFX> move = ReadMove(stream, 1);
    ASSERT_TRUE(move);
    EXPECT_EQ(move->AmplitudeB().Value(), 100u);
    EXPECT_FLOAT_EQ(move->AmplitudeB().Scale(), move->AmplitudeA().Scale());
    EXPECT_FLOAT_EQ(move->AmplitudeB().Result(), 0.02f);
    const float a = move->AmplitudeA().Result(), b = move->AmplitudeB().Result();
    EXPECT_NEAR(Vo_MoveFX::SwingAt(kPi / 2, a, b, 0), -0.02f, 1e-7f);
    EXPECT_NEAR(Vo_MoveFX::SwingAt(3 * kPi / 2, a, b, 0), 0.02f, 1e-7f);
    EXPECT_NEAR(Vo_MoveFX::SwingAt(0.0f, a, b, 0), 0.0f, 1e-7f);
}

// The runtime clone's shift: the swing along the stored angle's direction, times the fade.
TEST(Vo_MoveFXTest, ShiftAlongTheDirectionFades)
{
    Vo_MoveFX description;
    description.Angle().ValueRef() = 90;  // as a record stores it: the direction is not recomputed
    description.AmplitudeB().SetValue(25);
    std::unique_ptr<Vo_FX_Constructor> clone(description.Clone());
    auto* move = static_cast<Vo_MoveFX*>(clone.get());
    float time = 0.0f;
    while (move->Phase() < 1.0f)
        move->Update(time += 0.1f);
    const float phase = move->Phase();
    const float swing = -(std::sin(phase) * (0.01f + 0.005f) / 2 + (0.01f - 0.005f) / 2);
    EXPECT_NEAR(move->Shift()[0], 0.0f, 1e-7f);
    EXPECT_NEAR(move->Shift()[1], -swing, 1e-6f);  // angle 90: direction (0, -1)

    move->Timeline().Mode().ValueRef() = Vo_TimeLineControl::kIntervals;
    ASSERT_EQ(move->Timeline().GetFadeFactor(), 0.0f);
    move->Update(time + 0.1f);
    EXPECT_EQ(move->Shift()[0], 0.0f);
    EXPECT_EQ(move->Shift()[1], 0.0f);
}

using Vo_MoveFXDeviceTest = DeviceFixture;

// The brush hands its shift to "Direction" and draws with the common step.
TEST_F(Vo_MoveFXDeviceTest, RenderValues)
{
    ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), "move");
    ASSERT_TRUE(effect);
    WithGivenEffect<Vo_MoveFX> move;
    move.GiveEffect(effect.Get());
    move.Update(0.2f);
    RecordingLayer layer(64, 64);
    move.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 1u);
    EXPECT_EQ(layer.draws[0].technique, "Main");
    float direction[2] = {};
    effect->GetFloatArray("Direction", direction, 2);
    EXPECT_FLOAT_EQ(direction[0], move.Shift()[0]);
    EXPECT_NE(direction[0], 0.0f);
    EXPECT_FLOAT_EQ(direction[1], move.Shift()[1]);
}

}  // namespace
