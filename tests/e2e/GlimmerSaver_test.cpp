// The built screen saver run in each mode, as Windows would start it.
#include "support/PreviewParent.h"
#include "support/ProcessRunner.h"
#include "support/SaverAsDataFile.h"
#include "support/SavedRegistryValue.h"
#include "support/SaverWindows.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <d3d9.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {


std::wstring Saver() { return BuiltProgramPath(L"GlimmerSaver.scr"); }

// The texts of a window's child controls.
std::vector<std::wstring> ChildTexts(HWND window)
{
    std::vector<std::wstring> texts;
    EnumChildWindows(
        window,
        [](HWND w, LPARAM p) -> BOOL {
            reinterpret_cast<std::vector<std::wstring>*>(p)->push_back(TextOf(w));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::wstring ProgramString(UINT id) { return SaverAsDataFile().String(id); }

// A copy of the saver under its own name beside the stand-in d3d9.dll. Wine takes that DLL
// only when told to prefer native code for this program; its environment variable does not
// reach programs started from a Windows process, so the per-program registry setting is used.
class NoDirect3D {
public:
    NoDirect3D()
    {
        m_program = BuiltProgramPath(L"tests\\no-d3d\\" + std::wstring(kName));
        m_copied = CopyFileW(Saver().c_str(), m_program.c_str(), FALSE) != 0;
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr) == ERROR_SUCCESS) {
            const wchar_t value[] = L"native";
            m_overridden = RegSetValueExW(key, L"d3d9", 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(value),
                                          sizeof(value)) == ERROR_SUCCESS;
            RegCloseKey(key);
        }
    }
    ~NoDirect3D() { RegDeleteTreeW(HKEY_CURRENT_USER, AppKeyPath().c_str()); }
    bool Ready() const { return m_copied && m_overridden; }
    const std::wstring& Program() const { return m_program; }

private:
    static constexpr const wchar_t* kName = L"NoDirect3DSaver.scr";
    static std::wstring AppKeyPath()
    {
        return L"Software\\Wine\\AppDefaults\\" + std::wstring(kName);
    }
    static std::wstring KeyPath() { return AppKeyPath() + L"\\DllOverrides"; }
    std::wstring m_program;
    bool m_copied = false;
    bool m_overridden = false;
};

}  // namespace

TEST(GlimmerSaverTest, FullScreenCoversTheScreenTopmostAndEndsOnAKey)
{
    ProcessRunner runner;
    ASSERT_TRUE(runner.Start(Saver(), L"/s"));
    HWND window = WaitForTopWindow(runner.ProcessId(), kSaverClass);
    ASSERT_NE(window, nullptr);

    RECT rc;
    GetWindowRect(window, &rc);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rc.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(WindowProcess(WindowFromPoint(POINT{rc.right / 2, rc.bottom / 2})),
              runner.ProcessId());

    // Let it draw a few frames before the key arrives.
    Sleep(500);
    EXPECT_TRUE(runner.Running());
    PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    ProcessResult r = runner.Wait(kRunTimeoutMs);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

TEST(GlimmerSaverTest, TestWindowHasA600By400ClientAreaAndEndsOnClose)
{
    ProcessRunner runner;
    ASSERT_TRUE(runner.Start(Saver(), L"/t"));
    HWND window = WaitForTopWindow(runner.ProcessId(), kSaverClass);
    ASSERT_NE(window, nullptr);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right - client.left, 600);
    EXPECT_EQ(client.bottom - client.top, 400);
    EXPECT_EQ(TextOf(window), ProgramString(1000));

    // Keys and clicks do not end the test window.
    PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageW(window, WM_LBUTTONDOWN, 0, 0);
    Sleep(300);
    EXPECT_TRUE(runner.Running());
    PostMessageW(window, WM_CLOSE, 0, 0);
    ProcessResult r = runner.Wait(kRunTimeoutMs);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

TEST(GlimmerSaverTest, PreviewLivesInItsParentUntilTheParentIsDestroyed)
{
    PreviewParent parentProgram;
    const HWND parent = parentProgram.Window();
    ASSERT_NE(parent, nullptr);

    ProcessRunner saver;
    ASSERT_TRUE(saver.Start(Saver(), parentProgram.PreviewMode()));
    HWND child = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        child = FindWindowExW(parent, nullptr, kSaverClass, nullptr);
        return child != nullptr;
    }));
    EXPECT_EQ(WindowProcess(child), saver.ProcessId());
    RECT parentClient, childClient;
    GetClientRect(parent, &parentClient);
    GetClientRect(child, &childClient);
    EXPECT_EQ(childClient.right, parentClient.right);
    EXPECT_EQ(childClient.bottom, parentClient.bottom);

    // Input never ends the preview.
    PostMessageW(child, WM_KEYDOWN, VK_SPACE, 0);
    Sleep(300);
    EXPECT_TRUE(saver.Running());

    PostMessageW(parent, WM_APP, 0, 0);
    ProcessResult r = saver.Wait(kRunTimeoutMs);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

