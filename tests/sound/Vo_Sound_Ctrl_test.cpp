#include "sound/Vo_Sound_Ctrl.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/ClassReaderRegistries.h"
#include "model/IOF_Virtual_Reader.h"
#include "model/Vo_ImageFileLink.h"
#include "runtime/Vo_TimeLineControl.h"
#include "sound/Vo_MP3_Constructor.h"
#include "sound/Vo_Sound.h"
#include "sound/Vo_WAV_Constructor.h"
#include "support/QueuedStream.h"

namespace {

// A timeline record of version 1 in mode 1 with invisible durations 7 and 9 hundredths.
void PushTimelineRecord(QueuedStream& stream)
{
    stream.Push(QueuedStream::String{L"Vo_TimeLineControl"}).Push(QueuedStream::Int{1});
    stream.Push(QueuedStream::Long{1}).Push(QueuedStream::Long{0});
    stream.Push(QueuedStream::UInt{7}).Push(QueuedStream::UInt{9});
    stream.Push(QueuedStream::UInt{300}).Push(QueuedStream::UInt{400});
    stream.Push(QueuedStream::UInt{0}).Push(QueuedStream::UInt{0});
    stream.Push(QueuedStream::Int{0});
}

// The sound-item record of a version, with the base record's version.
void PushSoundRecord(QueuedStream& stream, int32_t version, int32_t baseVersion)
{
    stream.Push(QueuedStream::String{L"Vo_Sound_Ctrl"}).Push(QueuedStream::Int{version});
    stream.Push(QueuedStream::UInt{80}).Push(QueuedStream::UInt{70});
    if (version < 3)
        stream.Push(QueuedStream::Long{1}).Push(QueuedStream::UInt{5}).Push(QueuedStream::UInt{10});
    stream.Push(QueuedStream::String{L"Vo_ABObj_Constructor"}).Push(QueuedStream::Int{baseVersion});
    stream.Push(QueuedStream::String{L"Rain"});
    if (baseVersion >= 2)
        PushTimelineRecord(stream);
}

std::unique_ptr<Vo_ABObj_Constructor> ReadRegistered(const wchar_t* name, QueuedStream& stream)
{
    auto& registry = GetConstructorReaderRegistry();
    EXPECT_TRUE(registry.count(name)) << "not registered";
    if (!registry.count(name))
        return nullptr;
    return std::unique_ptr<Vo_ABObj_Constructor>(registry[name]->CreateObject(stream, 1));
}

}  // namespace

// Both sound items show one picture in an editor: picture 2016 of the resource module, which
// the module's own tests decode.
TEST(Vo_Sound_CtrlTest, PreviewIsTheModulesSoundIcon)
{
    Vo_WAV_Constructor wav;
    Vo_MP3_Constructor mp3;
    const Vo_Sound_Ctrl* items[] = {&wav, &mp3};
    for (const Vo_Sound_Ctrl* item : items) {
        ObjectPreviewInfo info;
        info.frame = 5;  // the flag stays 0: a set flag would make the WAV item play its sound
        info.scale = 2.0f;
        item->GetPreviewInfo(info);
        ASSERT_NE(info.picture, nullptr);
        EXPECT_EQ(info.picture->GetKey(), Vo_ImageFileLink(2016, L"common_res.dll").GetKey());
        EXPECT_EQ(info.frame, 0);
        EXPECT_EQ(info.flag, 0);
        EXPECT_FLOAT_EQ(info.scale, 1.0f);
    }
}

// Records before version 3 carry the timeline's cycle in whole seconds; a timeline in the base
// record replaces it, and version 3 reads no such fields.
TEST(Vo_Sound_CtrlTest, RecordVersionsFillVolumeBalanceAndTimeline)
{
    const struct {
        int32_t version, baseVersion;
        int mode;
        unsigned invisibleMin, invisibleMax;
    } cases[] = {
        {2, 1, 1, 500, 1000},  // old fields, no timeline in the base record
        {1, 1, 1, 500, 1000},
        {2, 2, 1, 7, 9},       // the base record's timeline wins
        {3, 2, 1, 7, 9},
        {3, 1, 0, 100, 100},   // nothing old, no timeline: the defaults stay
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.version << " base " << c.baseVersion);
        QueuedStream stream;
        stream.Push(QueuedStream::String{L"C:\\sounds\\rain.wav"}).Push(QueuedStream::Int64{42});
        PushSoundRecord(stream, c.version, c.baseVersion);
        auto read = ReadRegistered(L"Vo_WAV_Constructor", stream);
        ASSERT_TRUE(read);
        ASSERT_FALSE(stream.Failed());
        EXPECT_EQ(stream.Remaining(), 0u);
        auto* wav = static_cast<Vo_WAV_Constructor*>(read.get());
        EXPECT_EQ(wav->File().GetPath(), L"C:\\sounds\\rain.wav");
        EXPECT_EQ(wav->File().GetKey().Stamp(), 42);
        EXPECT_EQ(wav->Volume().Value(), 80u);
        EXPECT_EQ(wav->Balance().Value(), 70u);
        EXPECT_EQ(wav->Name(), L"Rain");
        EXPECT_EQ(wav->Timeline().Mode().Value(), c.mode);
        EXPECT_EQ(wav->Timeline().InvisibleMinimum().Value(), c.invisibleMin);
        EXPECT_EQ(wav->Timeline().InvisibleMaximum().Value(), c.invisibleMax);
    }
}

