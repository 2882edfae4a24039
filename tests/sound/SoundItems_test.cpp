// The sound items on the real DirectSound device and DirectShow graphs; the test environment
// plays into a PulseAudio null sink.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>
#include <dshow.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "runtime/SoundDevice.h"
#include "runtime/Vo_TimeLineControl.h"
#include "sound/Vo_MP3_Constructor.h"
#include "sound/Vo_WAV_Constructor.h"
#include "sound/WaveData.h"
#include "support/TestPaths.h"
#include "support/WaveBytes.h"

namespace {

// Puts a timeline into interval mode with one visible stretch from 0 to 10 s, so that the test
// chooses the state by the clock: 5 s is visible, 20 s invisible.
void UseVisibleStretch(Vo_TimeLineControl& timeline)
{
    timeline.Mode().ValueRef() = Vo_TimeLineControl::kIntervals;
    ASSERT_TRUE(timeline.InsertInterval(TimeInterval{0.0f, 10.0f, 0.0f, 10.0f}));
}
const float kVisible = 5.0f;
const float kInvisible = 20.0f;

class SoundItemsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window = CreateWindowExW(0, L"STATIC", L"sound", WS_POPUP, 0, 0, 8, 8, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_window, nullptr);
        // The environment always has a sound server; no device here is a broken environment.
        ASSERT_TRUE(CreateDirectSound(m_window)) << "no audio device: is PulseAudio running?";
    }
    void TearDown() override
    {
        ReleasePrimarySoundBuffer();
        ReleaseSoundDevice();
        DestroyWindow(m_window);
    }

    static DWORD Status(const Vo_WAV_Constructor& item)
    {
        DWORD status = 0;
        EXPECT_EQ(item.Buffer()->GetStatus(&status), DS_OK);
        return status;
    }

    HWND m_window = nullptr;
};

WaveData OneSecondOfSilence()
{
    const std::vector<uint8_t> bytes = MakeWaveBytes(44100 * 4, 2, 16, 44100 * 4);
    WaveData wave;
    EXPECT_TRUE(ParseWaveData(bytes.data(), static_cast<uint32_t>(bytes.size()), wave));
    return wave;
}

std::vector<uint8_t> ReadMedia(const std::string& name)
{
    return ReadFileBytes(UnixToWindowsPath(std::string(VO_TEST_MEDIA_DIR) + "/" + name));
}

}  // namespace

TEST_F(SoundItemsTest, AlwaysVisibleWavLoopsUntilItsTimelineHidesIt)
{
    Vo_WAV_Constructor item;
    item.Volume().ValueRef() = 80;
    item.Balance().ValueRef() = 70;
    ASSERT_TRUE(item.LoadBuffer(OneSecondOfSilence()));
    item.Prepare();
    LONG volume = 0, pan = 0;
    item.Buffer()->GetVolume(&volume);
    item.Buffer()->GetPan(&pan);
    EXPECT_EQ(volume, -1000);
    EXPECT_EQ(pan, 2000);

    item.Update(0.0f);
    EXPECT_EQ(Status(item) & (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING),
              static_cast<DWORD>(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING));

    // The same item turned invisible: a looping sound stops.
    UseVisibleStretch(item.Timeline());
    item.Timeline().SetIntervalTime(kInvisible);
    item.Update(kInvisible);
    EXPECT_FALSE(Status(item) & DSBSTATUS_PLAYING);
    item.Update(kInvisible);
    EXPECT_FALSE(Status(item) & DSBSTATUS_PLAYING) << "invisible: nothing starts it";
}

TEST_F(SoundItemsTest, OneShotIsNotCutWhenItsTimelineHidesIt)
{
    Vo_WAV_Constructor item;
    ASSERT_TRUE(item.LoadBuffer(OneSecondOfSilence()));
    UseVisibleStretch(item.Timeline());
    item.Timeline().SetIntervalTime(kVisible);
    item.Update(kVisible);
    const DWORD playing = Status(item);
    EXPECT_TRUE(playing & DSBSTATUS_PLAYING);
    EXPECT_FALSE(playing & DSBSTATUS_LOOPING);
    item.Timeline().SetIntervalTime(kInvisible);
    item.Update(kInvisible);
    EXPECT_TRUE(Status(item) & DSBSTATUS_PLAYING) << "a sound playing once plays to its end";
    item.Stop();
    EXPECT_FALSE(Status(item) & DSBSTATUS_PLAYING);
}

