#include "host/MusicGraph.h"
#include "host/GraphMusicPlayer.h"
#include "host/MusicTrackCursor.h"
#include "host/SettingsKeyPath.h"
#include "host/SettingsValues.h"
#include "runtime/SoundDevice.h"

#include "support/TestPaths.h"

#include <windows.h>
#include <dshow.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

const UINT kGraphEventMessage = 0x8000;

std::wstring MediaPath(const char* name)
{
    return UnixToWindowsPath(std::string(VO_TEST_MEDIA_DIR) + "/" + name);
}

// Events as the saver window sees them: one fetched per 0x8000 message.
std::vector<int> s_events;
int s_graphMessages = 0;

LRESULT CALLBACK MusicWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kGraphEventMessage) {
        ++s_graphMessages;
        int code = GetMusicEvent();
        if (code != -1)
            s_events.push_back(code);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int CountCompletions()
{
    int count = 0;
    for (int code : s_events)
        count += code == EC_COMPLETE;
    return count;
}

// Pumps messages until the number of completions is reached. The deadline only keeps a broken
// graph from hanging the run; nothing is measured.
bool WaitForCompletions(int count)
{
    const DWORD deadline = GetTickCount() + 20000;
    while (CountCompletions() < count) {
        if (static_cast<int>(GetTickCount() - deadline) > 0)
            return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(10);
    }
    return true;
}

// The files that the graph's source filters read.
std::vector<std::wstring> GraphSourceFiles()
{
    std::vector<std::wstring> files;
    ComRef<IEnumFilters> filters;
    if (!MusicGraph.Builder() || FAILED(MusicGraph.Builder()->EnumFilters(filters.Receive())))
        return files;
    IBaseFilter* filter = nullptr;
    while (filters->Next(1, &filter, nullptr) == S_OK) {
        ComRef<IBaseFilter> held;
        held.Attach(filter);
        ComRef<IFileSourceFilter> source;
        LPOLESTR name = nullptr;
        if (SUCCEEDED(held->QueryInterface(IID_IFileSourceFilter,
                                           reinterpret_cast<void**>(source.Receive()))) &&
            SUCCEEDED(source->GetCurFile(&name, nullptr)) && name) {
            files.push_back(name);
            CoTaskMemFree(name);
        }
    }
    return files;
}

long GraphVolume()
{
    long volume = 1;
    if (!MusicGraph.Audio() || FAILED(MusicGraph.Audio()->get_Volume(&volume)))
        return 1;
    return volume;
}

class MusicGraphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = MusicWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"MusicGraphTest";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(0, L"MusicGraphTest", L"music", WS_POPUP, 0, 0, 8, 8, nullptr,
                                   nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(m_window, nullptr);
        s_events.clear();
        s_graphMessages = 0;
        MusicVolume = 100;
        MusicMute = 0;
        ASSERT_EQ(InitMusicGraph(m_window), 1);
    }
    void TearDown() override
    {
        ReleaseMusicGraph();
        DestroyWindow(m_window);
    }
    HWND m_window = nullptr;
};

}  // namespace

