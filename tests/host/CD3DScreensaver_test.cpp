#include "host/CD3DScreensaver.h"
#include "host/DeviceChoice.h"
#include "model/CurrentDevice.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

const UINT kThrowMessage = WM_APP + 7;

// A saver in a chosen mode with one hidden window of the saver class as its main window.
class MessageSaver : public CD3DScreensaver {
public:
    explicit MessageSaver(SaverMode mode)
    {
        m_saverMode = mode;
        m_instance = GetModuleHandleW(nullptr);
        if (RegisterSaverWindowClass())
            m_mainWindow = CreateWindowExW(0, L"D3DSaverWndClass", L"saver test", WS_POPUP, 0, 0,
                                           64, 64, nullptr, nullptr, m_instance, nullptr);
        m_monitors[0].window = m_mainWindow;
    }
    ~MessageSaver() override
    {
        if (IsWindow(m_mainWindow))
            DestroyWindow(m_mainWindow);
        DrainQuit();
    }

    HWND Window() const { return m_mainWindow; }
    int MoveCount() const { return m_mouseMoveCount; }

    HRESULT ReleaseScene() override
    {
        ++releaseSceneCalls;
        return S_OK;
    }
    LRESULT HandleMessage(HWND w, UINT m, WPARAM wp, LPARAM lp) override
    {
        if (m == kThrowMessage)
            throw std::runtime_error("handler failed");
        return CD3DScreensaver::HandleMessage(w, m, wp, lp);
    }

    static bool DrainQuit()
    {
        MSG msg;
        bool quit = false;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
            quit = true;
        return quit;
    }

    int releaseSceneCalls = 0;
};

struct EndCase {
    const char* what;
    UINT message;
    WPARAM wParam;
    bool endsPreview, endsFullScreen, endsTest;
};

const EndCase kEndCases[] = {
    {"key", WM_KEYDOWN, VK_SPACE, false, true, false},
    {"left button", WM_LBUTTONDOWN, MK_LBUTTON, false, true, false},
    {"right button", WM_RBUTTONDOWN, MK_RBUTTON, false, true, false},
    {"middle button", WM_MBUTTONDOWN, MK_MBUTTON, false, true, false},
    {"switch away", WM_ACTIVATEAPP, FALSE, false, true, false},
    {"switch back", WM_ACTIVATEAPP, TRUE, false, false, false},
    {"suspend", WM_POWERBROADCAST, PBT_APMSUSPEND, false, true, true},
    {"resume", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, false, false, false},
    {"timer", WM_TIMER, 1, false, false, false},
    // Closing from the system menu is swallowed in the full-screen saver only.
    {"system close", WM_SYSCOMMAND, SC_CLOSE, true, false, true},
    {"next window", WM_SYSCOMMAND, SC_NEXTWINDOW, false, false, false},
    // Closing destroys the window, which ends every windowed mode, and also the full-screen
    // saver when its main window goes.
    {"close", WM_CLOSE, 0, true, true, true},
};

void ExpectEnd(SaverMode mode, const EndCase& c, bool expected)
{
    MessageSaver::DrainQuit();
    MessageSaver saver(mode);
    ASSERT_NE(saver.Window(), nullptr);
    SendMessageW(saver.Window(), c.message, c.wParam, 0);
    const bool ended = MessageSaver::DrainQuit();
    EXPECT_EQ(ended, expected) << c.what << " in mode " << mode;
    EXPECT_EQ(saver.releaseSceneCalls, expected ? 1 : 0) << c.what << " in mode " << mode;
}

}  // namespace

TEST(SaverMessagesTest, InputEndsEachModeAsItShould)
{
    for (const EndCase& c : kEndCases) {
        ExpectEnd(kModePreview, c, c.endsPreview);
        ExpectEnd(kModeFullScreen, c, c.endsFullScreen);
        ExpectEnd(kModeTest, c, c.endsTest);
    }
}

