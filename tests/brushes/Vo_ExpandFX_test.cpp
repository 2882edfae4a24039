#include <gtest/gtest.h>

#include <memory>

#include "brushes/Vo_ExpandFX.h"
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

const float kPi = 3.14159265f;

// The centre starts in the middle of the picture laid out last.
TEST(Vo_ExpandFXTest, Defaults)
{
    const KeptPicturePlacement keptPlacement;
    SetPicturePlacement(ScreenQuad(), 64, 64, 200, 100, 64, 64);
    Vo_ExpandFX expand;
    EXPECT_EQ(expand.EffectLink().GetPath(), L"common_res.dll");
    EXPECT_EQ(expand.EffectLink().GetKey().Stamp(), 102);
    EXPECT_FLOAT_EQ(expand.Speed().Result(), 1.0f);
    EXPECT_FLOAT_EQ(expand.GrowAmplitude().Result(), 0.25f);
    EXPECT_EQ(expand.ShrinkAmplitude().Value(), 0u);
    EXPECT_FLOAT_EQ(expand.ShrinkAmplitude().Scale(), 0.005f);
    EXPECT_EQ(expand.WaveMode().Value(), 0);
    EXPECT_EQ(expand.Center().Value(), D3DXVECTOR3(100, 50, 0));
}

