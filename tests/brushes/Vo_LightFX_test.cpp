#include <gtest/gtest.h>

#include <memory>

#include "brushes/Vo_LightFX.h"
#include "model/ClassReaderRegistries.h"
#include "runtime/Vo_TimeLineControl.h"
#include "support/DeviceFixture.h"
#include "support/RegistryReading.h"
#include "support/BrushTesting.h"
#include "support/EffectTesting.h"

using namespace brush_testing;

namespace {

// At phase 0 the pulse is half-way: 0.4 x 0.5.
TEST(Vo_LightFXTest, DefaultsAndTheirMultiplier)
{
    Vo_LightFX light;
    EXPECT_EQ(light.EffectLink().GetPath(), L"common_res.dll");
    EXPECT_EQ(light.EffectLink().GetKey().Stamp(), 76);
    EXPECT_FLOAT_EQ(light.Speed().Result(), 40.0f);
    EXPECT_FLOAT_EQ(light.Intensity().Result(), 0.4f);
    EXPECT_EQ(light.Mode().Value(), 0);
    EXPECT_FLOAT_EQ(light.Multiplier(), 0.2f);

    // A quarter period of the pulse later (0.2 p = pi / 2) the light is at its peak.
    light.Update(3.14159265f / 2.0f / 0.2f / 40.0f);
    EXPECT_NEAR(light.Phase(), 3.14159265f / 0.4f, 1e-4f);
    EXPECT_NEAR(light.Multiplier(), 0.4f, 1e-6f);

    // Faded out, the multiplier is 0.
    light.Timeline().Mode().ValueRef() = Vo_TimeLineControl::kIntervals;
    ASSERT_EQ(light.Timeline().GetFadeFactor(), 0.0f);
    EXPECT_EQ(light.Multiplier(), 0.0f);
}

TEST(Vo_LightFXTest, ModeNumbering)
{
    struct Case {
        int mode;
        LightVariation kind;
    } cases[] = {{-3, LightVariation::kPulse}, {0, LightVariation::kPulse},   {1, LightVariation::kBlink},
                 {2, LightVariation::kFlicker}, {3, LightVariation::kFlicker}, {100, LightVariation::kFlicker}};
    for (const Case& c : cases)
        EXPECT_EQ(Vo_LightFX::VariationOfMode(c.mode), c.kind) << c.mode;
}

// The registry reads name and version; the reader reads intensity, mode and the base record.
TEST(Vo_LightFXTest, RecordThroughTheRegistry)
{
    QueuedStream stream;
    stream.Push(QueuedStream::UInt{75}).Push(QueuedStream::Long{1});
    PushFxRecord(stream, 3, 30, 1, L"common_res.dll", 76, 60);
    std::unique_ptr<Vo_LightFX> read = ReadObjectThroughRegistry<Vo_LightFX>(L"Vo_LightFX", stream, 1);
    ASSERT_TRUE(read);
    Vo_LightFX* light = read.get();
    EXPECT_FLOAT_EQ(light->Intensity().Result(), 0.75f);
    EXPECT_EQ(light->Mode().Value(), 1);
    EXPECT_EQ(light->Speed().Value(), 30u);
    EXPECT_TRUE(light->IsFullImageEffect());
    EXPECT_EQ(light->Name(), L"object name");

    std::unique_ptr<Vo_FX_Constructor> clone(light->Clone());
    auto* copy = static_cast<Vo_LightFX*>(clone.get());
    EXPECT_FLOAT_EQ(copy->Intensity().Result(), 0.75f);
    EXPECT_EQ(copy->Mode().Value(), 1);
}

using Vo_LightFXDeviceTest = DeviceFixture;

// The brush sets "multiplier" and draws the picture quad with the common step's technique.
TEST_F(Vo_LightFXDeviceTest, RenderValues)
{
    ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), "light");
    ASSERT_TRUE(effect);
    WithGivenEffect<Vo_LightFX> light;
    light.GiveEffect(effect.Get());
    light.Intensity().SetValue(80);
    RecordingLayer layer(64, 64);
    light.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 1u);
    EXPECT_FALSE(layer.draws[0].indexed);
    EXPECT_EQ(layer.draws[0].technique, "Main");
    float value = 0;
    effect->GetFloat("multiplier", &value);
    EXPECT_FLOAT_EQ(value, 0.4f);

    light.TechniqueFlag().ValueRef() = 1;
    light.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 2u);
    EXPECT_EQ(layer.draws[1].technique, "MainFX");
}

}  // namespace
