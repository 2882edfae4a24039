// The saver on a machine with two displays: this program runs in the two-display Wine world
// (scripts/lib/run-on-two-displays), where the X server shows a 1280 x 1024 display with a
// 1024 x 768 one to its right, and Direct3D has an adapter for each.
#include "support/PreviewParent.h"
#include "support/ProcessRunner.h"
#include "support/SavedRegistryValue.h"
#include "support/SaverWindows.h"
#include "support/ScreenChecks.h"
#include "support/SinkRecording.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <d3d9.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

// The splash, then the scene: the lake's water moves from the first scene frames on.
const DWORD kSceneStartMs = 5000;

std::wstring Saver() { return BuiltProgramPath(L"GlimmerSaver.scr"); }

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list)
{
    reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
    return TRUE;
}

// The displays, left to right.
std::vector<RECT> Displays()
{
    std::vector<RECT> displays;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&displays));
    std::sort(displays.begin(), displays.end(), [](const RECT& a, const RECT& b) { return a.left < b.left; });
    return displays;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// The per-screen values of display n (1-based) that a test sets, put back afterwards.
class StoredScreenValue {
public:
    StoredScreenValue(int display, const wchar_t* name, DWORD value)
        : m_path(std::wstring(kSaverSettingsKey) + L"Screen " + std::to_wstring(display)),
          m_saved(new SavedRegistryValue(HKEY_CURRENT_USER, m_path.c_str(), name))
    {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
        RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
        RegCloseKey(key);
    }

private:
    std::wstring m_path;
    std::unique_ptr<SavedRegistryValue> m_saved;
};

// The full-screen saver with its windows found: one per display that plays, by the display it
// covers.
class FullScreenRun {
public:
    FullScreenRun()
    {
        EXPECT_TRUE(m_saver.Start(Saver(), L"/s"));
        WaitForTopWindow(m_saver.ProcessId(), kSaverClass);
        WaitFor([&] { return TopWindows(m_saver.ProcessId(), kSaverClass).size() >= 2; }, 10000);
        m_windows = TopWindows(m_saver.ProcessId(), kSaverClass);
        Sleep(kSceneStartMs);
    }
    ~FullScreenRun()
    {
        if (m_saver.Running())
            m_saver.Kill();
    }

    const std::vector<HWND>& Windows() const { return m_windows; }

    ProcessResult EndWithAKey()
    {
        PostMessageW(m_windows.empty() ? nullptr : m_windows.front(), WM_KEYDOWN, VK_SPACE, 0);
        return m_saver.Wait(kRunTimeoutMs);
    }

private:
    ProcessRunner m_saver;
    std::vector<HWND> m_windows;
};

// Two views of a display a second apart: the lake's water moves, so a playing scene changes.
struct DisplayViews {
    ScreenPixels first, second;
};

bool Plays(const DisplayViews& views)
{
    return BrightnessSpread(views.second) >= 32 && ChangedShare(views.first, views.second) > 0.002 &&
           !ShowsErrorBox(views.second);
}

// Views of the display once it plays, or the last ones taken when it has not played within a
// minute (a loaded machine takes its time over the splash and the scene start).
DisplayViews ViewsOf(const RECT& display)
{
    DisplayViews views;
    const ULONGLONG until = GetTickCount64() + 60000;
    do {
        views.first = CaptureScreenRect(display);
        Sleep(1000);
        views.second = CaptureScreenRect(display);
    } while (!Plays(views) && GetTickCount64() < until);
    return views;
}

void ExpectPlaying(const DisplayViews& views, const std::string& what)
{
    EXPECT_GE(BrightnessSpread(views.second), 32) << what << " shows one colour";
    EXPECT_GT(ChangedShare(views.first, views.second), 0.002) << what << " stands still";
    EXPECT_FALSE(ShowsErrorBox(views.second)) << what;
}

// Dialog 201's controls.
const int kTabs = 2000;
const int kAdapterName = 2002;
const int kShowNothing = 2008;
const int kModeList = 2011;

DWORD StoredValueOfScreen(int display, const wchar_t* name)
{
    const std::wstring path = std::wstring(kSaverSettingsKey) + L"Screen " + std::to_wstring(display);
    DWORD value = 0xFFFFFFFF;
    DWORD size = sizeof(value);
    RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

}  // namespace

TEST(TwoDisplaysTest, TheWorldHasTwoDisplaysAndTwoAdapters)
{
    const std::vector<RECT> displays = Displays();
    ASSERT_EQ(displays.size(), 2u);
    EXPECT_EQ(displays[0].right - displays[0].left, 1280);
    EXPECT_EQ(displays[1].right - displays[1].left, 1024);
    EXPECT_EQ(displays[1].bottom - displays[1].top, 768);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    EXPECT_EQ(d3d->GetAdapterCount(), 2u);
    d3d->Release();
}