TEST(GlimmerSaverTest, PreviewWithoutAUsableParentEndsAtOnce)
{
    // A handle that was a window once and is gone now.
    HWND gone = CreateWindowExW(0, L"STATIC", L"gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);
    const std::wstring stale = std::to_wstring(reinterpret_cast<uintptr_t>(gone) & 0xFFFFFFFF);

    for (const std::wstring& args : {std::wstring(L"/p"), std::wstring(L"/p:") + stale,
                                     std::wstring(L"/p 99999999999999999999")}) {
        ProcessResult r = ProcessRunner::Run(Saver(), args, kRunTimeoutMs);
        ASSERT_TRUE(r.started);
        EXPECT_FALSE(r.timedOut) << std::string(args.begin(), args.end());
        EXPECT_EQ(r.exitCode, 0u) << std::string(args.begin(), args.end());
    }
}

TEST(GlimmerSaverTest, ModesWithoutWindowEndAtOnce)
{
    for (const wchar_t* args : {L"/r", L"/n", L"-N", L"/a", L"/a 1234"}) {
        ProcessResult r = ProcessRunner::Run(Saver(), args, kRunTimeoutMs);
        ASSERT_TRUE(r.started);
        EXPECT_FALSE(r.timedOut) << testing::PrintToString(std::wstring(args));
        EXPECT_EQ(r.exitCode, 0u) << testing::PrintToString(std::wstring(args));
    }
}

TEST(GlimmerSaverTest, ConfigurationWithoutDirect3DShowsTheFailureInAMessageBox)
{
    NoDirect3D noD3d;
    ASSERT_TRUE(noD3d.Ready());
    ProcessRunner runner;
    ASSERT_TRUE(runner.Start(noD3d.Program(), L"/c"));
    HWND box = WaitForTopWindow(runner.ProcessId(), L"#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), ProgramString(1000));
    std::vector<std::wstring> texts = ChildTexts(box);
    std::wstring text;
    for (const std::wstring& t : texts)
        if (t.size() > text.size())
            text = t;
    EXPECT_EQ(text, ProgramString(2101)) << testing::PrintToString(texts);
    EXPECT_EQ(text,
              L"Direct3D 8.0 could not be initialized.  Please install the latest version of "
              L"DirectX.");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ProcessResult r = runner.Wait(kRunTimeoutMs);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

TEST(GlimmerSaverTest, FullScreenWithoutDirect3DShowsTheErrorBox)
{
    NoDirect3D noD3d;
    ASSERT_TRUE(noD3d.Ready());
    ProcessRunner runner;
    ASSERT_TRUE(runner.Start(noD3d.Program(), L"/s"));
    HWND window = WaitForTopWindow(runner.ProcessId(), kSaverClass);
    ASSERT_NE(window, nullptr);

    // The box is the only light area on a black screen: 300 x 150 in the window colour, with
    // dark text inside it.
    const uint32_t boxColour = GetSysColor(COLOR_WINDOW);
    const uint32_t boxRgb = ((boxColour & 0xFF) << 16) | (boxColour & 0xFF00) |
                            ((boxColour >> 16) & 0xFF);
    int boxPixels = 0, left = 0, top = 0, right = 0, bottom = 0, textPixels = 0;
    const bool shown = WaitFor([&] {
        const ScreenPixels screen = CaptureScreen();
        const int w = screen.width, h = screen.height;
        const std::vector<uint32_t>& pixels = screen.pixels;
        boxPixels = 0;
        left = w, top = h, right = -1, bottom = -1;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (pixels[static_cast<size_t>(y) * w + x] == boxRgb) {
                    ++boxPixels;
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        textPixels = 0;
        for (int y = top + 2; y < bottom - 1; ++y)
            for (int x = left + 2; x < right - 1; ++x)
                if (pixels[static_cast<size_t>(y) * w + x] != boxRgb)
                    ++textPixels;
        return boxPixels > 300 * 150 / 2 && textPixels > 50;
    });
    if (!shown)
        TakeScreenshot(TestArtifactsDir() + "\\no-d3d-full-screen.png");
    EXPECT_TRUE(shown) << boxPixels << " box pixels, " << textPixels << " text pixels";
    // A capture can fall between the box's new and its old area being repainted.
    EXPECT_NEAR(right - left + 1, 300, 10);
    EXPECT_NEAR(bottom - top + 1, 150, 10);

    PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    ProcessResult r = runner.Wait(kRunTimeoutMs);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

TEST(GlimmerSaverTest, ConfigurationShowsItsDialogWithOrWithoutAValidOwner)
{
    HWND gone = CreateWindowExW(0, L"STATIC", L"gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);
    const std::wstring stale = std::to_wstring(reinterpret_cast<uintptr_t>(gone) & 0xFFFFFFFF);

    for (const std::wstring& args : {std::wstring(L""), std::wstring(L"/c"),
                                     std::wstring(L"/c:") + stale}) {
        ProcessRunner runner;
        ASSERT_TRUE(runner.Start(Saver(), args));
        HWND dialog = WaitForTopWindow(runner.ProcessId(), L"#32770");
        ASSERT_NE(dialog, nullptr) << std::string(args.begin(), args.end());
        EXPECT_EQ(TextOf(dialog), ProgramString(1000));
        EXPECT_NE(GetDlgItem(dialog, 1023), nullptr);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        ProcessResult r = runner.Wait(kRunTimeoutMs);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.exitCode, 0u) << r.output;
    }
}

namespace {

const std::wstring kScreenOneKey = std::wstring(kSaverSettingsKey) + L"Screen 1";

DWORD StoredScreenValue(const wchar_t* name)
{
    DWORD value = 0xFFFFFFFF;
    DWORD size = sizeof(value);
    RegGetValueW(HKEY_CURRENT_USER, kScreenOneKey.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value,
                 &size);
    return value;
}

// The configuration run with the display dialog open from its button; the test acts on the
// display dialog, then the runner presses OK in the configuration dialog.
class DisplayDialogRun {
public:
    DisplayDialogRun()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kScreenOneKey.c_str());
        if (!m_runner.Start(Saver(), L"/c"))
            return;
        m_config = WaitForDialog(m_runner.ProcessId(), ProgramString(1000));
        if (!m_config)
            return;
        PostMessageW(m_config, WM_COMMAND, 1006, 0);
        m_display = WaitForDialog(m_runner.ProcessId(), L"Display Settings");
    }
    ~DisplayDialogRun()
    {
        // The other runs start from no stored display values.
        RegDeleteTreeW(HKEY_CURRENT_USER, kScreenOneKey.c_str());
    }
    HWND Display() const { return m_display; }
    DWORD ProcessId() { return m_runner.ProcessId(); }
    // Chooses the mode list entry with the text; false when there is none.
    bool ChooseMode(const std::wstring& text)
    {
        HWND combo = GetDlgItem(m_display, 2011);
        const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            if (AskedText(combo) == text) {
                SendMessageW(m_display, WM_COMMAND, MAKEWPARAM(2011, CBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(combo));
                return true;
            }
        }
        return false;
    }
    std::vector<std::wstring> Modes()
    {
        HWND combo = GetDlgItem(m_display, 2011);
        const LRESULT kept = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        std::vector<std::wstring> texts;
        const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            texts.push_back(AskedText(combo));
        }
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(kept), 0);
        return texts;
    }
    // Closes the display dialog with the button and the configuration dialog with OK.
    void Finish(int displayButton)
    {
        PostMessageW(m_display, WM_COMMAND, displayButton, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(m_display); }));
        PostMessageW(m_config, WM_COMMAND, IDOK, 0);
        ProcessResult r = m_runner.Wait(kRunTimeoutMs);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.exitCode, 0u) << r.output;
    }

