#include <gtest/gtest.h>

#include <memory>

#include "brushes/Vo_UnderwaterFX.h"
#include "model/ClassReaderRegistries.h"
#include "runtime/Vo_TimeLineControl.h"
#include "support/DeviceFixture.h"
#include "support/BrushTesting.h"
#include "support/EffectTesting.h"

using namespace brush_testing;

namespace {

TEST(Vo_UnderwaterFXTest, Defaults)
{
    Vo_UnderwaterFX brush;
    EXPECT_EQ(brush.EffectLink().GetPath(), L"common_res.dll");
    EXPECT_EQ(brush.EffectLink().GetKey().Stamp(), 88);
    EXPECT_EQ(brush.Speed().Value(), 25u);
    EXPECT_FLOAT_EQ(brush.Speed().Result(), 25.0f);
    EXPECT_FLOAT_EQ(brush.Amplitude().Result(), 0.00625f);
    EXPECT_FLOAT_EQ(brush.WaveLength().Result(), 0.101f);
    EXPECT_FLOAT_EQ(brush.ScaleParam().Result(), 1.0f);
    EXPECT_EQ(brush.TechniqueFlag().Value(), 0);
}

// Wave periods per picture width and height: the aspect over the wave length, and one over it.
TEST(Vo_UnderwaterFXTest, FrequencyOverPictureSizes)
{
    Vo_UnderwaterFX brush;
    float frequency[2] = {0, 0};
    ASSERT_TRUE(brush.FrequencyFor(1024, 768, frequency));
    EXPECT_NEAR(frequency[0], 13.2013f, 1e-3f);
    EXPECT_NEAR(frequency[1], 9.90099f, 1e-4f);

    // Raw 0 is the shortest wave length, 0.001: still finite.
    brush.WaveLength().SetValue(0);
    ASSERT_TRUE(brush.FrequencyFor(500, 1000, frequency));
    EXPECT_FLOAT_EQ(frequency[0], 500.0f);
    EXPECT_FLOAT_EQ(frequency[1], 1000.0f);

    // No size, no frequency: nothing is drawn instead of an infinite one.
    for (unsigned size : {0u, 1u}) {
        frequency[0] = frequency[1] = -7.0f;
        EXPECT_FALSE(brush.FrequencyFor(size, 1 - size, frequency)) << size;
        EXPECT_EQ(frequency[0], -7.0f);
    }
}

// The record: class name and version (neither compared), amplitude raw, wave length raw, then the
// common brush record.
TEST(Vo_UnderwaterFXTest, ReadsItsRecordIntoANewBrush)
{
    for (int32_t version : {1, 7}) {
        SCOPED_TRACE(version);
        QueuedStream stream;
        stream.Push(QueuedStream::String{L"Something else"}).Push(QueuedStream::Int{version});
        stream.Push(QueuedStream::UInt{80})    // amplitude raw
            .Push(QueuedStream::UInt{200});    // wave length raw
        PushFxRecord(stream, 2, 40, 1, L"C:\\effects\\underwater.fxo", 0x01D9000000000005, 100);
        std::unique_ptr<Vo_UnderwaterFX> brush(ReadUnderwaterFXRecord(stream));
        ASSERT_NE(brush, nullptr);
        ASSERT_FALSE(stream.Failed());
        EXPECT_EQ(stream.Remaining(), 0u);
        EXPECT_FLOAT_EQ(brush->Amplitude().Result(), 0.01f);
        EXPECT_FLOAT_EQ(brush->WaveLength().Result(), 0.401f);
        EXPECT_EQ(brush->Speed().Value(), 40u);
        EXPECT_EQ(brush->TechniqueFlag().Value(), 1);
        EXPECT_EQ(brush->EffectLink().GetPath(), L"C:\\effects\\underwater.fxo");
        EXPECT_FLOAT_EQ(brush->ScaleParam().Result(), 2.0f);
        EXPECT_EQ(brush->IdentityName(), L"brush one");
    }
}

// No registry knows the class: only the underwater layer reads it.
TEST(Vo_UnderwaterFXTest, IsNotRegistered)
{
    EXPECT_EQ(GetConstructorReaderRegistry().count(L"Vo_UnderwaterFX"), 0u);
}

// Assign takes the base part and both parameters with their scale and offset; clones copy them too.
TEST(Vo_UnderwaterFXTest, AssignAndCloneCopyBothParameters)
{
    Vo_UnderwaterFX source;
    source.Amplitude().Rescale(0.5f, 2.0f);
    source.Amplitude().SetValue(3);
    source.WaveLength().SetValue(150);
    source.Speed().SetValue(70);
    source.Update(0.1f);

    Vo_UnderwaterFX target;
    target.Assign(source);
    std::unique_ptr<Vo_FX_Constructor> cloned(source.Clone());
    auto* clone = static_cast<Vo_UnderwaterFX*>(cloned.get());
    const Vo_UnderwaterFX* copies[] = {&target, clone};
    for (const Vo_UnderwaterFX* copy : copies) {
        EXPECT_EQ(copy->Amplitude().Value(), 3u);
        EXPECT_FLOAT_EQ(copy->Amplitude().Scale(), 0.5f);
        EXPECT_FLOAT_EQ(copy->Amplitude().Result(), 3.5f);
        EXPECT_FLOAT_EQ(copy->WaveLength().Result(), 0.301f);
        EXPECT_EQ(copy->Speed().Value(), 70u);
        EXPECT_FLOAT_EQ(copy->Phase(), source.Phase());
        EXPECT_TRUE(IsEqualGUID(copy->Guid(), source.Guid()));
    }
}

using Vo_UnderwaterFXDeviceTest = DeviceFixture;

// What the brush hands its effect on a 1024 x 768 picture: the frequency, the amplitude unfaded,
// the phase x 0.08, and the common step's technique and background.
TEST_F(Vo_UnderwaterFXDeviceTest, RenderValues)
{
    ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), "underwater");
    ASSERT_TRUE(effect);
    WithGivenEffect<Vo_UnderwaterFX> brush;
    brush.GiveEffect(effect.Get());
    brush.Update(0.1f);  // phase 2.5
    RecordingLayer layer(1024, 768);
    // Faded out (an interval timeline outside its intervals): the amplitude does not fade.
    brush.Timeline().Mode().ValueRef() = Vo_TimeLineControl::kIntervals;
    ASSERT_EQ(brush.Timeline().GetFadeFactor(), 0.0f);
    brush.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 1u);
    EXPECT_EQ(layer.draws[0].technique, "Main");
    EXPECT_FALSE(layer.draws[0].indexed);
    float frequency[2] = {0, 0}, value = 0;
    effect->GetFloatArray("frequency", frequency, 2);
    EXPECT_NEAR(frequency[0], 13.2013f, 1e-3f);
    EXPECT_NEAR(frequency[1], 9.90099f, 1e-4f);
    effect->GetFloat("amplitude", &value);
    EXPECT_FLOAT_EQ(value, 0.00625f);
    effect->GetFloat("time", &value);
    EXPECT_NEAR(value, 0.2f, 1e-6f);

    brush.TechniqueFlag().SetValue(1);
    brush.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 2u);
    EXPECT_EQ(layer.draws[1].technique, "MainFX");
}

TEST_F(Vo_UnderwaterFXDeviceTest, APictureWithoutSizeIsNotDrawn)
{
    ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), "underwater");
    ASSERT_TRUE(effect);
    WithGivenEffect<Vo_UnderwaterFX> brush;
    brush.GiveEffect(effect.Get());
    for (unsigned width : {0u, 64u}) {
        RecordingLayer layer(width, 64 - width);
        brush.Render(&layer);
        EXPECT_TRUE(layer.draws.empty()) << width;
    }
}

}  // namespace
