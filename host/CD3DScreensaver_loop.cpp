// The message loop, the frames over the render units and the saver windows' messages.
#include "host/CD3DScreensaver.h"

#include "host/MusicGraph.h"

#include <mmsystem.h>

namespace {

// The frame clock, one per process.
struct FrameClock {
    bool decided = false;
    bool useCounter = false;
    LONGLONG frequency = 0;
    LONGLONG baseCount = 0;
    LONGLONG lastCount = 0;
    double baseTime = 0;
    double lastTime = 0;
};
FrameClock s_clock;

POINT s_lastMouse = {-1, -1};

double MillisecondClock() { return static_cast<DWORD>(timeGetTime()) * 0.001; }

void StartFrameClock()
{
    if (!s_clock.decided) {
        LARGE_INTEGER f;
        s_clock.useCounter = QueryPerformanceFrequency(&f) != 0 && f.QuadPart != 0;
        s_clock.frequency = s_clock.useCounter ? f.QuadPart : 0;
        s_clock.decided = true;
    }
    if (s_clock.useCounter) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        s_clock.baseCount = s_clock.lastCount = now.QuadPart;
    } else {
        s_clock.baseTime = s_clock.lastTime = MillisecondClock();
    }
}

void ReadFrameClock(float* absolute, float* frame)
{
    if (s_clock.useCounter) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        const double f = static_cast<double>(s_clock.frequency);
        *absolute = static_cast<float>((now.QuadPart - s_clock.baseCount) / f);
        *frame = static_cast<float>((now.QuadPart - s_clock.lastCount) / f);
        s_clock.lastCount = now.QuadPart;
    } else {
        const double now = MillisecondClock();
        *absolute = static_cast<float>(now - s_clock.baseTime);
        *frame = static_cast<float>(now - s_clock.lastTime);
        s_clock.lastTime = now;
    }
}

}  // namespace

HRESULT CD3DScreensaver::RunSaverLoop()
{
    StartFrameClock();
    if (!m_errorMode) {
        const HRESULT hr = PrepareScene();
        if (FAILED(hr)) {
            ShowError(hr);
            return hr;
        }
        CreateUnits();
    }
    if (m_saverMode == kModeFullScreen) {
        BOOL old = FALSE;
        SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, TRUE, &old, 0);
    }

    MSG msg = {};
    for (;;) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                break;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            continue;
        }
        // The control panel may drop the preview's parent without the child hearing of it.
        if (PreviewParentGone()) {
            EndSaver();
            continue;
        }
        Sleep(30);
        if (m_errorMode)
            AnimateErrorBox();
        else
            RenderFrame();
    }
    return S_OK;
}

void CD3DScreensaver::RenderFrame()
{
    ReadFrameClock(&m_time, &m_frameTime);
    AdvanceFrame();
    UpdateFrameStats();
    WalkUnitFrame(*this);
}

void CD3DScreensaver::SelectUnit(int i)
{
    if (i < 0 || i >= kMaxUnits)
        return;
    RenderUnit& unit = m_units[i];
    m_device = unit.device.Get();
    if (!m_windowed && unit.monitor >= 0 && unit.monitor < m_monitorCount)
        m_screenRect = m_monitors[unit.monitor].screen;
    if (m_device) {
        ComRef<IDirect3DSurface9> back;
        if (SUCCEEDED(m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, back.Receive())) &&
            back)
            back->GetDesc(&m_backBufferDesc);
    }
    OnSelectUnit(i);
}

bool CD3DScreensaver::UnitHasDevice(int i) const { return static_cast<bool>(m_units[i].device); }

HRESULT CD3DScreensaver::TestUnitCooperativeLevel(int i)
{
    return m_units[i].device->TestCooperativeLevel();
}

void CD3DScreensaver::BeforeUnitReset(int i)
{
    const int a = m_units[i].adapter;
    if (m_windowed && m_d3d && a >= 0 && a < m_adapterCount)
        m_d3d->GetAdapterDisplayMode(static_cast<UINT>(a), &m_adapters[a]->desktopMode);
}

HRESULT CD3DScreensaver::ResetUnitDevice(int i)
{
    return m_units[i].device->Reset(&m_units[i].presentParams);
}

bool CD3DScreensaver::UnitRestored(int i) const { return m_units[i].restored; }

void CD3DScreensaver::SetUnitRestored(int i, bool restored) { m_units[i].restored = restored; }

void CD3DScreensaver::EnterResetErrorMode() { m_errorMode = true; }

void CD3DScreensaver::PresentUnit(int i)
{
    if (m_units[i].device)
        m_units[i].device->Present(nullptr, nullptr, nullptr, nullptr);
}

void CD3DScreensaver::HandleMouseMove(LPARAM lParam)
{
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    if (x == s_lastMouse.x && y == s_lastMouse.y)
        return;
    ++m_mouseMoveCount;
    s_lastMouse.x = x;
    s_lastMouse.y = y;
    if (m_mouseMoveCount > 5)
        InterruptSaver();
}

LRESULT CD3DScreensaver::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        // In the full-screen saver only the main window's end matters: the others are owned
        // by it and go with it.
        if (m_saverMode == kModePreview || m_saverMode == kModeTest ||
            (m_saverMode == kModeFullScreen && window == m_mainWindow))
            EndSaver();
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (!m_errorMode && m_saverMode == kModePreview) {
            RECT rc;
            GetClientRect(window, &rc);
            FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        } else {
            PaintErrorBox(window, dc);
        }
        EndPaint(window, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_CLOSE:
        // The test window ends as the full-screen saver does on a key: the units and the scene
        // go, the loop ends, and the window goes with the process. Destroying it first would hide
        // it, and Wine without a window manager (Xvfb) waits 2 s for a hidden window to be
        // withdrawn.
        if (m_saverMode == kModeTest) {
            EndSaver();
            return 0;
        }
        break;
    case WM_ACTIVATEAPP:
        if (!wParam && m_saverMode != kModeTest)
            InterruptSaver();
        break;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (m_saverMode != kModeTest)
            InterruptSaver();
        break;
    case WM_SETCURSOR:
        if (m_saverMode == kModeFullScreen) {
            SetCursor(nullptr);
            return 1;
        }
        break;
    case WM_SYSCOMMAND:
        if (m_saverMode == kModeFullScreen) {
            switch (wParam & 0xFFF0) {
            case SC_NEXTWINDOW:
            case SC_PREVWINDOW:
            case SC_CLOSE:
            case SC_SCREENSAVE:
                return 0;
            }
        }
        break;
    case WM_TIMER:
        m_previewSettling = false;
        KillTimer(window, 1);
        break;
    case WM_MOUSEMOVE:
        if (m_saverMode != kModeTest)
            HandleMouseMove(lParam);
        break;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMSUSPEND)
            InterruptSaver();
        break;
    case WM_USER:
        SetTimer(window, 1, 500, nullptr);
        break;
    case kMusicEventMessage:
        // One queued graph event per message; -1 when the graph is gone or the queue is empty.
        OnMusicEvent(GetMusicEvent());
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
