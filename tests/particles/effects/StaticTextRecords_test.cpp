// The static text without a device: its records of versions 1 and 2 through the registered
// reader, the text formats of the alignments, the quad it places, and the string parameter
// that holds the text.
#include <windows.h>

#include <gtest/gtest.h>

#include "model/MediaParamT.h"
#include "tests/particles/effects/EffectObjectTesting.h"
#include "particles/sprites/SpriteParticle.h"
#include "particles/effects/Vo_StaticTextConstructor.h"
#include "runtime/Vo_TimeLineControl.h"
#include "support/CountingControl.h"
#include "support/RegistryReading.h"

using namespace effect_testing;

namespace {

struct TextRecord {
    int32_t version = 2;
    int32_t vertical = 2;
    int32_t horizontal = 1;
    const wchar_t* text = L"Hello";
    int32_t height = 40;
    uint32_t weight = 400;
    int32_t italic = 1;
    const wchar_t* face = L"Tahoma";
    uint32_t legacy[4] = {500, 700, 3000, 1500};
    int32_t statVersion = 2;
};

void PushTextRecord(QueuedStream& s, const TextRecord& r, const SpriteRecordValues& sprite = {})
{
    s.Push(QueuedStream::Int{r.vertical}).Push(QueuedStream::Int{r.horizontal});
    s.Push(QueuedStream::String{r.text});
    s.Push(QueuedStream::Int{r.height}).Push(QueuedStream::UInt{r.weight}).Push(QueuedStream::Int{r.italic});
    s.Push(QueuedStream::String{r.face});
    if (r.version == 1)
        for (uint32_t value : r.legacy)
            s.Push(QueuedStream::UInt{value});
    PushStatBaseRecord(s, r.statVersion, 120.0f, 80.0f, 30, 200, sprite);
}

std::unique_ptr<Vo_StaticTextConstructor> ReadText(const TextRecord& r)
{
    QueuedStream s;
    PushTextRecord(s, r);
    return ReadObjectThroughRegistry<Vo_StaticTextConstructor>(L"Vo_StaticTextConstructor", s, r.version);
}

}  // namespace

TEST(StaticTextRecords, VersionTwoStoresEveryField)
{
    const auto text = ReadText(TextRecord{});
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->VerticalAlignment().Value(), 2);
    EXPECT_EQ(text->HorizontalAlignment().Value(), 1);
    EXPECT_EQ(text->Text().Value(), L"Hello");
    EXPECT_EQ(text->Font().Height(), 40);
    EXPECT_EQ(text->Font().Weight(), 400);
    EXPECT_EQ(text->Font().Italic(), 1);
    EXPECT_EQ(text->Font().Face(), L"Tahoma");
    EXPECT_EQ(text->Position().Value(), D3DXVECTOR3(120.0f, 80.0f, 0.0f));
    EXPECT_EQ(text->Height().Value(), 30u);
    EXPECT_EQ(text->Width().Value(), 200u);
    EXPECT_EQ(text->EffectLink().GetPath(), L"common_res.dll");
    EXPECT_EQ(text->EffectLink().GetKey().Stamp(), 164);
    // The sprite record's colour replaces the constructor's red; its timeline stays as stored.
    EXPECT_EQ(text->Colour().Value(), 0x00336699u);
    EXPECT_EQ(text->Timeline().Mode().Value(), 1);
}

TEST(StaticTextRecords, EmptyStringsKeepTheDefaults)
{
    TextRecord record;
    record.text = L"";
    record.face = L"";
    const auto text = ReadText(record);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Text().Value(), L"");
    EXPECT_EQ(text->Font().Face(), L"Arial");
}

TEST(StaticTextRecords, VersionOneDurationsBecomeTheTimeline)
{
    TextRecord record;
    record.version = 1;
    record.statVersion = 1;
    const auto text = ReadText(record);
    ASSERT_NE(text, nullptr);
    const Vo_TimeLineControl& timeline = text->Timeline();
    EXPECT_EQ(timeline.InvisibleMaximum().Value(), 150u);
    EXPECT_EQ(timeline.InvisibleMinimum().Value(), 150u);
    EXPECT_EQ(timeline.VisibleMaximum().Value(), 300u);
    EXPECT_EQ(timeline.VisibleMinimum().Value(), 300u);
    EXPECT_EQ(timeline.FadeIn().Value(), 50u);
    EXPECT_EQ(timeline.FadeOut().Value(), 70u);
    EXPECT_FLOAT_EQ(timeline.FadeIn().Result(), 0.5f);
    EXPECT_EQ(timeline.Mode().Value(), 1) << "the mode comes from the stored timeline";
    // A version-1 placement stores no size: the stated default holds.
    EXPECT_EQ(text->Width().Value(), Vo_StatBaseFXCtrl::kDefaultWidth);
    EXPECT_EQ(text->Height().Value(), Vo_StatBaseFXCtrl::kDefaultHeight);
}