// Mode 0 is a triangle over periods of 2 pi: -1 at whole periods, +1 half-way, linear between.
// Other modes are the sine.
TEST(Vo_ExpandFXTest, Wave)
{
    struct Case {
        int mode;
        float phase;
        float w;
    } cases[] = {
        {0, 0.0f, -1.0f},         {0, kPi / 2, 0.0f},      {0, kPi, 1.0f},  {0, 3 * kPi / 2, 0.0f},
        {0, 2 * kPi / 5, -0.2f},  {0, 8 * kPi / 5, -0.2f}, {0, 5 * kPi, 1.0f}, {0, -kPi / 2, 0.0f},
        {1, kPi / 2, 1.0f},       {1, kPi / 6, 0.5f},      {-2, 0.0f, 0.0f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(Vo_ExpandFX::Wave(c.mode, c.phase), c.w, 1e-5f) << c.mode << " at " << c.phase;
}

// The amount swings from -B to A; "amplitude" holds the growth or the shrinking, never both.
TEST(Vo_ExpandFXTest, AmountAndItsAmplitudeSplit)
{
    Vo_ExpandFX expand;
    expand.GrowAmplitude().SetValue(40);   // A = 0.2
    expand.ShrinkAmplitude().SetValue(20); // B = 0.1
    float pair[2];
    // Phase 0: the triangle's low point, the contraction extreme.
    expand.Update(0.0f);
    EXPECT_NEAR(expand.Amount(), -0.1f, 1e-6f);
    expand.AmplitudePair(pair);
    EXPECT_EQ(pair[0], 0.0f);
    EXPECT_NEAR(pair[1], 0.1f, 1e-6f);
    // Half a period on (phase pi at speed 1): the growth extreme.
    float time = 0.0f;
    while (time < kPi - 0.1f)
        expand.Update(time += 0.1f);
    expand.Update(kPi);
    ASSERT_NEAR(expand.Phase(), kPi, 1e-5f);
    EXPECT_NEAR(expand.Amount(), 0.2f, 1e-5f);
    expand.AmplitudePair(pair);
    EXPECT_NEAR(pair[0], 0.2f, 1e-5f);
    EXPECT_EQ(pair[1], 0.0f);

    // Equal amplitudes at the triangle's middle give an amount of exactly 0: (0, 0).
    Vo_ExpandFX still;
    still.GrowAmplitude().SetValue(0);
    still.Update(0.0f);
    EXPECT_EQ(still.Amount(), 0.0f);
    still.AmplitudePair(pair);
    EXPECT_EQ(pair[0], 0.0f);
    EXPECT_EQ(pair[1], 0.0f);

    // Faded out, the amount is 0.
    expand.Timeline().Mode().ValueRef() = Vo_TimeLineControl::kIntervals;
    expand.Update(kPi + 0.1f);
    EXPECT_EQ(expand.Amount(), 0.0f);
}

// The brush's fields, then the centre-based record with the centre, then the common record.
TEST(Vo_ExpandFXTest, RecordThroughTheRegistry)
{
    QueuedStream stream;
    stream.Push(QueuedStream::UInt{80}).Push(QueuedStream::UInt{30}).Push(QueuedStream::Long{1});
    PushCentralRecord(stream, 300.5f, 120.25f, 7.0f);
    PushFxRecord(stream, 3, 60, 0, L"common_res.dll", 102, 50);
    std::unique_ptr<Vo_ExpandFX> read = ReadObjectThroughRegistry<Vo_ExpandFX>(L"Vo_ExpandFX", stream, 1);
    ASSERT_TRUE(read);
    Vo_ExpandFX* expand = read.get();
    EXPECT_FLOAT_EQ(expand->GrowAmplitude().Result(), 0.4f);
    EXPECT_FLOAT_EQ(expand->ShrinkAmplitude().Result(), 0.15f);
    EXPECT_EQ(expand->WaveMode().Value(), 1);
    EXPECT_EQ(expand->Center().Value(), D3DXVECTOR3(300.5f, 120.25f, 7.0f));
    EXPECT_FLOAT_EQ(expand->Speed().Result(), 1.2f);

    std::unique_ptr<Vo_FX_Constructor> clone(expand->Clone());
    auto* copy = static_cast<Vo_ExpandFX*>(clone.get());
    EXPECT_EQ(copy->Center().Value(), D3DXVECTOR3(300.5f, 120.25f, 7.0f));
    EXPECT_FLOAT_EQ(copy->ShrinkAmplitude().Result(), 0.15f);
}

// The centre over the placed picture's size; a picture without a size gives 0, not infinity.
TEST(Vo_ExpandFXTest, CenterInPicture)
{
    const KeptPicturePlacement keptPlacement;
    Vo_ExpandFX expand;
    expand.Center().ValueRef() = D3DXVECTOR3(50, 30, 0);
    SetPicturePlacement(ScreenQuad(), 64, 64, 200, 120, 64, 64);
    EXPECT_FLOAT_EQ(expand.CenterInPicture().x, 0.25f);
    EXPECT_FLOAT_EQ(expand.CenterInPicture().y, 0.25f);
    SetPicturePlacement(ScreenQuad(), 0, 0, 0, 0, 64, 64);
    EXPECT_EQ(expand.CenterInPicture().x, 0.0f);
    EXPECT_EQ(expand.CenterInPicture().y, 0.0f);
}

using Vo_ExpandFXDeviceTest = DeviceFixture;

TEST_F(Vo_ExpandFXDeviceTest, RenderValues)
{
    ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), "expand");
    ASSERT_TRUE(effect);
    SetPicturePlacement(ScreenQuad(), 64, 64, 400, 200, 64, 64);
    WithGivenEffect<Vo_ExpandFX> expand;
    expand.GiveEffect(effect.Get());
    expand.Center().ValueRef() = D3DXVECTOR3(100, 150, 0);
    expand.ShrinkAmplitude().SetValue(10);
    expand.Update(0.0f);
    RecordingLayer layer(64, 64);
    expand.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 1u);
    EXPECT_EQ(layer.draws[0].technique, "Main");
    float amplitude[2], center[2];
    effect->GetFloatArray("amplitude", amplitude, 2);
    effect->GetFloatArray("center", center, 2);
    EXPECT_EQ(amplitude[0], 0.0f);
    EXPECT_NEAR(amplitude[1], 0.05f, 1e-6f);
    EXPECT_FLOAT_EQ(center[0], 0.25f);
    EXPECT_FLOAT_EQ(center[1], 0.75f);
}

// Before any layout, and on a layer without a picture size, nothing sent is infinite: the
// centre is 0 and the picture counts as square.
TEST_F(Vo_ExpandFXDeviceTest, NoPictureSizeSendsNoInfinity)
{
    ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), "expand");
    ASSERT_TRUE(effect);
    SetPicturePlacement(ScreenQuad(), 0, 0, 0, 0, 64, 64);
    WithGivenEffect<Vo_ExpandFX> expand;
    expand.GiveEffect(effect.Get());
    expand.Update(0.1f);
    RecordingLayer layer(0, 0);
    expand.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 1u);
    float center[2], scale[2];
    effect->GetFloatArray("center", center, 2);
    effect->GetFloatArray("Scale", scale, 2);
    EXPECT_EQ(center[0], 0.0f);
    EXPECT_EQ(center[1], 0.0f);
    EXPECT_FLOAT_EQ(scale[0], 1.0f);
    EXPECT_FLOAT_EQ(scale[1], 1.0f);
}

}  // namespace
