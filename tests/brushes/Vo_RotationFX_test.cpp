#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "brushes/Vo_RotationFX.h"
#include "model/ClassReaderRegistries.h"
#include "runtime/PicturePlacement.h"
#include "runtime/Vo_TimeLineControl.h"
#include "support/DeviceFixture.h"
#include "support/RegistryReading.h"
#include "support/BrushTesting.h"
#include "support/EffectTesting.h"

using namespace brush_testing;

namespace {

// The local time follows the opacity; the effect comes from the record.
TEST(Vo_RotationFXTest, Defaults)
{
    Vo_RotationFX rotation;
    EXPECT_EQ(rotation.Timeline().TimeMode().Value(), Vo_TimeLineControl::kTimeModeFollowsOpacity);
    EXPECT_FLOAT_EQ(rotation.Speed().Scale(), 0.005f);
    EXPECT_FLOAT_EQ(rotation.EllipseRatio().Scale(), 0.001f);
    EXPECT_TRUE(rotation.EffectLink().GetPath().empty());
    EXPECT_EQ(rotation.Angle(), 0.0f);
}

// Tilt 0 passes M itself: the rotation with _12 times k and _21 over k. Tilt 90 turns the
// ellipse a quarter: k and 1 / k trade places.
TEST(Vo_RotationFXTest, CoordTransformForTilt0And90)
{
    const float a = 0.5f, k = 0.25f;
    const float c = std::cos(a), s = std::sin(a);
    struct Case {
        unsigned tilt;
        float t[4];
    } cases[] = {
        {0, {c, s * k, -s / k, c}},
        {90, {c, s / k, -s * k, c}},
        {360, {c, s * k, -s / k, c}},
    };
    for (const Case& test : cases) {
        float t[4];
        Vo_RotationFX::CoordTransform(a, k, test.tilt, t);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(t[i], test.t[i], 2e-6f) << "tilt " << test.tilt << " entry " << i;
    }
    // A plain rotation (k = 1) is the same at every tilt.
    float t[4];
    Vo_RotationFX::CoordTransform(a, 1.0f, 37, t);
    EXPECT_NEAR(t[0], c, 1e-6f);
    EXPECT_NEAR(t[1], s, 1e-6f);
    EXPECT_NEAR(t[2], -s, 1e-6f);
    EXPECT_NEAR(t[3], c, 1e-6f);
}

TEST(Vo_RotationFXTest, RecordAndTheTurn)
{
    QueuedStream stream;
    stream.Push(QueuedStream::UInt{500}).Push(QueuedStream::UInt{30}).Push(QueuedStream::Long{1});
    PushCentralRecord(stream, 64.0f, 32.0f, 0.0f);
    PushFxRecord(stream, 3, 200, 0, L"effects.dll", 4, 50);
    std::unique_ptr<Vo_RotationFX> read = ReadObjectThroughRegistry<Vo_RotationFX>(L"Vo_RotationFX", stream, 1);
    ASSERT_TRUE(read);
    Vo_RotationFX* rotation = read.get();
    EXPECT_FLOAT_EQ(rotation->EllipseRatio().Result(), 0.5f);
    EXPECT_EQ(rotation->Tilt().Value(), 30u);
    EXPECT_EQ(rotation->Reverse().Value(), 1);
    EXPECT_EQ(rotation->EffectLink().GetPath(), L"effects.dll");
    EXPECT_EQ(rotation->EffectLink().GetKey().Stamp(), 4);
    EXPECT_FLOAT_EQ(rotation->Speed().Result(), 1.0f);

    // Reversed: the angle is minus the phase.
    std::unique_ptr<Vo_FX_Constructor> clone(rotation->Clone());
    auto* copy = static_cast<Vo_RotationFX*>(clone.get());
    copy->Update(0.15f);
    EXPECT_FLOAT_EQ(copy->Angle(), -0.15f);
    copy->Reverse().SetValue(0);
    copy->Update(0.2f);
    EXPECT_FLOAT_EQ(copy->Angle(), 0.2f);
}

using Vo_RotationFXDeviceTest = DeviceFixture;

// What the brush hands its effect, and the mix colour's alpha: the fade only in time mode 1.
TEST_F(Vo_RotationFXDeviceTest, RenderValues)
{
    ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), "rotation");
    ASSERT_TRUE(effect);
    SetPicturePlacement(ScreenQuad(), 64, 64, 200, 100, 64, 64);
    WithGivenEffect<Vo_RotationFX> rotation;
    rotation.GiveEffect(effect.Get());
    rotation.Speed().SetValue(200);
    rotation.EllipseRatio().SetValue(1000);
    rotation.Center().ValueRef() = D3DXVECTOR3(50, 75, 0);
    rotation.Update(0.1f);
    RecordingLayer layer(64, 64);
    rotation.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 1u);
    EXPECT_EQ(layer.draws[0].technique, "Main");
    float t[4], offset[2], mix[4];
    effect->GetFloatArray("coord_transf", t, 4);
    EXPECT_NEAR(t[0], std::cos(0.1f), 1e-6f);
    EXPECT_NEAR(t[1], std::sin(0.1f), 1e-6f);
    EXPECT_NEAR(t[2], -std::sin(0.1f), 1e-6f);
    effect->GetFloatArray("offset", offset, 2);
    EXPECT_FLOAT_EQ(offset[0], -0.25f);
    EXPECT_FLOAT_EQ(offset[1], -0.75f);
    effect->GetFloatArray("mix_color", mix, 4);
    EXPECT_EQ(mix[0], 1.0f);
    EXPECT_EQ(mix[3], 1.0f);

    // Faded out: time mode 1 sends the fade as the alpha; time mode 2 keeps 1.
    rotation.Timeline().Mode().ValueRef() = Vo_TimeLineControl::kIntervals;
    ASSERT_EQ(rotation.Timeline().GetFadeFactor(), 0.0f);
    rotation.Render(&layer);
    effect->GetFloatArray("mix_color", mix, 4);
    EXPECT_EQ(mix[3], 1.0f);
    rotation.Timeline().TimeMode().ValueRef() = 1;
    rotation.Render(&layer);
    effect->GetFloatArray("mix_color", mix, 4);
    EXPECT_EQ(mix[3], 0.0f);
    EXPECT_EQ(layer.draws.size(), 3u);
}

// An ellipse ratio of 0 would divide by 0: the brush draws nothing and, as a full-image effect,
// does not ask the layer for the image drawn so far.
TEST_F(Vo_RotationFXDeviceTest, RatioZeroSkipsTheDraw)
{
    ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), "rotation");
    ASSERT_TRUE(effect);
    WithGivenEffect<Vo_RotationFX> rotation;
    rotation.GiveEffect(effect.Get());
    rotation.TechniqueFlag().ValueRef() = 1;
    rotation.Update(0.1f);
    RecordingLayer layer(64, 64);
    rotation.Render(&layer);
    EXPECT_TRUE(layer.draws.empty());
    EXPECT_FALSE(rotation.CanDraw());
    rotation.EllipseRatio().SetValue(500);
    EXPECT_TRUE(rotation.CanDraw());
    rotation.Render(&layer);
    EXPECT_EQ(layer.draws.size(), 1u);
    EXPECT_EQ(layer.draws[0].technique, "MainFX");
}

}  // namespace
