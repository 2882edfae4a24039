#include <gtest/gtest.h>

#include <memory>

#include "brushes/Vo_WavesFX.h"
#include "model/ClassReaderRegistries.h"
#include "runtime/Vo_TimeLineControl.h"
#include "support/DeviceFixture.h"
#include "support/RegistryReading.h"
#include "support/BrushTesting.h"
#include "support/EffectTesting.h"

using namespace brush_testing;

namespace {

TEST(Vo_WavesFXTest, Defaults)
{
    Vo_WavesFX waves;
    EXPECT_EQ(waves.EffectLink().GetPath(), L"common_res.dll");
    EXPECT_EQ(waves.EffectLink().GetKey().Stamp(), 77);
    EXPECT_FLOAT_EQ(waves.Speed().Result(), 25.0f);
    EXPECT_FLOAT_EQ(waves.Amplitude().Result(), 0.0125f);
    EXPECT_FLOAT_EQ(waves.WaveLength().Result(), 0.026f);
    EXPECT_FLOAT_EQ(waves.Direction().x, 1.0f);
    EXPECT_NEAR(waves.DisplacementAxis().x, 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(waves.DisplacementAxis().y, 1.0f);
}

// The registry reads name and version; the reader reads the brush's fields and its base record.
// Reading stores the angle and flag without recomputing the vectors; the clone recomputes them.
TEST(Vo_WavesFXTest, RecordThroughTheRegistry)
{
    QueuedStream stream;
    stream.Push(QueuedStream::UInt{80}).Push(QueuedStream::UInt{100});
    stream.Push(QueuedStream::UInt{90}).Push(QueuedStream::Long{1});
    PushFxRecord(stream, 3, 30, 0, L"common_res.dll", 77, 60);
    std::unique_ptr<Vo_WavesFX> read = ReadObjectThroughRegistry<Vo_WavesFX>(L"Vo_WavesFX", stream, 1);
    ASSERT_TRUE(read);
    Vo_WavesFX* waves = read.get();
    EXPECT_FLOAT_EQ(waves->Amplitude().Result(), 0.02f);
    EXPECT_FLOAT_EQ(waves->WaveLength().Result(), 0.051f);
    EXPECT_EQ(waves->Angle().Value(), 90u);
    EXPECT_FLOAT_EQ(waves->Direction().x, 1.0f) << "reading does not recompute";

    std::unique_ptr<Vo_FX_Constructor> clone(waves->Clone());
    auto* copy = static_cast<Vo_WavesFX*>(clone.get());
    EXPECT_NEAR(copy->Direction().x, 0.0f, 1e-6f);
    EXPECT_NEAR(copy->Direction().y, -1.0f, 1e-6f);
    EXPECT_NEAR(copy->DisplacementAxis().x, 0.0f, 1e-6f);  // longitudinal: reversed direction
    EXPECT_NEAR(copy->DisplacementAxis().y, 1.0f, 1e-6f);
}

// Changing the flag alone turns the displacement axis and leaves the direction.
TEST(Vo_WavesFXTest, FlagTurnsOnlyTheAxis)
{
    Vo_WavesFX waves;
    waves.Longitudinal().SetValue(1);
    EXPECT_FLOAT_EQ(waves.Direction().x, 1.0f);
    EXPECT_NEAR(waves.DisplacementAxis().x, -1.0f, 1e-6f);
    EXPECT_NEAR(waves.DisplacementAxis().y, 0.0f, 1e-6f);
    waves.Angle().SetValue(90);
    EXPECT_NEAR(waves.Direction().y, -1.0f, 1e-6f);
}

// The two vectors of the runtime clone over angle and flag, as the brush hands them to its effect:
// "direction" is the negated direction, "direction_n" the displacement axis.
TEST(Vo_WavesFXTest, CloneVectorsOverAngleAndFlag)
{
    struct Case {
        unsigned angle;
        int longitudinal;
        float direction[2];
        float axis[2];
    } cases[] = {
        {0, 0, {-1, 0}, {0, 1}},  {0, 1, {-1, 0}, {-1, 0}},   {90, 0, {0, 1}, {1, 0}},
        {90, 1, {0, 1}, {0, 1}},  {270, 0, {0, -1}, {-1, 0}}, {450, 0, {0, 1}, {1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.angle << " " << c.longitudinal);
        Vo_WavesFX waves;
        waves.Angle().ValueRef() = c.angle;
        waves.Longitudinal().ValueRef() = c.longitudinal;
        std::unique_ptr<Vo_FX_Constructor> clone(waves.Clone());
        auto* copy = static_cast<Vo_WavesFX*>(clone.get());
        EXPECT_NEAR(-copy->Direction().x, c.direction[0], 1e-6f);
        EXPECT_NEAR(-copy->Direction().y, c.direction[1], 1e-6f);
        EXPECT_NEAR(copy->DisplacementAxis().x, c.axis[0], 1e-6f);
        EXPECT_NEAR(copy->DisplacementAxis().y, c.axis[1], 1e-6f);
    }
}

using Vo_WavesFXDeviceTest = DeviceFixture;

// What the brush hands its effect: the negated direction, the axis, 1 / wave length, the faded
// amplitude and the phase x 0.08.
TEST_F(Vo_WavesFXDeviceTest, RenderValues)
{
    ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), "waves");
    ASSERT_TRUE(effect);
    WithGivenEffect<Vo_WavesFX> waves;
    waves.GiveEffect(effect.Get());
    waves.Angle().SetValue(90);
    waves.Update(0.1f);  // phase 2.5
    RecordingLayer layer(64, 64);
    waves.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 1u);
    EXPECT_EQ(layer.draws[0].technique, "Main");
    float direction[2], axis[2], value = 0;
    effect->GetFloatArray("direction", direction, 2);
    effect->GetFloatArray("direction_n", axis, 2);
    EXPECT_NEAR(direction[0], 0.0f, 1e-6f);
    EXPECT_NEAR(direction[1], 1.0f, 1e-6f);
    EXPECT_NEAR(axis[0], 1.0f, 1e-6f);
    EXPECT_NEAR(axis[1], 0.0f, 1e-6f);
    effect->GetFloat("frequency", &value);
    EXPECT_NEAR(value, 1 / 0.026f, 1e-3f);
    effect->GetFloat("amplitude", &value);
    EXPECT_NEAR(value, 0.0125f, 1e-7f);
    effect->GetFloat("time", &value);
    EXPECT_NEAR(value, 0.2f, 1e-6f);

    // Faded out (an interval timeline outside its intervals): the amplitude is 0 and the pass is
    // still drawn.
    waves.Timeline().Mode().ValueRef() = Vo_TimeLineControl::kIntervals;
    ASSERT_EQ(waves.Timeline().GetFadeFactor(), 0.0f);
    waves.Render(&layer);
    EXPECT_EQ(layer.draws.size(), 2u);
    effect->GetFloat("amplitude", &value);
    EXPECT_EQ(value, 0.0f);
}

}  // namespace