TEST(SaverMessagesTest, DestroyEndsPreviewAndTestButNotForOtherFullScreenWindows)
{
    for (SaverMode mode : {kModePreview, kModeTest}) {
        MessageSaver::DrainQuit();
        MessageSaver saver(mode);
        DestroyWindow(saver.Window());
        EXPECT_TRUE(MessageSaver::DrainQuit()) << mode;
    }
    MessageSaver::DrainQuit();
    MessageSaver saver(kModeFullScreen);
    HWND second = CreateWindowExW(0, L"D3DSaverWndClass", L"second display", WS_POPUP, 0, 0, 8, 8,
                                  saver.Window(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(second, nullptr);
    DestroyWindow(second);
    EXPECT_FALSE(MessageSaver::DrainQuit());
    DestroyWindow(saver.Window());
    EXPECT_TRUE(MessageSaver::DrainQuit());
}

TEST(SaverMessagesTest, SixthNewMousePositionEndsTheFullScreenSaver)
{
    MessageSaver::DrainQuit();
    MessageSaver saver(kModeFullScreen);
    HWND w = saver.Window();
    // Positions no other test uses, so the process-wide last position never matches by chance.
    SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(301, 17));
    for (int i = 0; i < 10; ++i)
        SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(301, 17));  // repeats never count
    EXPECT_EQ(saver.MoveCount(), 1);
    for (int i = 2; i <= 5; ++i) {
        SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(301 + i, 17));
        SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(301 + i, 17));
    }
    EXPECT_EQ(saver.MoveCount(), 5);
    EXPECT_FALSE(MessageSaver::DrainQuit());
    // Coordinates are signed 16-bit: a position left of the primary display is new too.
    SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(-40, 17));
    EXPECT_TRUE(MessageSaver::DrainQuit());
}

TEST(SaverMessagesTest, MouseNeverEndsTheTestWindowOrThePreview)
{
    for (SaverMode mode : {kModeTest, kModePreview}) {
        MessageSaver::DrainQuit();
        MessageSaver saver(mode);
        for (int i = 0; i < 12; ++i)
            SendMessageW(saver.Window(), WM_MOUSEMOVE, 0, MAKELPARAM(500 + i, 40 + mode));
        EXPECT_FALSE(MessageSaver::DrainQuit()) << mode;
    }
}