TEST(StaticTextRecords, VersionOneWithoutVisibleTimeIsAlwaysVisible)
{
    TextRecord record;
    record.version = 1;
    record.legacy[2] = 0;
    const auto text = ReadText(record);
    ASSERT_NE(text, nullptr);
    const Vo_TimeLineControl& timeline = text->Timeline();
    EXPECT_EQ(timeline.Mode().Value(), Vo_TimeLineControl::kAlwaysVisible);
    // Nothing else changes: the stored timeline's durations stay.
    EXPECT_EQ(timeline.InvisibleMaximum().Value(), 200u);
    EXPECT_EQ(timeline.FadeIn().Value(), 50u);
}

TEST(StaticTextRecords, TruncatedRecordFailsTheStream)
{
    QueuedStream cut;
    cut.Push(QueuedStream::Int{1}).Push(QueuedStream::Int{1}).Push(QueuedStream::String{L"cut"});
    auto& registry = GetConstructorReaderRegistry();
    ASSERT_TRUE(registry.count(L"Vo_StaticTextConstructor"));
    std::unique_ptr<Vo_ABObj_Constructor> read(registry[L"Vo_StaticTextConstructor"]->CreateObject(cut, 2));
    EXPECT_TRUE(cut.Failed());
}

TEST(StaticTextFormat, AlignmentsGiveTheDrawTextFlags)
{
    struct Case {
        int horizontal, vertical, format;
    } cases[] = {
        {0, 0, 0},
        {1, 0, DT_CENTER},
        {2, 0, DT_RIGHT},
        {0, 1, DT_VCENTER},
        {1, 2, DT_CENTER | DT_BOTTOM},
        {2, 1, DT_RIGHT | DT_VCENTER},
        {3, 3, 0},
        {-1, 2, DT_BOTTOM},
    };
    EXPECT_EQ(DT_CENTER | DT_BOTTOM, 9);
    for (const Case& c : cases) {
        Vo_StaticTextConstructor text;
        text.HorizontalAlignment().ValueRef() = c.horizontal;
        text.VerticalAlignment().ValueRef() = c.vertical;
        text.UpdateFormatFlags();
        EXPECT_EQ(text.Format(), c.format) << c.horizontal << ", " << c.vertical;
    }
}

TEST(StaticTextDescription, DefaultsAndCopies)
{
    const KeptPicturePlacement keptPlacement;
    PlaceParticlePicture(640, 480);
    Vo_StaticTextConstructor text;
    EXPECT_EQ(text.Colour().Value(), 0x000000FFu);
    EXPECT_EQ(text.Timeline().TimeMode().Value(), 1);
    EXPECT_EQ(text.Position().Value(), D3DXVECTOR3(320.0f, 240.0f, 0.0f));
    EXPECT_EQ(text.Font().Height(), 32);
    EXPECT_EQ(text.Font().Weight(), 700);
    EXPECT_EQ(text.Font().Face(), L"Arial");
    EXPECT_EQ(text.Count().Value(), 1u);

    text.Text().ValueRef() = L"copy me";
    text.Width().ValueRef() = 100;
    std::unique_ptr<Vo_ParticleSystemCtrl> clone(text.Clone());
    auto* copy = dynamic_cast<Vo_StaticTextConstructor*>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Text().Value(), L"copy me");
    EXPECT_EQ(copy->Width().Value(), 100u);
    EXPECT_TRUE(IsEqualGUID(copy->Identity(), text.Identity())) << "the clone shares the store's entries";
    Vo_StaticTextConstructor other;
    EXPECT_FALSE(IsEqualGUID(other.Identity(), text.Identity()));
}

TEST(StaticTextDescription, QuadSitsAtThePositionWithTheObjectsSize)
{
    Vo_StaticTextConstructor text;
    text.Position().ValueRef() = D3DXVECTOR3(50.0f, 60.0f, 0.0f);
    text.Width().ValueRef() = 81;
    text.Height().ValueRef() = 20;
    text.Transparency().SetValue(50);  // alpha 127
    SpriteParticle p = {};
    p.opacity = 1.0f;
    text.UpdateParticle(p);
    EXPECT_EQ(p.position, D3DXVECTOR3(50.0f, 60.0f, 0.0f));
    EXPECT_FLOAT_EQ(p.halfWidth, 40.5f);
    EXPECT_FLOAT_EQ(p.halfHeight, 10.0f);
    EXPECT_EQ(p.color, 0x7FFF0000u);
}

TEST(StringParam, NotifiesOnlyOnAChangedText)
{
    MediaParamT<vo_string> empty;
    EXPECT_TRUE(empty.Value().empty());
    MediaParamT<vo_string> text(L"abc");
    CountingControlOf<MediaControlT<MediaParamT<vo_string>>> control;
    control.Attach(&text);
    text.SetValue(L"abc");
    EXPECT_EQ(control.Changes(), 0);
    text.SetValue(L"abC");
    EXPECT_EQ(control.Changes(), 1);
    EXPECT_EQ(text.Value(), L"abC");
    text.SetValue(vo_string(L"ab\0C", 4));
    EXPECT_EQ(control.Changes(), 2) << "code units are compared, not C strings";
}