TEST(Vo_Sound_CtrlTest, MP3RecordKeepsTheFileAndDefaultsStandForMissingValues)
{
    QueuedStream stream;
    DataBuffer file;
    file.SetName(L"C:\\music\\birds.mp3");
    const uint8_t bytes[] = {1, 2, 3};
    file.SetData(3, bytes);
    stream.Push(QueuedStream::Buffer{file});
    PushSoundRecord(stream, 3, 1);
    auto read = ReadRegistered(L"Vo_MP3_Constructor", stream);
    ASSERT_TRUE(read);
    ASSERT_FALSE(stream.Failed());
    auto* mp3 = static_cast<Vo_MP3_Constructor*>(read.get());
    EXPECT_EQ(mp3->File().Name(), L"C:\\music\\birds.mp3");
    EXPECT_EQ(mp3->File().Size(), 3u);

    std::unique_ptr<Vo_Sound_Ctrl> copy(mp3->Clone());
    auto* clone = static_cast<Vo_MP3_Constructor*>(copy.get());
    EXPECT_EQ(clone->File().Size(), 3u);
    EXPECT_EQ(clone->Volume().Value(), 80u);
    EXPECT_TRUE(clone->TempPath().empty()) << "a copy writes a temporary file of its own";

    Vo_WAV_Constructor fresh;
    EXPECT_EQ(fresh.Volume().Value(), 100u);
    EXPECT_EQ(fresh.Balance().Value(), 50u);
}

TEST(Vo_Sound_CtrlTest, LevelsOfTheGraph)
{
    EXPECT_EQ(Vo_MP3_Constructor::VolumeLevel(100), 0);
    EXPECT_EQ(Vo_MP3_Constructor::VolumeLevel(0), -4000);
    EXPECT_EQ(Vo_MP3_Constructor::VolumeLevel(50), -2000);
    EXPECT_EQ(Vo_MP3_Constructor::BalanceLevel(25), -2000);
    EXPECT_EQ(Vo_MP3_Constructor::BalanceLevel(100), 4000);
    Vo_WAV_Constructor loud;
    loud.Volume().SetValue(1000);
    EXPECT_EQ(loud.ClampedVolume(), 100) << "a stored value beyond the scale plays as its end";
}

namespace {

// Counts what the runtime object asks of its description.
class CountingSound : public Vo_Sound_Ctrl {
public:
    void Prepare() override { ++prepared; }
    void Stop() override { ++stopped; }
    void Update(float) override { ++updated; }
    Vo_Sound_Ctrl* Clone() const override { return new CountingSound(*this); }
    int prepared = 0, stopped = 0, updated = 0;
};

}  // namespace

TEST(Vo_SoundTest, DisablingStopsOnceAndHoldsTheUpdatesUntilEnabled)
{
    CountingSound description;
    std::unique_ptr<Vo_ABObj> object(description.CreateObject());
    auto* sound = static_cast<CountingSound*>(object->Owner());
    ASSERT_NE(sound, &description) << "the object owns a clone";
    EXPECT_EQ(sound->prepared, 1);
    EXPECT_EQ(object->GetKind(), 1);
    EXPECT_FALSE(object->NeedsBackground());

    object->UpdateByTimeline(0.5f);
    EXPECT_EQ(sound->updated, 1);
    object->SetEnabled(0);
    EXPECT_EQ(sound->stopped, 1);
    object->UpdateByTimeline(1.0f);
    object->UpdateByTimeline(1.5f);
    EXPECT_EQ(sound->updated, 1) << "no updates while disabled";
    object->SetEnabled(0x100);  // only the low byte counts: still off
    EXPECT_EQ(sound->stopped, 2);
    object->SetEnabled(1);
    EXPECT_EQ(sound->stopped, 2) << "enabling stops nothing";
    object->UpdateByTimeline(2.0f);
    EXPECT_EQ(sound->updated, 2);
    EXPECT_EQ(object->IsEnabled(), 1) << "the base flag stays set";
}