TEST(MusicVolumeLevelTest, MapsVolumeAndMuteToHundredthsOfADecibel)
{
    struct Case {
        int volume;
        bool mute;
        long level;
    };
    const Case cases[] = {
        {100, false, 0},
        {50, false, -2000},
        {1, false, -3960},
        // The scale ends at -40 dB: volume 0 is quiet, mute is silent.
        {0, false, -4000},
        {100, true, -10000},
        {0, true, -10000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MusicVolumeLevel(c.volume, c.mute), c.level)
            << "volume " << c.volume << " mute " << c.mute;
}

TEST_F(MusicGraphTest, CompletionArrivesAsWindowMessageAndTheNextTrackPlays)
{
    const std::wstring first = MediaPath("tone_a.mp3");
    const std::wstring second = MediaPath("tone_b.mp3");
    ASSERT_TRUE(PlayMusicFile(first.c_str()));
    ASSERT_TRUE(WaitForCompletions(1));
    EXPECT_GT(s_graphMessages, 0);

    ASSERT_TRUE(PlayMusicFile(second.c_str()));
    // The finished track's source is gone from the graph, so its file is no longer held open.
    EXPECT_EQ(GraphSourceFiles(), std::vector<std::wstring>{second});
    ASSERT_TRUE(WaitForCompletions(2));

    // Rewinding plays the same track to its end once more.
    RewindMusic();
    EXPECT_TRUE(WaitForCompletions(3));
    EXPECT_EQ(GraphSourceFiles(), std::vector<std::wstring>{second});
}

TEST_F(MusicGraphTest, VolumeAndMuteReachTheGraph)
{
    const std::wstring track = MediaPath("tone_b.mp3");
    ASSERT_TRUE(PlayMusicFile(track.c_str()));
    struct Case {
        int volume;
        bool mute;
        long level;
    };
    const Case cases[] = {{50, false, -2000}, {50, true, -10000}, {0, false, -4000},
                          {100, false, 0}};
    for (const Case& c : cases) {
        MusicVolume = c.volume;
        SetMusicVolume(c.mute);
        EXPECT_EQ(GraphVolume(), c.level) << "volume " << c.volume << " mute " << c.mute;
    }
}

TEST_F(MusicGraphTest, FilterCountStaysBoundedOverManyTracks)
{
    const std::wstring tracks[] = {MediaPath("tone_a.mp3"), MediaPath("tone_b.mp3"),
                                   MediaPath("tone_c.wav")};
    ASSERT_TRUE(PlayMusicFile(tracks[0].c_str()));
    const int afterFirstTrack = MusicGraph.CountFilters();
    int most = afterFirstTrack;
    for (int i = 1; i < 15; ++i) {
        ASSERT_TRUE(PlayMusicFile(tracks[i % 3].c_str())) << "track " << i;
        most = std::max(most, MusicGraph.CountFilters());
    }
    // A WAV and an MP3 chain may differ by a parser, never by one filter per track.
    EXPECT_LE(most, afterFirstTrack + 2);
    EXPECT_EQ(GraphSourceFiles(), std::vector<std::wstring>{tracks[14 % 3]});
}

TEST_F(MusicGraphTest, FileThatCannotPlayIsSilenceAndTheNextStillPlays)
{
    const std::wstring missing = MediaPath("no_such_track.mp3");
    const std::wstring notAudio = UnixToWindowsPath(std::string(VO_TEST_MEDIA_DIR));
    EXPECT_FALSE(PlayMusicFile(missing.c_str()));
    EXPECT_EQ(RenderMusicFile(missing.c_str()), 0);
    EXPECT_FALSE(PlayMusicFile(notAudio.c_str()));
    EXPECT_FALSE(RenderMusicSourcePin(nullptr));

    const std::wstring track = MediaPath("tone_a.mp3");
    ASSERT_TRUE(PlayMusicFile(track.c_str()));
    EXPECT_TRUE(WaitForCompletions(1));
}

TEST_F(MusicGraphTest, ReleasedGraphMakesEveryCallANoOp)
{
    const std::wstring track = MediaPath("tone_a.mp3");
    ASSERT_TRUE(PlayMusicFile(track.c_str()));
    ReleaseMusicGraph();
    EXPECT_EQ(MusicGraph.Builder(), nullptr);
    EXPECT_EQ(MusicGraph.Audio(), nullptr);
    EXPECT_FALSE(PlayMusicFile(track.c_str()));
    EXPECT_EQ(RenderMusicFile(track.c_str()), 0);
    EXPECT_EQ(GetMusicEvent(), -1);
    RewindMusic();
    SetMusicVolume(true);
    ReleaseMusicGraph();

    // A graph message that arrives late finds no event.
    PostMessageW(m_window, kGraphEventMessage, 0, 0);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    EXPECT_TRUE(s_events.empty());
}

// The scene host's player over the real graph: tracks switch on the graph's own completion
// events, and the stored sound settings reach the graph right after each track starts.
TEST_F(MusicGraphTest, TrackOrderRunsOnRealCompletionsWithStoredSettings)
{
    wchar_t savedPath[260] = {};
    std::wcscpy(savedPath, SettingsKeyPath);
    std::wcscpy(SettingsKeyPath, L"Software\\GlimmerSaverMusicTests\\Settings\\");
    WriteRegistryValue(50, kSoundVolumeValue);
    WriteRegistryValue(0, kMuteSoundValue);

    GraphMusicPlayer player;
    MusicTrackCursor cursor;
    const std::wstring first = MediaPath("tone_a.mp3");
    const std::wstring second = MediaPath("tone_b.mp3");
    cursor.Start({first, second}, player);
    EXPECT_EQ(GraphSourceFiles(), std::vector<std::wstring>{first});
    EXPECT_EQ(GraphVolume(), -2000);

    WriteRegistryValue(1, kMuteSoundValue);
    size_t handled = 0;
    for (int completions = 1; completions <= 2; ++completions) {
        ASSERT_TRUE(WaitForCompletions(completions));
        for (; handled < s_events.size(); ++handled)
            cursor.OnMusicEvent(s_events[handled], player);
    }
    // Two completions: the second track, then the first again, muted since the setting changed.
    EXPECT_EQ(GraphSourceFiles(), std::vector<std::wstring>{first});
    EXPECT_EQ(GraphVolume(), -10000);

    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\GlimmerSaverMusicTests");
    std::wcscpy(SettingsKeyPath, savedPath);
}

// Without a sound server neither DirectSound nor DirectShow has a device. The test list runs
// this case once more as its own test, with the sound server pointed nowhere and
// VO_NO_AUDIO_DEVICE set; in the ordinary run it has nothing to show and skips. Its exit code
// also covers the releases at process exit.
TEST(NoAudioDeviceTest, SoundAndMusicStaySilentWithoutError)
{
    if (!GetEnvironmentVariableW(L"VO_NO_AUDIO_DEVICE", nullptr, 0))
        GTEST_SKIP() << "runs as the test NoAudioDevice, without a sound server";
    HWND window = CreateWindowExW(0, L"STATIC", L"silent", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(CreateDirectSound(window));
    EXPECT_EQ(PrimarySoundBuffer, nullptr);

    // The graph itself needs no device; playing through it fails quietly.
    ASSERT_EQ(InitMusicGraph(window), 1);
    const std::wstring track = MediaPath("tone_a.mp3");
    EXPECT_FALSE(PlayMusicFile(track.c_str()));
    EXPECT_EQ(GetMusicEvent(), -1);
    SetMusicVolume(false);
    RewindMusic();
    // The graph and the sound objects are left for the process exit to release.
}

// Ends the process with the sound device, its primary buffer and a playing music graph still
// made: the releases at exit must take them down in order and the process must end cleanly. The
// test list runs it as the test ExitWhilePlaying with VO_EXIT_WHILE_PLAYING set.
TEST(ExitWhilePlayingTest, SoundObjectsAndPlayingGraphAreLeftForTheExit)
{
    if (!GetEnvironmentVariableW(L"VO_EXIT_WHILE_PLAYING", nullptr, 0))
        GTEST_SKIP() << "runs as the test ExitWhilePlaying";
    HWND window = CreateWindowExW(0, L"STATIC", L"playing", WS_POPUP, 0, 0, 8, 8, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(CreateDirectSound(window));
    ASSERT_EQ(InitMusicGraph(window), 1);
    const std::wstring track = MediaPath("tone_b.mp3");
    ASSERT_TRUE(PlayMusicFile(track.c_str()));
}
