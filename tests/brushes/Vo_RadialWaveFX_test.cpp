#include <gtest/gtest.h>

#include <memory>

#include "brushes/Vo_RadialWaveFX.h"
#include "model/ClassReaderRegistries.h"
#include "runtime/PicturePlacement.h"
#include "runtime/Vo_TimeLineControl.h"
#include "support/DeviceFixture.h"
#include "support/KeptPicturePlacement.h"
#include "support/RegistryReading.h"
#include "support/BrushTesting.h"
#include "support/EffectTesting.h"

using namespace brush_testing;

namespace {

std::unique_ptr<Vo_RadialWaveFX> ReadRadial(QueuedStream& stream, int32_t version)
{
    return ReadObjectThroughRegistry<Vo_RadialWaveFX>(L"Vo_RadialWaveFX", stream, version);
}

// A version 1 record has no own fields: amplitude 0.0125, wave length 0.006 (frequency 166.7) and
// ring scale 75 stay. The rings' aspect comes from the layer's picture (300 x 200 here), the
// centre from the picture laid out last (400 x 100), so the two sizes differ on purpose.
TEST(Vo_RadialWaveFXTest, Version1RecordKeepsTheDefaults)
{
    const KeptPicturePlacement keptPlacement;
    QueuedStream stream;
    PushCentralRecord(stream, 100.0f, 75.0f, 0.0f);
    PushFxRecord(stream, 3, 50, 0, L"common_res.dll", 103, 50);
    std::unique_ptr<Vo_RadialWaveFX> radial = ReadRadial(stream, 1);
    ASSERT_TRUE(radial);
    EXPECT_EQ(radial->EffectLink().GetKey().Stamp(), 103);
    EXPECT_FLOAT_EQ(radial->Speed().Result(), 50.0f);
    EXPECT_FLOAT_EQ(radial->Amplitude().Result(), 0.0125f);
    EXPECT_FLOAT_EQ(radial->WaveLength().Result(), 0.006f);
    EXPECT_FLOAT_EQ(radial->RingScale().Result(), 75.0f);
    EXPECT_EQ(radial->DirectionMode().Value(), 0);

    SetPicturePlacement(ScreenQuad(), 64, 64, 400, 100, 64, 64);
    radial->Update(0.1f);  // phase 5
    const Vo_RadialWaveFX::EffectValues values = radial->ValuesFor(300, 200);
    EXPECT_EQ(values.bgScaleFactor[0], 1.0f);
    EXPECT_FLOAT_EQ(values.bgScaleFactor[1], 200.0f / 300.0f);
    EXPECT_FLOAT_EQ(values.center[0], 0.25f);
    EXPECT_FLOAT_EQ(values.center[1], 0.75f);
    EXPECT_NEAR(values.frequency, 166.667f, 1e-3f);
    EXPECT_FLOAT_EQ(values.amplitude, 0.0125f);
    EXPECT_FLOAT_EQ(values.time, -0.4f);  // rings run outwards: -0.08 x phase
}

// Version 2 reads amplitude, wave length, ring scale and direction mode first.
TEST(Vo_RadialWaveFXTest, Version2Record)
{
    const KeptPicturePlacement keptPlacement;
    QueuedStream stream;
    stream.Push(QueuedStream::UInt{100}).Push(QueuedStream::UInt{90}).Push(QueuedStream::UInt{125});
    stream.Push(QueuedStream::Long{3});
    PushCentralRecord(stream, 10.0f, 20.0f, 0.0f);
    PushFxRecord(stream, 3, 25, 0, L"common_res.dll", 103, 50);
    std::unique_ptr<Vo_RadialWaveFX> radial = ReadRadial(stream, 2);
    ASSERT_TRUE(radial);
    EXPECT_FLOAT_EQ(radial->Amplitude().Result(), 0.025f);
    EXPECT_FLOAT_EQ(radial->WaveLength().Result(), 0.01f);
    EXPECT_FLOAT_EQ(radial->RingScale().Result(), 150.0f);
    EXPECT_EQ(radial->DirectionMode().Value(), 3);

    std::unique_ptr<Vo_FX_Constructor> clone(radial->Clone());
    auto* copy = static_cast<Vo_RadialWaveFX*>(clone.get());
    copy->Update(0.1f);  // phase 2.5
    SetPicturePlacement(ScreenQuad(), 64, 64, 100, 100, 64, 64);
    const Vo_RadialWaveFX::EffectValues values = copy->ValuesFor(400, 300);
    EXPECT_FLOAT_EQ(values.bgScaleFactor[1], 0.5f * 300.0f / 400.0f);  // 75 / 150, then x H / W
    EXPECT_FLOAT_EQ(values.frequency, 100.0f);
    EXPECT_FLOAT_EQ(values.time, 0.2f);  // a non-zero mode runs the rings inwards: +0.08 x phase
    EXPECT_FLOAT_EQ(values.center[0], 0.1f);

    // Faded out: no amplitude. A layer without a picture size gives round rings, not infinity.
    copy->Timeline().Mode().ValueRef() = Vo_TimeLineControl::kIntervals;
    const Vo_RadialWaveFX::EffectValues faded = copy->ValuesFor(0, 0);
    EXPECT_EQ(faded.amplitude, 0.0f);
    EXPECT_FLOAT_EQ(faded.bgScaleFactor[1], 0.5f);
}

using Vo_RadialWaveFXDeviceTest = DeviceFixture;

TEST_F(Vo_RadialWaveFXDeviceTest, RenderValues)
{
    ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), "radialwave");
    ASSERT_TRUE(effect);
    SetPicturePlacement(ScreenQuad(), 64, 64, 400, 100, 64, 64);
    WithGivenEffect<Vo_RadialWaveFX> radial;
    radial.GiveEffect(effect.Get());
    radial.Center().ValueRef() = D3DXVECTOR3(200, 25, 0);
    radial.Update(0.1f);
    RecordingLayer layer(300, 200);
    radial.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 1u);
    EXPECT_EQ(layer.draws[0].technique, "Main");
    float factor[2], center[2], value = 0;
    effect->GetFloatArray("bg_scale_factor", factor, 2);
    EXPECT_FLOAT_EQ(factor[1], 200.0f / 300.0f);
    effect->GetFloatArray("center", center, 2);
    EXPECT_FLOAT_EQ(center[0], 0.5f);
    EXPECT_FLOAT_EQ(center[1], 0.25f);
    effect->GetFloat("time", &value);
    EXPECT_FLOAT_EQ(value, -0.4f);
    effect->GetFloat("amplitude", &value);
    EXPECT_FLOAT_EQ(value, 0.0125f);
}

}  // namespace