TEST(SaverMessagesTest, CursorHiddenAndBackgroundNeverErased)
{
    MessageSaver full(kModeFullScreen);
    EXPECT_EQ(SendMessageW(full.Window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(full.Window()),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              1);
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_EQ(SendMessageW(full.Window(), WM_ERASEBKGND, 0, 0), 1);
    EXPECT_EQ(SendMessageW(full.Window(), WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_FALSE(MessageSaver::DrainQuit());
}

TEST(SaverMessagesTest, EndingTwiceIsHarmless)
{
    MessageSaver::DrainQuit();
    MessageSaver saver(kModeFullScreen);
    SendMessageW(saver.Window(), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(saver.Window(), WM_LBUTTONDOWN, 0, 0);
    EXPECT_TRUE(MessageSaver::DrainQuit());
    EXPECT_EQ(saver.releaseSceneCalls, 2);
    EXPECT_EQ(static_cast<UnitFrameOps&>(saver).UnitCount(), 0);
}

TEST(SaverMessagesTest, ExceptionInAHandlerStaysInsideTheWindowProcedure)
{
    MessageSaver saver(kModeTest);
    EXPECT_EQ(SendMessageW(saver.Window(), kThrowMessage, 0, 0), 1);
    EXPECT_TRUE(IsWindow(saver.Window()));
}

namespace {

// The saver's start without its windows: displays, Direct3D and the adapter records, and in the
// test mode a windowed unit on a hidden window.
class EnumerationSaver : public CD3DScreensaver {
public:
    EnumerationSaver()
    {
        m_instance = GetModuleHandleW(nullptr);
        m_useDepthBuffer = true;
    }
    ~EnumerationSaver() override
    {
        ReleaseUnits();
        if (m_window)
            DestroyWindow(m_window);
        MessageSaver::DrainQuit();
    }
    bool Enumerate()
    {
        ListMonitors();
        m_d3d.Attach(Direct3DCreate9(D3D_SDK_VERSION));
        return m_d3d && SUCCEEDED(EnumerateAdapters());
    }
    bool OpenWindowedUnit()
    {
        m_saverMode = kModeTest;
        if (!RegisterSaverWindowClass())
            return false;
        m_window = CreateWindowExW(0, L"D3DSaverWndClass", L"hidden test window", WS_POPUP, 0, 0,
                                   200, 120, nullptr, nullptr, m_instance, nullptr);
        m_mainWindow = m_window;
        m_monitors[0].window = m_window;
        CreateUnits();
        return m_unitCount == 1 && !m_errorMode;
    }

    void ReleaseAllUnits() { ReleaseUnits(); }
    int MonitorCount() const { return m_monitorCount; }
    const MonitorRecord& Monitor(int m) const { return m_monitors[m]; }
    int AdapterCount() const { return m_adapterCount; }
    const AdapterRecord& Adapter(int a) const { return *m_adapters[a]; }
    const RenderUnit& Unit(int u) const { return m_units[u]; }
    const D3DSURFACE_DESC& BackBuffer() const { return m_backBufferDesc; }

private:
    HWND m_window = nullptr;
};

}  // namespace

TEST(SaverDevicesTest, AdaptersAreLinkedToDisplaysWithSortedModesAndDepthFormats)
{
    EnumerationSaver saver;
    ASSERT_TRUE(saver.Enumerate());
    ASSERT_GE(saver.MonitorCount(), 1);
    ASSERT_GE(saver.AdapterCount(), 1);
    ASSERT_NE(saver.Monitor(0).monitor, nullptr);
    EXPECT_EQ(saver.Monitor(0).adapter, 0);
    EXPECT_EQ(saver.Monitor(0).screen.right - saver.Monitor(0).screen.left,
              GetSystemMetrics(SM_CXSCREEN));

    const AdapterRecord& a = saver.Adapter(0);
    EXPECT_EQ(a.monitor, 0);
    EXPECT_TRUE(a.hardwarePresent);
    EXPECT_TRUE(a.hardwareUsable);
    ASSERT_GE(a.deviceCount, 1u);
    const DeviceRecord& hal = a.devices[0];
    EXPECT_EQ(hal.type, D3DDEVTYPE_HAL);
    EXPECT_TRUE(hal.windowedUsable);
    EXPECT_EQ(hal.chosenMode, kNoMode);
    ASSERT_GE(hal.modeCount, 1u);
    for (unsigned i = 0; i < hal.modeCount; ++i) {
        const DisplayModeEntry& e = hal.modes[i];
        EXPECT_GE(e.width, 640u);
        EXPECT_GE(e.height, 400u);
        EXPECT_EQ(e.format, D3DFMT_X8R8G8B8);
        // The first depth format with at least 16 bits that Wine offers.
        EXPECT_EQ(e.depthFormat, D3DFMT_D16);
        EXPECT_NE(e.behavior & (D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                D3DCREATE_MIXED_VERTEXPROCESSING),
                  0u);
        if (i > 0) {
            EXPECT_FALSE(CompareDisplayModes(e, hal.modes[i - 1])) << i;
        }
    }
}

TEST(SaverDevicesTest, TestModeGetsAWindowedUnitOfTheClientSize)
{
    EnumerationSaver saver;
    ASSERT_TRUE(saver.Enumerate());
    ASSERT_TRUE(saver.OpenWindowedUnit());
    const RenderUnit& unit = saver.Unit(0);
    EXPECT_EQ(unit.type, D3DDEVTYPE_HAL);
    EXPECT_TRUE(unit.created);
    EXPECT_TRUE(unit.restored);
    EXPECT_TRUE(unit.presentParams.Windowed);
    EXPECT_EQ(unit.presentParams.SwapEffect, D3DSWAPEFFECT_COPY);
    EXPECT_EQ(unit.presentParams.PresentationInterval, D3DPRESENT_INTERVAL_DEFAULT);
    EXPECT_TRUE(unit.presentParams.EnableAutoDepthStencil);
    EXPECT_EQ(unit.presentParams.AutoDepthStencilFormat, D3DFMT_D16);
    // Selecting the unit reads its back buffer, which takes the window's client size.
    EXPECT_EQ(saver.BackBuffer().Width, 200u);
    EXPECT_EQ(saver.BackBuffer().Height, 120u);
    EXPECT_EQ(saver.Adapter(0).chosenDevice, 0u);
}

TEST(SaverDevicesTest, ReleasingTheUnitsClearsTheCurrentDevice)
{
    EnumerationSaver saver;
    ASSERT_TRUE(saver.Enumerate());
    ASSERT_TRUE(saver.OpenWindowedUnit());
    // What the scene host does when it selects the unit.
    CurrentDevice = saver.Unit(0).device.Get();
    ASSERT_NE(CurrentDevice, nullptr);
    saver.ReleaseAllUnits();
    EXPECT_EQ(CurrentDevice, nullptr);
}

// The test window ends as the full-screen saver ends on a key: its window is left to the end of
// the process, since hiding it makes Wine without a window manager wait for it to be withdrawn.
TEST(SaverMessagesTest, ClosingTheTestWindowEndsTheSaverAndLeavesTheWindowToTheProcessEnd)
{
    MessageSaver::DrainQuit();
    MessageSaver saver(kModeTest);
    ASSERT_NE(saver.Window(), nullptr);
    SendMessageW(saver.Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(MessageSaver::DrainQuit());
    EXPECT_EQ(saver.releaseSceneCalls, 1);
    EXPECT_TRUE(IsWindow(saver.Window()));
}