TEST_F(SoundItemsTest, CopiesShareTheBufferAndNothingFailsWithoutOne)
{
    Vo_WAV_Constructor item;
    ASSERT_TRUE(item.LoadBuffer(OneSecondOfSilence()));
    std::unique_ptr<Vo_Sound_Ctrl> copy(item.Clone());
    EXPECT_EQ(static_cast<Vo_WAV_Constructor*>(copy.get())->Buffer(), item.Buffer());

    // No store and no bytes: silent, and every step does nothing.
    Vo_WAV_Constructor silent;
    EXPECT_FALSE(silent.LoadBuffer());
    silent.Prepare();
    silent.Update(0.0f);
    silent.Stop();
    EXPECT_EQ(silent.Buffer(), nullptr);
    EXPECT_FALSE(silent.LoadBuffer(WaveData()));
}

TEST_F(SoundItemsTest, Mp3PlaysAnOwnTemporaryCopyByItsTimeline)
{
    std::vector<uint8_t> bytes = ReadMedia("tone_d.mp3");
    ASSERT_FALSE(bytes.empty());
    vo_string copyPath;
    {
        Vo_MP3_Constructor description;
        description.File().SetName(L"C:\\Users\\maker\\Music\\tone_d.mp3");
        description.File().SetData(static_cast<uint32_t>(bytes.size()), bytes.data());
        description.Volume().ValueRef() = 50;
        description.Balance().ValueRef() = 25;
        std::unique_ptr<Vo_Sound_Ctrl> owned(description.Clone());
        auto* item = static_cast<Vo_MP3_Constructor*>(owned.get());
        item->Prepare();

        copyPath = item->TempPath();
        ASSERT_FALSE(copyPath.empty());
        EXPECT_NE(copyPath.find(L"tone_d~"), vo_string::npos) << "the stored name, marked";
        EXPECT_EQ(copyPath.substr(copyPath.size() - 4), L".mp3");
        EXPECT_NE(GetFileAttributesW(copyPath.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(item->Timeline().VisibleMinimum().Value(), 200u) << "2.5 s in whole seconds";
        EXPECT_EQ(item->Timeline().VisibleMaximum().Value(), 200u);

        OAFilterState state = State_Running;
        ASSERT_NE(item->Graph().Control(), nullptr);
        item->Graph().Control()->GetState(1000, &state);
        EXPECT_EQ(state, State_Stopped) << "prepared, not playing";

        item->Update(0.0f);  // always visible
        item->Graph().Control()->GetState(1000, &state);
        EXPECT_EQ(state, State_Running);
        long volume = 0, balance = 0;
        item->Graph().Audio()->get_Volume(&volume);
        item->Graph().Audio()->get_Balance(&balance);
        EXPECT_EQ(volume, -2000);
        EXPECT_EQ(balance, -2000);

        UseVisibleStretch(item->Timeline());
        item->Timeline().SetIntervalTime(kInvisible);
        item->Update(kInvisible);
        item->Graph().Control()->GetState(1000, &state);
        EXPECT_EQ(state, State_Stopped);

        // A second item of the same file has a copy of its own.
        std::unique_ptr<Vo_Sound_Ctrl> second(description.Clone());
        second->Prepare();
        EXPECT_NE(static_cast<Vo_MP3_Constructor*>(second.get())->TempPath(), copyPath);
    }
    EXPECT_EQ(GetFileAttributesW(copyPath.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the copy goes with its item";
}

namespace {

// An MP3 item that counts how often its graph's chain is built.
struct CountingMp3 : Vo_MP3_Constructor {
    int renders = 0;
    bool RenderSourcePin(IBaseFilter* source) override
    {
        ++renders;
        return Vo_MP3_Constructor::RenderSourcePin(source);
    }
};

OAFilterState GraphState(Vo_MP3_Constructor& item)
{
    OAFilterState state = -1;
    EXPECT_NE(item.Graph().Control(), nullptr);
    if (item.Graph().Control())
        EXPECT_EQ(item.Graph().Control()->GetState(1000, &state), S_OK);
    return state;
}

}  // namespace

// Bytes that no decoder takes: the item is silent and does not rebuild its graph every frame.
TEST_F(SoundItemsTest, Mp3ThatCannotBeRenderedIsNotTriedAgainEveryFrame)
{
    CountingMp3 item;
    item.File().SetName(L"C:\\Users\\maker\\Music\\noise.mp3");
    const std::vector<uint8_t> noise(4096, 0x55);
    item.File().SetData(static_cast<uint32_t>(noise.size()), noise.data());
    item.Prepare();
    ASSERT_FALSE(item.TempPath().empty()) << "the copy is written";
    ASSERT_NE(item.Graph().Control(), nullptr);
    EXPECT_EQ(item.renders, 1);

    for (int frame = 0; frame < 3; ++frame)
        item.Update(0.0f);  // always visible
    EXPECT_EQ(item.renders, 1);
    OAFilterState state = State_Running;
    item.Graph().Control()->GetState(1000, &state);
    EXPECT_EQ(state, State_Stopped);
}

// A file that has played to its end starts again from its start in the next frame, on the chain
// its graph already holds: a restart builds nothing (which would cost the frame hundreds of
// DirectShow calls and the heap).
TEST_F(SoundItemsTest, Mp3AtItsEndStartsAgainWithoutBuildingItsChainAgain)
{
    const std::vector<uint8_t> bytes = ReadMedia("tone_d.mp3");
    ASSERT_FALSE(bytes.empty());
    CountingMp3 item;
    item.File().SetName(L"C:\\Users\\maker\\Music\\tone_d.mp3");
    item.File().SetData(static_cast<uint32_t>(bytes.size()), bytes.data());
    item.Prepare();
    ASSERT_EQ(item.renders, 1);
    IMediaSeeking* seeking = item.Graph().Seeking();
    ASSERT_NE(seeking, nullptr);
    LONGLONG duration = 0;
    ASSERT_EQ(seeking->GetDuration(&duration), S_OK);
    ASSERT_GT(duration, 20000000) << "2.5 s in 100-ns units";
    const int filters = item.Graph().CountFilters();

    item.Update(0.0f);  // always visible: plays
    EXPECT_EQ(GraphState(item), State_Running);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        // At the file's end the next frame stops it, and the frame after starts it again.
        LONGLONG end = duration;
        ASSERT_EQ(seeking->SetPositions(&end, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning),
                  S_OK);
        item.Update(0.0f);
        EXPECT_EQ(GraphState(item), State_Stopped);
        item.Update(0.0f);
        EXPECT_EQ(GraphState(item), State_Running);
        LONGLONG current = -1, stop = -1;
        ASSERT_EQ(seeking->GetPositions(&current, &stop), S_OK);
        EXPECT_LT(current, duration / 2) << "from its start";
        EXPECT_EQ(stop, duration);
    }
    EXPECT_EQ(item.renders, 1) << "the chain is built once, by Prepare";
    EXPECT_EQ(item.Graph().CountFilters(), filters);
}

TEST_F(SoundItemsTest, Mp3WithANameThatNamesNoFileStaysSilent)
{
    for (const wchar_t* name : {L"", L"C:\\music\\..", L"C:\\music\\a:b.mp3", L"C:\\music\\"}) {
        SCOPED_TRACE(testing::Message() << "name " << std::wstring(name).size());
        Vo_MP3_Constructor item;
        item.File().SetName(name);
        const uint8_t bytes[] = {0xFF, 0xFB, 0x90, 0x00};
        item.File().SetData(4, bytes);
        item.Prepare();
        EXPECT_TRUE(item.TempPath().empty());
        item.Update(0.0f);
        OAFilterState state = State_Running;
        if (item.Graph().Control())
            item.Graph().Control()->GetState(1000, &state);
        EXPECT_EQ(state, State_Stopped);
    }
}
