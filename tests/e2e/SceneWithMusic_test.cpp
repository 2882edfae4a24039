// The saver with a scene document of its own (two slides, two music tracks) run as Windows
// would start it: what the window shows, what the sound server hears, which files the run
// leaves behind, and how the stored settings change both.
#include "support/PreviewParent.h"
#include "support/ProcessRunner.h"
#include "support/SavedRegistryValue.h"
#include "support/SaverWindows.h"
#include "support/SinkRecording.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cwchar>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The file names under which the document stores its two tracks: low 440 Hz for 0.4 s, high
// 660 Hz for 0.6 s.
const wchar_t* const kTrackNames[] = {L"glimmer_e2e_low.mp3", L"glimmer_e2e_high.mp3"};
const double kLowTone = 440.0;
const double kHighTone = 660.0;

const uint32_t kRed = 0xFF0000;
const uint32_t kBlue = 0x0000FF;
const uint32_t kBlack = 0x000000;
// The document's border picture is the resource module's picture 6, almost black brown.
const int kBorderTolerance = 40;

std::wstring SceneSaver() { return BuiltProgramPath(L"GlimmerSaverScene.scr"); }

HWND FirstSaverWindow(DWORD pid)
{
    const std::vector<HWND> windows = TopWindows(pid, kSaverClass);
    return windows.empty() ? nullptr : windows.front();
}

bool Near(uint32_t pixel, uint32_t expected, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = static_cast<int>((pixel >> shift) & 0xFF);
        const int b = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - b) > tolerance)
            return false;
    }
    return true;
}

// The share of a rectangle's pixels (every fourth in each direction) near the colour.
double ShareNear(const ScreenPixels& c, RECT r, uint32_t colour, int tolerance = 24)
{
    int total = 0, matching = 0;
    for (int y = r.top; y < r.bottom && y < c.height; y += 4)
        for (int x = r.left; x < r.right && x < c.width; x += 4) {
            ++total;
            matching += Near(c.At(x, y), colour, tolerance) ? 1 : 0;
        }
    return total ? static_cast<double>(matching) / total : 0.0;
}

RECT Whole(const ScreenPixels& c) { return RECT{0, 0, c.width, c.height}; }

// The splash: the program's loading picture, black with a small grey notice in its middle,
// drawn in a centred square two thirds of the height high, on black.
bool ShowsSplash(const ScreenPixels& c)
{
    if (c.pixels.empty())
        return false;
    int grey = 0;
    for (int y = c.height * 2 / 5; y < c.height * 3 / 5; ++y)
        for (int x = c.width / 3; x < c.width * 2 / 3; ++x) {
            const uint32_t p = c.At(x, y);
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (r > 60 && std::abs(r - g) < 16 && std::abs(r - b) < 16)
                ++grey;
        }
    return grey >= 20 && ShareNear(c, RECT{0, 0, c.width, c.height / 4}, kBlack, 8) == 1.0 &&
           ShareNear(c, RECT{0, c.height * 3 / 4, c.width, c.height}, kBlack, 8) == 1.0;
}

bool FilledWith(const ScreenPixels& c, uint32_t colour)
{
    return !c.pixels.empty() && ShareNear(c, Whole(c), colour) > 0.99;
}

std::string Describe(const ScreenPixels& c)
{
    if (c.pixels.empty())
        return "nothing captured";
    char text[160];
    std::snprintf(text, sizeof(text), "%dx%d, corner %06X, centre %06X, red %.2f, blue %.2f",
                  c.width, c.height, c.At(2, 2), c.At(c.width / 2, c.height / 2),
                  ShareNear(c, Whole(c), kRed), ShareNear(c, Whole(c), kBlue));
    return text;
}

