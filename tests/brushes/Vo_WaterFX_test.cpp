#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "brushes/Vo_WaterFX.h"
#include "model/CurrentDevice.h"
#include "model/ClassReaderRegistries.h"
#include "support/DeviceFixture.h"
#include "support/RegistryReading.h"
#include "support/BrushTesting.h"
#include "support/EffectTesting.h"

using namespace brush_testing;

namespace {

TEST(Vo_WaterFXTest, Defaults)
{
    Vo_WaterFX water;
    EXPECT_EQ(water.EffectLink().GetKey().Stamp(), 90);
    EXPECT_EQ(water.BumpLink().GetPath(), L"common_res.dll");
    EXPECT_EQ(water.BumpLink().GetKey().Stamp(), 89);
    EXPECT_FLOAT_EQ(water.Speed().Result(), 1.0f);
    EXPECT_FLOAT_EQ(water.ScaleParam().Result(), 0.6f);
    EXPECT_FLOAT_EQ(water.SurfaceFactor().Result(), 0.002f);
    EXPECT_FLOAT_EQ(water.BumpStrength().Result(), 0.02f);
    EXPECT_EQ(water.Colour().Value(), 0xFFFFFFu);
    EXPECT_NEAR(water.Direction().x, std::cos(40 * 3.14159265 / 180), 1e-6);
    EXPECT_NEAR(water.Direction().y, std::sin(40 * 3.14159265 / 180), 1e-6);
    // The bump matrix is there before the first update.
    EXPECT_FLOAT_EQ(water.BumpMatrix()[0], 0.02f);
    EXPECT_FLOAT_EQ(water.BumpMatrix()[1], 0.0f);
    // The direction turns with the angle parameter.
    water.Angle().SetValue(90);
    EXPECT_NEAR(water.Direction().x, 0.0f, 1e-6f);
    EXPECT_NEAR(water.Direction().y, 1.0f, 1e-6f);
}

TEST(Vo_WaterFXTest, RecordThroughTheRegistry)
{
    QueuedStream stream;
    for (uint32_t raw : {5000u, 40u, 8u, 30u})
        stream.Push(QueuedStream::UInt{raw});
    stream.Push(QueuedStream::UInt{90});
    stream.Push(QueuedStream::UInt{50}).Push(QueuedStream::UInt{10});
    stream.Push(QueuedStream::Int{0x00FF8000});
    stream.Push(QueuedStream::String{L"bump.png"}).Push(QueuedStream::Int64{-3});
    PushFxRecord(stream, 2, 50, 0, L"common_res.dll", 90, 30);
    std::unique_ptr<Vo_WaterFX> read = ReadObjectThroughRegistry<Vo_WaterFX>(L"Vo_WaterFX", stream, 1);
    ASSERT_TRUE(read);
    Vo_WaterFX* water = read.get();
    EXPECT_FLOAT_EQ(water->SurfaceFactor().Result(), 0.5f);
    EXPECT_FLOAT_EQ(water->BumpStrength().Result(), 0.04f);
    EXPECT_EQ(water->Angle().Value(), 90u);
    EXPECT_FLOAT_EQ(water->Shadows().Result(), 0.5f);
    EXPECT_FLOAT_EQ(water->LightHeight().Result(), 1.0f);
    EXPECT_EQ(water->Colour().Value(), 0x00FF8000u);
    EXPECT_EQ(water->BumpLink().GetPath(), L"bump.png");
    std::unique_ptr<Vo_FX_Constructor> clone(water->Clone());
    EXPECT_NEAR(static_cast<Vo_WaterFX*>(clone.get())->Direction().y, 1.0f, 1e-6f);
}

// The bump matrix turns by 4.5 radians per unit of phase: at phase pi / 9 it is a quarter turn.
TEST(Vo_WaterFXTest, BumpMatrixFollowsThePhase)
{
    Vo_WaterFX water;
    water.Speed().SetValue(static_cast<unsigned>(3.14159265 / 9 / 0.02 / 0.2 * 100 + 0.5));
    water.Speed().Rescale(0.0002f, 0.0f);  // one 0.2 s step gives phase pi / 9
    water.Update(0.2f);
    EXPECT_NEAR(water.Phase(), 3.14159265 / 9, 1e-4);
    EXPECT_NEAR(water.BumpMatrix()[0], 0.0f, 1e-4f);
    EXPECT_NEAR(water.BumpMatrix()[1], -0.02f, 1e-4f);
    EXPECT_NEAR(water.BumpMatrix()[2], 0.02f, 1e-4f);
    EXPECT_NEAR(water.BumpMatrix()[3], 0.0f, 1e-4f);
}

using Vo_WaterFXDeviceTest = DeviceFixture;

TEST_F(Vo_WaterFXDeviceTest, RenderValuesAndTheGuardOnTheSurfaceFactor)
{
    ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), "water");
    ASSERT_TRUE(effect);
    IDirect3DDevice9* previous = CurrentDevice;
    CurrentDevice = Device();
    WithGivenEffect<Vo_WaterFX> water;
    water.GiveEffect(effect.Get());
    water.Update(0.1f);  // phase 0.1
    RecordingLayer layer(64, 64);
    water.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 1u);
    float time = 0, p1[3] = {}, bamp[4] = {};
    effect->GetFloat("Time", &time);
    EXPECT_NEAR(time, 0.2f, 1e-6f) << "twice the phase";
    effect->GetFloatArray("P1", p1, 3);
    EXPECT_NEAR(p1[0], -0.998f, 1e-6f);
    effect->GetFloatArray("BampTrans", bamp, 4);
    EXPECT_NEAR(bamp[0], 0.02f * std::cos(0.45f), 1e-6f);
    EXPECT_NEAR(bamp[1], -0.02f * std::sin(0.45f), 1e-6f);
    IDirect3DBaseTexture9* bump = nullptr;
    effect->GetTexture("BumpMap", &bump);
    EXPECT_NE(bump, nullptr) << "a missing bump picture is replaced by neutral grey";
    if (bump)
        bump->Release();

    // A surface factor of 1 makes V infinite: nothing is drawn. Between 1 and 2 the values are
    // finite and the water is drawn.
    water.SurfaceFactor().SetValue(10000);
    water.Render(&layer);
    EXPECT_EQ(layer.draws.size(), 1u);
    water.SurfaceFactor().SetValue(15000);
    water.Render(&layer);
    EXPECT_EQ(layer.draws.size(), 2u);
    float p2[3] = {};
    effect->GetFloatArray("P2", p2, 3);
    EXPECT_NEAR(p2[1], (1.0 / 3 + std::sqrt(1.0 / 3)) / (1.0 / 3 - 1), 1e-4);
    CurrentDevice = previous;
}

}  // namespace
