// The saver on a machine with two displays: this program runs in the two-display Wine world
// (scripts/lib/run-on-two-displays), where the X server shows a 1280 x 1024 display with a
// 1024 x 768 one to its right, and Direct3D has an adapter for each.
#include "support/ProcessRunner.h"
#include "support/SavedRegistryValue.h"
#include "support/SaverWindows.h"
#include "support/ScreenChecks.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <d3d9.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

const wchar_t kSaverClass[] = L"D3DSaverWndClass";
const wchar_t kSettingsKey[] = L"Software\\Quellmark\\Glimmerkit Maker\\Screensaver\\";
const unsigned kRunTimeoutMs = 60000;
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
        : m_path(std::wstring(kSettingsKey) + L"Screen " + std::to_wstring(display)),
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

DisplayViews ViewsOf(const RECT& display)
{
    DisplayViews views;
    views.first = CaptureScreenRect(display);
    Sleep(1000);
    views.second = CaptureScreenRect(display);
    return views;
}

void ExpectPlaying(const DisplayViews& views, const std::string& what)
{
    EXPECT_GE(BrightnessSpread(views.second), 32) << what << " shows one colour";
    EXPECT_GT(ChangedShare(views.first, views.second), 0.002) << what << " stands still";
    EXPECT_FALSE(ShowsErrorBox(views.second)) << what;
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