std::wstring TemporaryCopy(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The tones of the recording in the order they played, one letter per stretch of 46 ms blocks
// that are a clear tone: L the low track, H the high one; silence between tracks is left out.
std::string ToneSequence(const std::vector<int16_t>& samples)
{
    const size_t n = 2048;
    std::string sequence;
    for (size_t start = 0; start + n <= samples.size(); start += n) {
        const int16_t* block = samples.data() + start;
        if (Rms(std::vector<int16_t>(block, block + n)) < 300.0)
            continue;
        char tone = 0;
        if (ToneShare(block, n, kLowTone) > 0.5)
            tone = 'L';
        else if (ToneShare(block, n, kHighTone) > 0.5)
            tone = 'H';
        if (tone && (sequence.empty() || sequence.back() != tone))
            sequence += tone;
    }
    return sequence;
}

int Peak(const std::vector<int16_t>& samples)
{
    int peak = 0;
    for (int16_t s : samples)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

// The level of the music while a track plays: blocks between tracks are silent, and how many
// fall into a recording varies, so the level is that of the block at the 75th percentile.
double PlayingLevel(const std::vector<int16_t>& samples)
{
    const size_t n = 2048;
    std::vector<double> levels;
    for (size_t start = 0; start + n <= samples.size(); start += n)
        levels.push_back(Rms(std::vector<int16_t>(samples.begin() + start,
                                                  samples.begin() + start + n)));
    if (levels.empty())
        return 0.0;
    std::sort(levels.begin(), levels.end());
    return levels[levels.size() * 3 / 4];
}

// The stored settings that a scene run reads, set for the run and restored afterwards.
class StoredSettings {
public:
    StoredSettings(int picturePosition, int volume, int mute)
    {
        Write(L"\"PicPos\"", picturePosition);
        Write(L"\"SoundVolume\"", volume);
        Write(L"\"MuteSound\"", mute);
    }

private:
    static void Write(const wchar_t* name, int value)
    {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kSaverSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        const DWORD data = static_cast<DWORD>(value);
        RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
        RegCloseKey(key);
    }

    SavedRegistryValue m_picture{HKEY_CURRENT_USER, kSaverSettingsKey, L"\"PicPos\""};
    SavedRegistryValue m_volume{HKEY_CURRENT_USER, kSaverSettingsKey, L"\"SoundVolume\""};
    SavedRegistryValue m_mute{HKEY_CURRENT_USER, kSaverSettingsKey, L"\"MuteSound\""};
};

// One run of the scene saver in a mode, up to the first slide on the screen.
class SceneRun {
public:
    // A preview runs in a child window of the given parent. A run beside another one keeps the
    // track copies that the other may have made.
    explicit SceneRun(const std::wstring& mode, HWND previewParent = nullptr, bool alone = true)
    {
        if (alone)
            for (const wchar_t* name : kTrackNames)
                DeleteFileW(TemporaryCopy(name).c_str());
        if (!m_runner.Start(SceneSaver(), mode))
            return;
        WaitFor([&] {
            m_window = previewParent ? FindWindowExW(previewParent, nullptr, kSaverClass, nullptr)
                                     : FirstSaverWindow(m_runner.ProcessId());
            return m_window != nullptr;
        });
        // Wine does not show on the screen what Direct3D draws into a child window of another
        // process's window, so a preview is not watched.
        if (!m_window || previewParent)
            return;
        // Every capture until the first slide shows, as one letter each: what came before it.
        // Captures follow each other without a pause, so that the splash, which shows while
        // the scene loads, is seen.
        const ULONGLONG end = GetTickCount64() + 30000;
        while (!m_sceneShown && GetTickCount64() < end) {
            m_last = CaptureClientArea(m_window);
            if (ShowsSplash(m_last)) {
                m_sequence += 'S';
            } else if (ShareNear(m_last, Whole(m_last), kRed) > 0.3) {
                m_sequence += 'R';
                m_sceneShown = true;
            } else {
                m_sequence += ShareNear(m_last, Whole(m_last), kBlack, 8) == 1.0 ? 'B' : '?';
            }
        }
        if (!m_sceneShown)
            TakeScreenshot(TestArtifactsDir() + "\\scene-not-shown.png");
    }

    HWND Window() const { return m_window; }
    bool SceneShown() const { return m_sceneShown; }
    // What the captures until the first slide showed: S the splash, B black, R the first
    // slide, ? anything else.
    const std::string& Sequence() const { return m_sequence; }
    const ScreenPixels& Last() const { return m_last; }
    bool Running() const { return m_runner.Running(); }

    // Ends the run the way its mode ends and returns how the process ended.
    ProcessResult End(UINT message, WPARAM wParam) { return End(m_window, message, wParam); }
    ProcessResult End(HWND window, UINT message, WPARAM wParam)
    {
        PostMessageW(window, message, wParam, 0);
        return m_runner.Wait(kRunTimeoutMs);
    }

private:
    ProcessRunner m_runner;
    HWND m_window = nullptr;
    ScreenPixels m_last;
    bool m_sceneShown = false;
    std::string m_sequence;
};

// What the sink plays while the scene runs in the test window with the stored
// sound settings.
std::vector<int16_t> RecordSceneMusic(int volume, int mute)
{
    StoredSettings settings(2, volume, mute);
    SceneRun run(L"/t");
    EXPECT_TRUE(run.SceneShown()) << Describe(run.Last());
    const std::vector<int16_t> samples = RecordSink(3.0);
    EXPECT_GT(samples.size(), static_cast<size_t>(kSampleRate / 2));
    ProcessResult r = run.End(WM_CLOSE, 0);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    return samples;
}

}  // namespace

TEST(SceneWithMusicTest, TestWindowShowsTheSplashThenTheSlidesInTurnAndEndsCleanly)
{
    StoredSettings settings(2, 100, 0);
    SceneRun run(L"/t");
    ASSERT_NE(run.Window(), nullptr);
    ASSERT_TRUE(run.SceneShown()) << Describe(run.Last());
    // The splash shows first; the frame that starts the scene presents black, never what the
    // back buffer held before.
    const std::string& seen = run.Sequence();
    const size_t splash = seen.find('S');
    ASSERT_NE(splash, std::string::npos) << seen;
    EXPECT_EQ(seen.find_first_not_of("SB", splash), seen.size() - 1) << seen;

    // Fill: the red picture covers the whole window once its slide has faded in.
    ScreenPixels red;
    EXPECT_TRUE(WaitFor([&] { return FilledWith(red = CaptureClientArea(run.Window()), kRed); }))
        << Describe(red);
    // After its three seconds and the fades the blue slide follows.
    ScreenPixels blue;
    EXPECT_TRUE(WaitFor([&] { return FilledWith(blue = CaptureClientArea(run.Window()), kBlue); }))
        << Describe(blue);

    // The tracks are played from copies in the temporary folder, which go with the run.
    for (const wchar_t* name : kTrackNames)
        EXPECT_TRUE(Exists(TemporaryCopy(name))) << testing::PrintToString(std::wstring(name));
    ProcessResult r = run.End(WM_CLOSE, 0);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    for (const wchar_t* name : kTrackNames)
        EXPECT_FALSE(Exists(TemporaryCopy(name))) << testing::PrintToString(std::wstring(name));
}

TEST(SceneWithMusicTest, MusicTracksTakeTurnsAndWrapToTheFirst)
{
    StoredSettings settings(2, 100, 0);
    SceneRun run(L"/t");
    ASSERT_TRUE(run.SceneShown()) << Describe(run.Last());

    // The tracks take turns, low then high, and after the last the first plays again; starting
    // a track takes the graph a moment, so the recording spans several seconds.
    const std::vector<int16_t> samples = RecordSink(5.0);
    ASSERT_GT(samples.size(), static_cast<size_t>(kSampleRate * 2));
    const std::string tones = ToneSequence(samples);
    EXPECT_NE(tones.find("LH"), std::string::npos) << tones << ", rms " << Rms(samples);
    EXPECT_NE(tones.find("HL"), std::string::npos) << tones << ", rms " << Rms(samples);

    ProcessResult r = run.End(WM_CLOSE, 0);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

TEST(SceneWithMusicTest, StoredVolumeAndMuteReachTheMusic)
{
    // Levels against full volume: the stored volume turns both the music graph down (40 dB
    // over the scale) and the primary sound buffer (50 dB over the scale).
    const double full = PlayingLevel(RecordSceneMusic(100, 0));
    ASSERT_GT(full, 3000.0);
    struct Case {
        int volume;
        double minDb;
        double maxDb;
    };
    const Case cases[] = {
        {50, -48.0, -42.0},  // -20 dB and -25 dB
        {0, -1000.0, -70.0},  // -40 dB and -50 dB: at the last bit of 16
    };
    for (const Case& c : cases) {
        const double level = PlayingLevel(RecordSceneMusic(c.volume, 0));
        const double db = 20.0 * std::log10(std::max(level, 1e-6) / full);
        EXPECT_GE(db, c.minDb) << "volume " << c.volume << ": " << level << " against " << full;
        EXPECT_LE(db, c.maxDb) << "volume " << c.volume << ": " << level << " against " << full;
    }
    // Mute at full volume: nothing at all reaches the sink.
    const std::vector<int16_t> muted = RecordSceneMusic(100, 1);
    EXPECT_LE(Peak(muted), 2) << "rms " << Rms(muted);
}

TEST(SceneWithMusicTest, StoredFitPositionLeavesBarsBesideTheSquarePicture)
{
    StoredSettings settings(1, 100, 1);
    SceneRun run(L"/t");
    ASSERT_TRUE(run.SceneShown()) << Describe(run.Last());
    // A square picture fitted into 600 x 400: 400 x 400 in the middle, the border picture beside
    // it.
    ScreenPixels c;
    EXPECT_TRUE(WaitFor([&] {
        c = CaptureClientArea(run.Window());
        return ShareNear(c, RECT{110, 10, 490, 390}, kRed) > 0.99;
    })) << Describe(c);
    EXPECT_GT(ShareNear(c, RECT{0, 0, 90, 400}, kBlack, kBorderTolerance), 0.99) << Describe(c);
    EXPECT_GT(ShareNear(c, RECT{510, 0, 600, 400}, kBlack, kBorderTolerance), 0.99) << Describe(c);
    ProcessResult r = run.End(WM_CLOSE, 0);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

TEST(SceneWithMusicTest, PreviewStartsTheSceneWithoutMusicAndEndsWithItsParent)
{
    StoredSettings settings(2, 100, 0);
    PreviewParent parent;
    ASSERT_NE(parent.Window(), nullptr);
    SceneRun run(parent.PreviewMode(), parent.Window());
    ASSERT_NE(run.Window(), nullptr);
    // The scene has started once its tracks are written out; only the full-screen saver and the
    // test window play them.
    ASSERT_TRUE(WaitFor([&] { return Exists(TemporaryCopy(kTrackNames[1])); }));
    const std::vector<int16_t> samples = RecordSink(3.0);
    ASSERT_GT(samples.size(), static_cast<size_t>(kSampleRate / 2));
    EXPECT_LE(Peak(samples), 2) << "rms " << Rms(samples);

    ProcessResult r = run.End(parent.Window(), WM_APP, 0);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    for (const wchar_t* name : kTrackNames)
        EXPECT_FALSE(Exists(TemporaryCopy(name))) << testing::PrintToString(std::wstring(name));
}

// The display control panel's preview may still run when the full-screen saver of the same
// scene starts. Both play from the same track copies; the preview's end must leave the copies
// that the saver plays, so its music goes on from track to track, and the copies go with the
// saver.
TEST(SceneWithMusicTest, APreviewBesideTheSaverLeavesTheSaversTracksAlone)
{
    StoredSettings settings(2, 100, 0);
    PreviewParent parent;
    ASSERT_NE(parent.Window(), nullptr);
    SceneRun preview(parent.PreviewMode(), parent.Window());
    ASSERT_NE(preview.Window(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return Exists(TemporaryCopy(kTrackNames[1])); }));

    SceneRun saver(L"/s", nullptr, false);
    ASSERT_TRUE(saver.SceneShown()) << Describe(saver.Last());
    ProcessResult previewEnd = preview.End(parent.Window(), WM_APP, 0);
    EXPECT_FALSE(previewEnd.timedOut);
    EXPECT_EQ(previewEnd.exitCode, 0u) << previewEnd.output;
    for (const wchar_t* name : kTrackNames)
        EXPECT_TRUE(Exists(TemporaryCopy(name))) << testing::PrintToString(std::wstring(name));

    const std::vector<int16_t> samples = RecordSink(5.0);
    ASSERT_GT(samples.size(), static_cast<size_t>(kSampleRate * 2));
    const std::string tones = ToneSequence(samples);
    EXPECT_NE(tones.find("LH"), std::string::npos) << tones << ", rms " << Rms(samples);
    EXPECT_NE(tones.find("HL"), std::string::npos) << tones << ", rms " << Rms(samples);
    EXPECT_TRUE(saver.Running());

    ProcessResult r = saver.End(WM_KEYDOWN, VK_SPACE);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    for (const wchar_t* name : kTrackNames)
        EXPECT_FALSE(Exists(TemporaryCopy(name))) << testing::PrintToString(std::wstring(name));
}

TEST(SceneWithMusicTest, FullScreenShowsTheSceneAndEndsOnAKey)
{
    StoredSettings settings(2, 100, 1);
    SceneRun run(L"/s");
    ASSERT_NE(run.Window(), nullptr);
    ASSERT_TRUE(run.SceneShown()) << Describe(run.Last());
    ScreenPixels red;
    EXPECT_TRUE(WaitFor([&] { return FilledWith(red = CaptureClientArea(run.Window()), kRed); }))
        << Describe(red);
    EXPECT_EQ(red.width, GetSystemMetrics(SM_CXSCREEN));
    ProcessResult r = run.End(WM_KEYDOWN, VK_SPACE);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    for (const wchar_t* name : kTrackNames)
        EXPECT_FALSE(Exists(TemporaryCopy(name))) << testing::PrintToString(std::wstring(name));
}

// "Leave Black" stored for the only display (a value left from a machine with more displays, or
// written by hand) must not black the screen: the display dialog of one display cannot undo it.
TEST(SceneWithMusicTest, AStoredLeaveBlackOnTheOnlyDisplayStillShowsTheScene)
{
    ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
    StoredSettings settings(2, 100, 1);
    const std::wstring screenKey = std::wstring(kSaverSettingsKey) + L"Screen 1";
    SavedRegistryValue leaveBlack(HKEY_CURRENT_USER, screenKey.c_str(), L"Leave Black");
    const DWORD one = 1;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, screenKey.c_str(), L"Leave Black", REG_DWORD, &one,
                              sizeof(one)),
              ERROR_SUCCESS);

    SceneRun run(L"/s");
    ASSERT_NE(run.Window(), nullptr);
    EXPECT_TRUE(run.SceneShown()) << Describe(run.Last());
    ProcessResult r = run.End(WM_KEYDOWN, VK_SPACE);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

// The test list runs this case once more as its own test, with the sound server pointed
// nowhere for this process and the saver it starts (the variable must be in the environment
// the programs start with) and VO_NO_AUDIO_DEVICE set; in the ordinary run it skips.
TEST(SceneWithoutAudioDeviceTest, SceneRunsSilentlyWithoutAnError)
{
    if (!GetEnvironmentVariableW(L"VO_NO_AUDIO_DEVICE", nullptr, 0))
        GTEST_SKIP() << "runs as the test SceneWithoutAudioDevice, without a sound server";
    // Programs of this environment find no sound device, the saver as well as this one.
    ASSERT_EQ(waveOutGetNumDevs(), 0u);
    StoredSettings settings(2, 100, 0);
    SceneRun run(L"/t");
    ASSERT_TRUE(run.SceneShown()) << Describe(run.Last());
    // Nothing of the saver reaches the test environment's sink, which the recorder still reaches.
    const std::vector<int16_t> samples = RecordSink(3.0);
    ASSERT_GT(samples.size(), static_cast<size_t>(kSampleRate / 2));
    EXPECT_LE(Peak(samples), 2) << "rms " << Rms(samples);
    // The scene goes on, with no error box over it.
    ScreenPixels c;
    EXPECT_TRUE(WaitFor([&] { return FilledWith(c = CaptureClientArea(run.Window()), kRed); }))
        << Describe(c);
    ProcessResult r = run.End(WM_CLOSE, 0);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    for (const wchar_t* name : kTrackNames)
        EXPECT_FALSE(Exists(TemporaryCopy(name))) << testing::PrintToString(std::wstring(name));
}
