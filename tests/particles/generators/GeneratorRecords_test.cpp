// Every registered generator read through the registry from records as an editor stores them,
// with the versions that change a record's layout, and the copy that the runtime object owns.
#include <gtest/gtest.h>

#include <memory>

#include "model/ClassReaderRegistries.h"
#include "tests/particles/generators/GeneratorTesting.h"
#include "particles/generators/Vo_Bling.h"
#include "particles/generators/Vo_Plant.h"
#include "particles/generators/Vo_RadialRays.h"
#include "particles/generators/Vo_Smoke.h"
#include "particles/generators/Vo_StaticAnimation.h"
#include "support/QueuedStream.h"
#include "support/RegistryReading.h"

using namespace generator_testing;

namespace {

void PushBling(QueuedStream& s, int32_t version, int32_t texVersion)
{
    s.Push(QueuedStream::UInt{50});  // speed raw
    s.Push(QueuedStream::UInt{150});  // fade-out raw
    s.Push(QueuedStream::UInt{50});  // fade-in raw
    if (version >= 2)
        s.Push(QueuedStream::UInt{25}).Push(QueuedStream::UInt{30});  // rotation, minimum size
    s.Push(QueuedStream::String{L"Vo_AirBrush"}).Push(QueuedStream::Int{1});
    s.Push(QueuedStream::UInt{24});  // brush size
    s.Push(QueuedStream::Int{2});
    PushOrigin(s, 10, 20, 0);
    PushOrigin(s, 30, 40, 1);
    PushTexRecord(s, texVersion, {{L"star.png", 7}, {L"glow.png", 8}}, 0x000000FF, 0, 0x00FF0000, 50, 1, 1, 0);
}

TEST(GeneratorRecordsTest, SparklesVersion2)
{
    QueuedStream s;
    PushBling(s, 2, 2);
    auto bling = ReadObjectThroughRegistry<Vo_Bling>(L"Vo_Bling", s, 2);
    ASSERT_TRUE(bling);
    EXPECT_FLOAT_EQ(bling->Speed().Result(), 1.0f);
    EXPECT_FLOAT_EQ(bling->FadeIn().Result(), 0.5f);
    EXPECT_FLOAT_EQ(bling->FadeOut().Result(), 1.5f);
    EXPECT_FLOAT_EQ(bling->Rotation().Result(), 0.5f);
    EXPECT_FLOAT_EQ(bling->MinimumSize().Result(), 0.3f);
    EXPECT_EQ(bling->BrushSize().Value(), 24u);
    ASSERT_EQ(bling->Points().size(), 2u);
    EXPECT_FLOAT_EQ(bling->Points()[1].position.y, 40.0f);
    EXPECT_FLOAT_EQ(bling->Points()[1].value1, 1.0f);
    EXPECT_FLOAT_EQ(bling->Points()[1].value2, 1.0f);
    EXPECT_TRUE(bling->Points()[1].processes.empty());
    ASSERT_EQ(bling->Pictures().size(), 2u);
    EXPECT_EQ(bling->Pictures()[1].GetPath(), L"glow.png");
    EXPECT_EQ(bling->EffectLink().GetKey().Stamp(), 160);
    EXPECT_EQ(bling->Color1().VertexColor(), 0xFFFF0000u);  // red, opaque
    EXPECT_EQ(bling->Color2().Alpha().Result(), 127);       // 255 - 2.55 x 50 = 127.5, truncated
    EXPECT_EQ(bling->BlendModeParam().Value(), 1);
    EXPECT_EQ(bling->VerticalMirror().Value(), 1);
    EXPECT_EQ(bling->Name(), L"generator");
}

// Version 1 of the sparkles has no rotation and minimum size; version 1 of the texture level no
// mirror flags.
TEST(GeneratorRecordsTest, SparklesVersion1)
{
    QueuedStream s;
    PushBling(s, 1, 1);
    auto bling = ReadObjectThroughRegistry<Vo_Bling>(L"Vo_Bling", s, 1);
    ASSERT_TRUE(bling);
    EXPECT_EQ(bling->Rotation().Value(), 0u);
    EXPECT_FLOAT_EQ(bling->MinimumSize().Result(), 0.0f);
    EXPECT_EQ(bling->VerticalMirror().Value(), 0);
    EXPECT_EQ(bling->HorizontalMirror().Value(), 0);
    EXPECT_EQ(bling->BlendModeParam().Value(), 1);
}

// The smoke's record has the origin fields but no origin level of its own.
TEST(GeneratorRecordsTest, Smoke)
{
    QueuedStream s;
    s.Push(QueuedStream::UInt{75});   // wind raw
    s.Push(QueuedStream::UInt{50});   // life raw: 2 s
    s.Push(QueuedStream::UInt{12});   // rate
    s.Push(QueuedStream::UInt{40});   // size
    s.Push(QueuedStream::UInt{90});   // direction
    s.Push(QueuedStream::UInt{100});  // clock raw
    PushOrigin(s, 200, 300);
    PushTexRecord(s, 2, {{L"puff.png", 3}}, 0x00C0C0C0, 10, 0x00FFFFFF, 0, 2);
    auto smoke = ReadObjectThroughRegistry<Vo_Smoke>(L"Vo_Smoke", s, 1);
    ASSERT_TRUE(smoke);
    EXPECT_FLOAT_EQ(smoke->Wind().Result(), 50.0f);
    EXPECT_FLOAT_EQ(smoke->Life().Result(), 2.0f);
    EXPECT_EQ(smoke->Rate().Value(), 12u);
    EXPECT_EQ(smoke->Size().Value(), 40u);
    EXPECT_EQ(smoke->Direction().Value(), 90u);
    EXPECT_EQ(smoke->Direction().Spread().Value(), 0u);
    EXPECT_FLOAT_EQ(smoke->Clock().Result(), 2.0f);
    EXPECT_FLOAT_EQ(smoke->Origin().Value().x, 200.0f);
    EXPECT_EQ(smoke->BlendModeParam().Value(), 2);
    // Drawn straight into the layer, the smoke never asks for the image drawn so far.
    EXPECT_FALSE(smoke->NeedsBackground());
}

void PushSingleRect(QueuedStream& s, int32_t version, int32_t verticalMirror, int32_t horizontalMirror)
{
    s.Push(QueuedStream::String{L"Vo_SingleRectGN"}).Push(QueuedStream::Int{version});
    for (int i = 0; i < 12; ++i)
        s.Push(QueuedStream::Float{static_cast<float>(i)});
    if (version < 2)
        s.Push(QueuedStream::Float{99.0f}).Push(QueuedStream::Float{98.0f});
    PushStaticRecord(s, 5, 6, 2, verticalMirror, horizontalMirror);
}

TEST(GeneratorRecordsTest, PlantWithOldRectangleLevel)
{
    QueuedStream s;
    s.Push(QueuedStream::UInt{50}).Push(QueuedStream::UInt{20});
    s.Push(QueuedStream::UInt{10}).Push(QueuedStream::UInt{5});
    PushSingleRect(s, 1, 0, 0);
    auto plant = ReadObjectThroughRegistry<Vo_Plant>(L"Vo_Plant", s, 1);
    ASSERT_TRUE(plant);
    EXPECT_FLOAT_EQ(plant->Speed().Result(), 1.0f);
    EXPECT_FLOAT_EQ(plant->Frequency().Result(), 2.0f);
    EXPECT_FLOAT_EQ(plant->WaveMagnitude().Result(), 0.02f);
    EXPECT_FLOAT_EQ(plant->BendMagnitude().Result(), 0.01f);
    EXPECT_FLOAT_EQ(plant->Quad().Corner(3).Value().z, 11.0f);
    EXPECT_FLOAT_EQ(plant->Origin().Value().y, 6.0f);
}

TEST(GeneratorRecordsTest, StaticAnimation)
{
    Vo_StaticAnimation fresh;
    EXPECT_EQ(fresh.EffectLink().GetPath(), L"common_res.dll");
    EXPECT_EQ(fresh.EffectLink().GetKey().Stamp(), 116);

    QueuedStream s;
    s.Push(QueuedStream::UInt{200}).Push(QueuedStream::Long{1});
    PushSingleRect(s, 2, 1, 1);
    auto animation = ReadObjectThroughRegistry<Vo_StaticAnimation>(L"Vo_StaticAnimation", s, 1);
    ASSERT_TRUE(animation);
    EXPECT_FLOAT_EQ(animation->Speed().Result(), 2.0f);
    EXPECT_EQ(animation->Reverse().Value(), 1);
    EXPECT_FLOAT_EQ(animation->Quad().Corner(1).Value().x, 3.0f);
    EXPECT_EQ(animation->VerticalMirror().Value(), 1);
    EXPECT_EQ(animation->EffectLink().GetKey().Stamp(), 160) << "the document's link replaces the default";
}

TEST(GeneratorRecordsTest, RadialRays)
{
    QueuedStream s;
    s.Push(QueuedStream::UInt{120}).Push(QueuedStream::UInt{16}).Push(QueuedStream::UInt{12});
    s.Push(QueuedStream::Long{0}).Push(QueuedStream::Long{1}).Push(QueuedStream::UInt{4242});
    s.Push(QueuedStream::UInt{40});  // minimum length raw: m' = 0.6
    s.Push(QueuedStream::UInt{10});  // speed raw
    s.Push(QueuedStream::Long{2});
    s.Push(QueuedStream::UInt{100});  // minimum fade raw: m = 0
    s.Push(QueuedStream::UInt{25});   // amplitude raw: 0.5
    PushStaticRecord(s, 64, 48);
    auto rays = ReadObjectThroughRegistry<Vo_RadialRays>(L"Vo_RadialRays", s, 1);
    ASSERT_TRUE(rays);
    EXPECT_EQ(rays->Length().Value(), 120u);
    EXPECT_EQ(rays->Width().Value(), 16u);
    EXPECT_EQ(rays->Count().Value(), 12u);
    EXPECT_EQ(rays->Random().Value(), 1);
    EXPECT_EQ(rays->Seed().Value(), 4242u);
    EXPECT_FLOAT_EQ(rays->MinimumLength().Result(), 0.6f);
    EXPECT_FLOAT_EQ(rays->Speed().Result(), 0.2f);
    EXPECT_EQ(rays->Mode().Value(), 2);
    EXPECT_NEAR(rays->MinimumFade().Result(), 0.0f, 1e-6f);  // 1 - 0.01 x 100 in float
    EXPECT_FLOAT_EQ(rays->Amplitude().Result(), 0.5f);
    EXPECT_FLOAT_EQ(rays->Origin().Value().x, 64.0f);
}

// Screen and colour dodge read the image drawn so far; a generator without an effect or mask
// target draws straight into the layer and so must not ask for it.
TEST(GeneratorRecordsTest, OnlyScreenAndDodgeThroughAMaskNeedTheBackground)
{
    Vo_RadialRays rays;
    for (int mode = 0; mode <= 4; ++mode) {
        rays.BlendModeParam().ValueRef() = mode;
        EXPECT_FALSE(rays.NeedsBackground()) << "mode " << mode << " without effect and mask";
    }
}

// The runtime copy keeps the identity (and so finds the same mask target) and every value.
TEST(GeneratorRecordsTest, CloneKeepsIdentityPointsAndSteps)
{
    QueuedStream s;
    PushBling(s, 2, 2);
    auto bling = ReadObjectThroughRegistry<Vo_Bling>(L"Vo_Bling", s, 2);
    ASSERT_TRUE(bling);
    bling->MakeLifeCycle(bling->Points()[0]);
    std::unique_ptr<Vo_TexParticleGenerator> clone(bling->Clone());
    auto* copy = dynamic_cast<Vo_Bling*>(clone.get());
    ASSERT_TRUE(copy);
    EXPECT_TRUE(IsEqualGUID(copy->Guid(), bling->Guid()));
    EXPECT_FLOAT_EQ(copy->FadeOut().Result(), 1.5f);
    EXPECT_FLOAT_EQ(copy->Rotation().Result(), 0.5f);
    EXPECT_EQ(copy->Color2().Alpha().Result(), 127);
    ASSERT_EQ(copy->Points().size(), 2u);
    EXPECT_EQ(copy->Points()[0].processes.size(), 3u);
    EXPECT_NE(copy->Points()[0].processes[0].get(), bling->Points()[0].processes[0].get());
    EXPECT_EQ(copy->Pictures().size(), 2u);
    EXPECT_EQ(copy->VerticalMirror().Value(), 1);

    Vo_Bling other;
    EXPECT_FALSE(IsEqualGUID(other.Guid(), bling->Guid())) << "a new generator has its own identity";
}

// A damaged count ends with the stream: no huge allocation, no read past the end.
TEST(GeneratorRecordsTest, DamagedCountsEndWithTheStream)
{
    QueuedStream s;
    s.Push(QueuedStream::UInt{50}).Push(QueuedStream::UInt{150}).Push(QueuedStream::UInt{50});
    s.Push(QueuedStream::UInt{0}).Push(QueuedStream::UInt{0});
    s.Push(QueuedStream::String{L"Vo_AirBrush"}).Push(QueuedStream::Int{1});
    s.Push(QueuedStream::UInt{24});
    s.Push(QueuedStream::Int{0x7FFFFFFF});
    PushOrigin(s, 1, 2, 3);
    auto& registry = GetConstructorReaderRegistry();
    std::unique_ptr<Vo_ABObj_Constructor> read(registry[L"Vo_Bling"]->CreateObject(s, 2));
    EXPECT_TRUE(s.Failed());
    auto* bling = dynamic_cast<Vo_Bling*>(read.get());
    ASSERT_TRUE(bling);
    EXPECT_EQ(bling->Points().size(), 1u);
}

}  // namespace
