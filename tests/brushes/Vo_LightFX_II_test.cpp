#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "brushes/Vo_LightFX_II.h"
#include "model/ClassReaderRegistries.h"
#include "runtime/Vo_TimeLineControl.h"
#include "support/DeviceFixture.h"
#include "support/RegistryReading.h"
#include "support/BrushTesting.h"
#include "support/EffectTesting.h"

using namespace brush_testing;

namespace {

TEST(Vo_LightFX_IITest, Defaults)
{
    Vo_LightFX_II light;
    EXPECT_EQ(light.EffectLink().GetPath(), L"common_res.dll");
    EXPECT_EQ(light.EffectLink().GetKey().Stamp(), 76);
    EXPECT_EQ(light.Speed().Value(), 0u);
    EXPECT_FLOAT_EQ(light.Speed().Scale(), 1.0f);
    EXPECT_EQ(light.Intensity().Value(), 0u);
    EXPECT_FLOAT_EQ(light.Intensity().Scale(), 0.01f);
    EXPECT_EQ(light.Colour().Value(), 0u);
}

// The mode numbers differ from the first light brush's: 0 is steady here.
TEST(Vo_LightFX_IITest, ModeNumbering)
{
    struct Case {
        int mode;
        LightVariation kind;
    } cases[] = {{-1, LightVariation::kSteady}, {0, LightVariation::kSteady},  {1, LightVariation::kPulse},
                 {2, LightVariation::kBlink},   {3, LightVariation::kFlicker}, {4, LightVariation::kSteady}};
    for (const Case& c : cases)
        EXPECT_EQ(Vo_LightFX_II::VariationOfMode(c.mode), c.kind) << c.mode;
}

TEST(Vo_LightFX_IITest, TechniqueOfEachBlend)
{
    struct Case {
        int blend;
        const char* technique;
    } cases[] = {{0, "Blend_Normal"}, {1, "Blend_Screen"}, {2, "PS_ColorDodge"},
                 {3, "Blend_Sum"},    {4, nullptr},        {-1, nullptr}};
    for (const Case& c : cases) {
        const char* got = Vo_LightFX_II::TechniqueOfBlend(c.blend);
        if (!c.technique)
            EXPECT_EQ(got, nullptr) << c.blend;
        else
            EXPECT_STREQ(got, c.technique) << c.blend;
    }
}

// The registry reads name and version; the reader reads intensity, mode, blend, colour and the
// base record. The colour's red is its low byte.
TEST(Vo_LightFX_IITest, RecordAndItsBlendColor)
{
    QueuedStream stream;
    stream.Push(QueuedStream::UInt{60}).Push(QueuedStream::Long{0}).Push(QueuedStream::Long{2});
    stream.Push(QueuedStream::Int{0x00336699});
    PushFxRecord(stream, 1, 0, 0, L"common_res.dll", 76);
    std::unique_ptr<Vo_LightFX_II> read = ReadObjectThroughRegistry<Vo_LightFX_II>(L"Vo_LightFX_II", stream, 1);
    ASSERT_TRUE(read);
    Vo_LightFX_II* light = read.get();
    EXPECT_EQ(light->Mode().Value(), 0);
    EXPECT_EQ(light->Blend().Value(), 2);
    EXPECT_EQ(light->Colour().Value(), 0x00336699u);

    std::unique_ptr<Vo_FX_Constructor> clone(light->Clone());
    auto* copy = static_cast<Vo_LightFX_II*>(clone.get());
    EXPECT_EQ(copy->Blend().Value(), 2);
    EXPECT_EQ(copy->Colour().Value(), 0x00336699u);
    // Steady: the alpha is the intensity, at full fade.
    float rgba[4];
    copy->BlendColor(rgba);
    EXPECT_FLOAT_EQ(rgba[0], 0x99 / 255.0f);
    EXPECT_FLOAT_EQ(rgba[1], 0x66 / 255.0f);
    EXPECT_FLOAT_EQ(rgba[2], 0x33 / 255.0f);
    EXPECT_FLOAT_EQ(rgba[3], 0.6f);

    // Faded out, the alpha is 0 and the colour stays.
    copy->Timeline().Mode().ValueRef() = Vo_TimeLineControl::kIntervals;
    ASSERT_EQ(copy->Timeline().GetFadeFactor(), 0.0f);
    copy->BlendColor(rgba);
    EXPECT_FLOAT_EQ(rgba[0], 0x99 / 255.0f);
    EXPECT_EQ(rgba[3], 0.0f);
}

// Pulse at phase 0 is half-way; blink at phase 0 is off.
TEST(Vo_LightFX_IITest, AlphaFollowsTheMode)
{
    Vo_LightFX_II light;
    light.Intensity().SetValue(80);
    float rgba[4];
    light.Mode().SetValue(1);
    light.BlendColor(rgba);
    EXPECT_FLOAT_EQ(rgba[3], 0.4f);
    light.Mode().SetValue(2);
    light.BlendColor(rgba);
    EXPECT_EQ(rgba[3], 0.0f);
}

class Vo_LightFX_IIDeviceTest : public DeviceFixture {
protected:
    // The technique the effect holds, by name.
    static std::string TechniqueOf(ID3DXEffect* effect)
    {
        D3DXTECHNIQUE_DESC desc = {};
        if (FAILED(effect->GetTechniqueDesc(effect->GetCurrentTechnique(), &desc)) || !desc.Name)
            return "";
        return desc.Name;
    }
};

// Each blend value sets its technique; the picture quad is drawn with "Texture1" the layer's
// image, which the effect lets go of afterwards, and no "Scale" is set. A value outside 0 to 3
// keeps the technique the effect had.
TEST_F(Vo_LightFX_IIDeviceTest, RenderSetsTheBlendsTechnique)
{
    ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), "light");
    ASSERT_TRUE(effect);
    ComRef<IDirect3DTexture9> image = effect_testing::MakeTexture(Device(), 2, 2, [](unsigned, unsigned) {
        return 0xFF808080u;
    });
    ASSERT_TRUE(image);
    const float untouched[2] = {7, 9};
    effect->SetFloatArray("Scale", untouched, 2);
    WithGivenEffect<Vo_LightFX_II> light;
    light.GiveEffect(effect.Get());
    RecordingLayer layer(64, 32);
    layer.m_output = image.Get();
    const char* const techniques[] = {"Blend_Normal", "Blend_Screen", "PS_ColorDodge", "Blend_Sum"};
    for (int blend = 0; blend < 4; ++blend) {
        light.Blend().SetValue(blend);
        light.Render(&layer);
        ASSERT_EQ(layer.draws.size(), static_cast<size_t>(blend + 1));
        EXPECT_FALSE(layer.draws.back().indexed);
        EXPECT_EQ(layer.draws.back().technique, techniques[blend]);
    }
    for (const RecordedDraw& draw : layer.draws)
        EXPECT_EQ(draw.image, image.Get());
    IDirect3DBaseTexture9* texture1 = nullptr;
    ASSERT_EQ(effect->GetTexture("Texture1", &texture1), D3D_OK);
    EXPECT_EQ(texture1, nullptr);
    if (texture1)
        texture1->Release();
    float scale[2] = {};
    effect->GetFloatArray("Scale", scale, 2);
    EXPECT_EQ(scale[0], 7.0f);

    // Known technique first, then a blend that selects none.
    ASSERT_EQ(effect->SetTechnique("Blend_Screen"), D3D_OK);
    light.Blend().SetValue(4);
    light.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 5u);
    EXPECT_EQ(layer.draws.back().technique, "Blend_Screen");
    EXPECT_EQ(TechniqueOf(effect.Get()), "Blend_Screen");
}

}  // namespace
