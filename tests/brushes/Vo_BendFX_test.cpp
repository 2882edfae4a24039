#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "brushes/Vo_BendFX.h"
#include "model/ClassReaderRegistries.h"
#include "model/CurrentDevice.h"
#include "runtime/PicturePlacement.h"
#include "runtime/Vo_TimeLineControl.h"
#include "support/CurrentDeviceFixture.h"
#include "support/DeviceFixture.h"
#include "support/RegistryReading.h"
#include "support/BrushTesting.h"
#include "support/EffectTesting.h"

using namespace brush_testing;

namespace {

const float kPi = 3.14159265f;

// The swing e = sin(phase) (A + B) / 2 + (A - B) / 2 runs from -B to A. Noise mode 1 stirs it:
// e + e sin(n), n being three octaves of noise at 50 x phase / 75, worked from the lattice values
// value(0) = -0.2817910, value(1) = -0.2263731, value(2) = 0.2936329, value(4) = 0.5857607.
TEST(Vo_BendFXTest, BendAngleWithAndWithoutNoise)
{
    const float a = 0.3f, b = 0.1f;
    const float atZero = (a - b) / 2;
    const float atOneHalf = std::sin(1.5f) * (a + b) / 2 + (a - b) / 2;
    struct Case {
        float phase;
        int mode;
        float angle;
    } cases[] = {
        {kPi / 2, 0, a},
        {3 * kPi / 2, 0, -b},
        {0.0f, 0, atZero},
        {kPi / 2, 2, a},  // only mode 1 adds noise
        {0.0f, 1, atZero + atZero * std::sin(-0.2817910f * 1.75f)},
        {1.5f, 1, atOneHalf + atOneHalf * std::sin(-0.2263731f + 0.2936329f / 2 + 0.5857607f / 4)},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(Vo_BendFX::BendAngleAt(c.phase, a, b, c.mode), c.angle, 1e-6f) << c.phase << " mode " << c.mode;
}

TEST(Vo_BendFXTest, RecordThroughTheRegistry)
{
    QueuedStream stream;
    stream.Push(QueuedStream::UInt{100}).Push(QueuedStream::UInt{50}).Push(QueuedStream::UInt{150});
    stream.Push(QueuedStream::Long{1});
    PushCentralRecord(stream, 12.0f, 34.0f, 0.0f);
    PushFxRecord(stream, 3, 50, 1, L"effects.dll", 9, 50);
    std::unique_ptr<Vo_BendFX> read = ReadObjectThroughRegistry<Vo_BendFX>(L"Vo_BendFX", stream, 1);
    ASSERT_TRUE(read);
    Vo_BendFX* bend = read.get();
    EXPECT_FLOAT_EQ(bend->AmplitudeA().Result(), 0.2f);
    EXPECT_FLOAT_EQ(bend->AmplitudeB().Result(), 0.1f);
    EXPECT_FLOAT_EQ(bend->Strength().Result(), 3.0f);
    EXPECT_EQ(bend->NoiseMode().Value(), 1);
    EXPECT_FLOAT_EQ(bend->Speed().Result(), 1.0f);
    EXPECT_EQ(bend->Center().Value(), D3DXVECTOR3(12, 34, 0));
    EXPECT_EQ(bend->EffectLink().GetKey().Stamp(), 9);
    // The region of the common record: corners (1, 11, 21), (31, 41, 51), ...
    EXPECT_EQ(bend->Region().Corner(1).Value().x, 31.0f);

    std::unique_ptr<Vo_FX_Constructor> clone(bend->Clone());
    auto* copy = static_cast<Vo_BendFX*>(clone.get());
    copy->Update(0.1f);
    EXPECT_NEAR(copy->BendAngle(), Vo_BendFX::BendAngleAt(0.1f, 0.2f, 0.1f, 1), 1e-7f);
}

using Vo_BendFXDeviceTest = CurrentDeviceFixture;

// Loading builds the 2 x 2 grid over the region. "Main" draws that grid, "MainFX" the picture
// quad; the parameters are the centre, the four-value scale, the faded angle and the strength.
TEST_F(Vo_BendFXDeviceTest, GridAndRenderValues)
{
    ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), "bend");
    ASSERT_TRUE(effect);
    SetPicturePlacement(ScreenQuad(), 64, 64, 200, 100, 64, 64);
    {
        WithGivenEffect<Vo_BendFX> bend;
        const D3DXVECTOR3 corners[4] = {{0, 100, 0}, {0, 0, 0}, {200, 100, 0}, {200, 0, 0}};
        for (int i = 0; i < 4; ++i)
            bend.Region().Corner(i).SetValue(corners[i]);
        bend.LoadResources(nullptr);
        EXPECT_EQ(bend.Grid().columns, 2);
        EXPECT_EQ(bend.Grid().IndexedPrimitiveCount(), 8u);
        bend.GiveEffect(effect.Get());
        bend.AmplitudeA().SetValue(250);  // 0.5
        bend.Strength().SetValue(100);    // 2
        bend.Center().ValueRef() = D3DXVECTOR3(50, 75, 0);
        bend.Speed().SetValue(50);
        bend.Update(0.1f);
        RecordingLayer layer(200, 100);
        bend.Render(&layer);
        ASSERT_EQ(layer.draws.size(), 1u);
        EXPECT_TRUE(layer.draws[0].indexed);
        EXPECT_EQ(layer.draws[0].technique, "Main");
        float center[2], scale[4], value = 0;
        effect->GetFloatArray("Center", center, 2);
        EXPECT_FLOAT_EQ(center[0], 0.25f);
        EXPECT_FLOAT_EQ(center[1], 0.75f);
        effect->GetFloatArray("Scale", scale, 4);
        EXPECT_FLOAT_EQ(scale[0], 2.0f);  // aspect 2, scale 1
        EXPECT_FLOAT_EQ(scale[2], 0.5f);
        effect->GetFloat("Angle", &value);
        EXPECT_NEAR(value, std::sin(0.1f) * 0.25f + 0.25f, 1e-6f);
        effect->GetFloat("Bend", &value);
        EXPECT_FLOAT_EQ(value, 2.0f);

        bend.TechniqueFlag().ValueRef() = 1;
        bend.Timeline().Mode().ValueRef() = Vo_TimeLineControl::kIntervals;
        bend.Render(&layer);
        ASSERT_EQ(layer.draws.size(), 2u);
        EXPECT_FALSE(layer.draws[1].indexed);
        EXPECT_EQ(layer.draws[1].technique, "MainFX");
        effect->GetFloat("Angle", &value);
        EXPECT_EQ(value, 0.0f);
    }
}

}  // namespace