TEST(TwoDisplaysTest, FullScreenPlaysTheSceneOnEachDisplayAtItsSizeAndEndsOnAKey)
{
    const std::vector<RECT> displays = Displays();
    ASSERT_EQ(displays.size(), 2u);
    FullScreenRun run;
    ASSERT_EQ(run.Windows().size(), 2u);
    for (const RECT& display : displays) {
        bool covered = false;
        for (HWND window : run.Windows()) {
            RECT r;
            GetWindowRect(window, &r);
            covered = covered || SameRect(r, display);
        }
        EXPECT_TRUE(covered) << "no saver window covers the display at " << Describe(display);
    }
    for (size_t d = 0; d < displays.size(); ++d) {
        const DisplayViews views = ViewsOf(displays[d]);
        ExpectPlaying(views, "display " + std::to_string(d + 1));
        if (HasFailure())
            SaveScreenPixels(views.second, TestArtifactsDir() + "\\two-displays-" + std::to_string(d + 1) + ".bmp");
    }
    const ProcessResult r = run.EndWithAKey();
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

TEST(TwoDisplaysTest, ADisplayLeftBlackStaysBlackWhileTheOtherPlays)
{
    const std::vector<RECT> displays = Displays();
    ASSERT_EQ(displays.size(), 2u);
    StoredScreenValue leaveBlack(2, L"Leave Black", 1);
    FullScreenRun run;
    const DisplayViews first = ViewsOf(displays[0]);
    ExpectPlaying(first, "the playing display");
    const ScreenPixels second = CaptureScreenRect(displays[1]);
    EXPECT_TRUE(LooksBlack(second)) << "the display left black shows something";
    if (HasFailure()) {
        SaveScreenPixels(first.second, TestArtifactsDir() + "\\leave-black-1.bmp");
        SaveScreenPixels(second, TestArtifactsDir() + "\\leave-black-2.bmp");
    }
    const ProcessResult r = run.EndWithAKey();
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

TEST(TwoDisplaysTest, AStoredModeTheSecondAdapterLacksFallsBackToItsDesktopMode)
{
    const std::vector<RECT> displays = Displays();
    ASSERT_EQ(displays.size(), 2u);
    StoredScreenValue width(2, L"Width", 1234);
    StoredScreenValue height(2, L"Height", 567);
    StoredScreenValue format(2, L"Format", D3DFMT_X8R8G8B8);
    FullScreenRun run;
    ASSERT_EQ(run.Windows().size(), 2u);
    bool secondCovered = false;
    for (HWND window : run.Windows()) {
        RECT r;
        GetWindowRect(window, &r);
        secondCovered = secondCovered || SameRect(r, displays[1]);
    }
    EXPECT_TRUE(secondCovered) << "the second display is not played at its own size";
    ExpectPlaying(ViewsOf(displays[1]), "the second display");
    const ProcessResult r = run.EndWithAKey();
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

// The display dialog of the configuration lists both displays on tabs; the second display's mode
// and usage chosen there are stored under its own values, and the next full-screen run honours
// them.
TEST(TwoDisplaysTest, DisplayDialogStoresTheSecondDisplaysChoicesAndTheSaverHonoursThem)
{
    const std::vector<RECT> displays = Displays();
    ASSERT_EQ(displays.size(), 2u);
    const std::wstring screen2 = std::wstring(kSaverSettingsKey) + L"Screen 2";
    const std::wstring screen1 = std::wstring(kSaverSettingsKey) + L"Screen 1";
    RegDeleteTreeW(HKEY_CURRENT_USER, screen1.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, screen2.c_str());
    {
        ProcessRunner configuration;
        ASSERT_TRUE(configuration.Start(Saver(), L"/c"));
        HWND config = WaitForDialog(configuration.ProcessId(), L"");
        ASSERT_NE(config, nullptr);
        PostMessageW(config, WM_COMMAND, 1006, 0);
        HWND dialog = WaitForDialog(configuration.ProcessId(), L"Display Settings");
        ASSERT_NE(dialog, nullptr);
        HWND tabs = GetDlgItem(dialog, kTabs);
        ASSERT_NE(tabs, nullptr);
        EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 2);

        DISPLAY_DEVICEW first = {}, second = {};
        first.cb = second.cb = sizeof(DISPLAY_DEVICEW);
        ASSERT_TRUE(EnumDisplayDevicesW(nullptr, 0, &first, 0));
        ASSERT_TRUE(EnumDisplayDevicesW(nullptr, 1, &second, 0));
        EXPECT_EQ(TextOf(GetDlgItem(dialog, kAdapterName)), first.DeviceString);

        // The second tab: the tab control tells the dialog itself.
        SendMessageW(tabs, TCM_SETCURFOCUS, 1, 0);
        EXPECT_TRUE(WaitFor([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == 1; }, 5000));
        EXPECT_EQ(TextOf(GetDlgItem(dialog, kAdapterName)), second.DeviceString);
        HWND modes = GetDlgItem(dialog, kModeList);
        const std::wstring wanted = L"1024 by 768, 32 bit color";
        bool chosen = false;
        const int count = static_cast<int>(SendMessageW(modes, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count && !chosen; ++i) {
            SendMessageW(modes, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            if (AskedText(modes) == wanted) {
                SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kModeList, CBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(modes));
                chosen = true;
            }
        }
        EXPECT_TRUE(chosen) << "the second display's modes lack " << std::string(wanted.begin(), wanted.end());
        SendMessageW(GetDlgItem(dialog, kShowNothing), BM_CLICK, 0, 0);

        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }));
        PostMessageW(config, WM_COMMAND, IDOK, 0);
        const ProcessResult r = configuration.Wait(kRunTimeoutMs);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.exitCode, 0u) << r.output;
    }
    EXPECT_EQ(StoredValueOfScreen(2, L"Leave Black"), 1u);
    EXPECT_EQ(StoredValueOfScreen(2, L"Width"), 1024u);
    EXPECT_EQ(StoredValueOfScreen(2, L"Height"), 768u);
    EXPECT_EQ(StoredValueOfScreen(1, L"Leave Black"), 0u);

    {
        FullScreenRun run;
        ExpectPlaying(ViewsOf(displays[0]), "the first display");
        EXPECT_TRUE(LooksBlack(CaptureScreenRect(displays[1]))) << "the second display was set to show nothing";
        const ProcessResult r = run.EndWithAKey();
        EXPECT_EQ(r.exitCode, 0u) << r.output;
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, screen1.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, screen2.c_str());
}