private:
    ProcessRunner m_runner;
    HWND m_config = nullptr;
    HWND m_display = nullptr;
};

}  // namespace

TEST(GlimmerSaverTest, DisplayDialogShowsTheAdapterAndStoresTheChosenMode)
{
    DisplayDialogRun run;
    ASSERT_NE(run.Display(), nullptr);
    HWND display = run.Display();
    // One adapter: the dialog without tabs.
    EXPECT_EQ(GetDlgItem(display, 2000), nullptr);

    DISPLAY_DEVICEW device = {};
    device.cb = sizeof(device);
    ASSERT_TRUE(EnumDisplayDevicesW(nullptr, 0, &device, 0));
    EXPECT_EQ(TextOf(GetDlgItem(display, 2002)), device.DeviceString);
    EXPECT_EQ(TextOf(GetDlgItem(display, 2003)), ProgramString(2210));

    const std::wstring screenMode = std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L" by " +
                                    std::to_wstring(GetSystemMetrics(SM_CYSCREEN)) +
                                    L", 32 bit color";
    const std::vector<std::wstring> modes = run.Modes();
    ASSERT_FALSE(modes.empty());
    EXPECT_EQ(modes[0], L"Automatic");
    EXPECT_NE(std::find(modes.begin(), modes.end(), screenMode), modes.end())
        << testing::PrintToString(modes);
    EXPECT_EQ(AskedText(GetDlgItem(display, 2011)), L"Automatic");

    // Help explains the display's rendering in a box captioned with the adapter.
    PostMessageW(display, WM_COMMAND, 2004, 0);
    HWND help = WaitForDialog(run.ProcessId(), device.DeviceString);
    ASSERT_NE(help, nullptr);
    std::vector<std::wstring> texts = ChildTexts(help);
    EXPECT_NE(std::find(texts.begin(), texts.end(), ProgramString(2200)), texts.end())
        << testing::PrintToString(texts);
    PostMessageW(help, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(help); }));

    ASSERT_TRUE(run.ChooseMode(screenMode));
    run.Finish(IDOK);
    EXPECT_EQ(StoredScreenValue(L"Width"), static_cast<DWORD>(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(StoredScreenValue(L"Height"), static_cast<DWORD>(GetSystemMetrics(SM_CYSCREEN)));
    EXPECT_EQ(StoredScreenValue(L"Format"), static_cast<DWORD>(D3DFMT_X8R8G8B8));
    EXPECT_EQ(StoredScreenValue(L"Leave Black"), 0u);
}

TEST(GlimmerSaverTest, DisplayDialogCancelKeepsTheEarlierValues)
{
    DisplayDialogRun run;
    ASSERT_NE(run.Display(), nullptr);
    const std::wstring screenMode = std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L" by " +
                                    std::to_wstring(GetSystemMetrics(SM_CYSCREEN)) +
                                    L", 32 bit color";
    ASSERT_TRUE(run.ChooseMode(screenMode));
    run.Finish(IDCANCEL);
    EXPECT_EQ(StoredScreenValue(L"Width"), 0u);
    EXPECT_EQ(StoredScreenValue(L"Height"), 0u);
    EXPECT_EQ(StoredScreenValue(L"Format"), 0u);
}