// The test window stays one window of 600 x 400 on the first display, whatever the number of
// displays.
TEST(TwoDisplaysTest, TestWindowStaysASingleWindow)
{
    ProcessRunner saver;
    ASSERT_TRUE(saver.Start(Saver(), L"/t"));
    HWND window = WaitForTopWindow(saver.ProcessId(), kSaverClass);
    ASSERT_NE(window, nullptr);
    Sleep(2000);
    EXPECT_EQ(TopWindows(saver.ProcessId(), kSaverClass).size(), 1u);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 600);
    EXPECT_EQ(client.bottom, 400);
    PostMessageW(window, WM_CLOSE, 0, 0);
    const ProcessResult r = saver.Wait(kRunTimeoutMs);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

// The preview stays one child window filling its parent, whatever the number of displays: no
// saver window of its own on either display.
TEST(TwoDisplaysTest, PreviewStaysOneChildOfItsParent)
{
    PreviewParent parentProgram;
    const HWND parent = parentProgram.Window();
    ASSERT_NE(parent, nullptr);

    ProcessRunner saver;
    ASSERT_TRUE(saver.Start(Saver(), parentProgram.PreviewMode()));
    HWND child = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (child = FindWindowExW(parent, nullptr, kSaverClass, nullptr)) != nullptr; }));
    Sleep(2000);
    EXPECT_EQ(WindowProcess(child), saver.ProcessId());
    EXPECT_EQ(FindWindowExW(parent, child, kSaverClass, nullptr), nullptr) << "a second preview window";
    EXPECT_TRUE(TopWindows(saver.ProcessId(), kSaverClass).empty()) << "a saver window outside the parent";
    RECT parentClient, childClient;
    GetClientRect(parent, &parentClient);
    GetClientRect(child, &childClient);
    EXPECT_EQ(childClient.right, parentClient.right);
    EXPECT_EQ(childClient.bottom, parentClient.bottom);

    PostMessageW(parent, WM_APP, 0, 0);
    const ProcessResult r = saver.Wait(kRunTimeoutMs);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

// The saver with a scene of two music tracks (a low 440 Hz and a high 660 Hz tone, taking turns)
// plays its music once on two displays: both tracks are heard in turn, and the temporary copies
// of the tracks are gone after the end.
TEST(TwoDisplaysTest, MusicPlaysWhileBothScenesRunAndItsCopiesGoAtTheEnd)
{
    ProcessRunner saver;
    ASSERT_TRUE(saver.Start(BuiltProgramPath(L"GlimmerSaverScene.scr"), L"/s"));
    ASSERT_NE(WaitForTopWindow(saver.ProcessId(), kSaverClass), nullptr);
    WaitFor([&] { return TopWindows(saver.ProcessId(), kSaverClass).size() >= 2; }, 10000);
    const std::vector<HWND> windows = TopWindows(saver.ProcessId(), kSaverClass);
    EXPECT_EQ(windows.size(), 2u);
    Sleep(kSceneStartMs);
    const std::vector<int16_t> samples = RecordSink(4.0);
    ASSERT_GT(samples.size(), static_cast<size_t>(kSampleRate));
    EXPECT_TRUE(HoldsTone(samples, 440.0)) << "the low track is not heard; rms " << Rms(samples);
    EXPECT_TRUE(HoldsTone(samples, 660.0)) << "the high track is not heard; rms " << Rms(samples);

    PostMessageW(windows.empty() ? nullptr : windows.front(), WM_KEYDOWN, VK_SPACE, 0);
    const ProcessResult r = saver.Wait(kRunTimeoutMs);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((std::wstring(folder) + L"glimmer_e2e_*").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a track copy is left behind";
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}
