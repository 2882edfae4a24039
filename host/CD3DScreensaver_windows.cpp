// Displays and saver windows.
#include "host/CD3DScreensaver.h"

#include <cwchar>

namespace {
const wchar_t kWindowClass[] = L"D3DSaverWndClass";
const int kIconId = 101;

void CopyText(wchar_t (&to)[128], const wchar_t* from)
{
    wcsncpy(to, from, 127);
    to[127] = L'\0';
}
}  // namespace

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!CurrentSaver)
        return DefWindowProcW(window, message, wParam, lParam);
    try {
        return CurrentSaver->HandleMessage(window, message, wParam, lParam);
    } catch (...) {
        // An exception must not unwind through the system's dispatch code.
        return 1;
    }
}

void CD3DScreensaver::ListMonitors()
{
    m_monitorCount = 0;
    DISPLAY_DEVICEW device;
    for (DWORD n = 0; m_monitorCount < kMaxMonitors; ++n) {
        device = {};
        device.cb = sizeof(device);
        if (!EnumDisplayDevicesW(nullptr, n, &device, 0))
            break;
        if (device.StateFlags & DISPLAY_DEVICE_MIRRORING_DRIVER)
            continue;
        MonitorRecord& record = m_monitors[m_monitorCount++];
        record = MonitorRecord{};
        record.adapter = -1;
        CopyText(record.adapterDescription, device.DeviceString);
        DISPLAY_DEVICEW attached = {};
        attached.cb = sizeof(attached);
        if (EnumDisplayDevicesW(device.DeviceName, 0, &attached, 0))
            CopyText(record.monitorDescription, attached.DeviceString);
        if (!(device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP))
            continue;
        DEVMODEW mode = {};
        mode.dmSize = sizeof(mode);
        if (!EnumDisplaySettingsW(device.DeviceName, ENUM_CURRENT_SETTINGS, &mode))
            continue;
        const bool primary = (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0;
        record.screen.left = primary ? 0 : mode.dmPosition.x;
        record.screen.top = primary ? 0 : mode.dmPosition.y;
        record.screen.right = record.screen.left + static_cast<LONG>(mode.dmPelsWidth);
        record.screen.bottom = record.screen.top + static_cast<LONG>(mode.dmPelsHeight);
        record.monitor = MonitorFromRect(&record.screen, MONITOR_DEFAULTTONULL);
    }
}

bool CD3DScreensaver::RegisterSaverWindowClass()
{
    const HINSTANCE instance = m_instance ? m_instance : GetModuleHandleW(nullptr);
    WNDCLASSW existing;
    if (GetClassInfoW(instance, kWindowClass, &existing))
        return true;
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = SaverWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kWindowClass;
    return RegisterClassW(&wc) != 0;
}

HRESULT CD3DScreensaver::OpenSaverWindows()
{
    if (!RegisterSaverWindowClass())
        return E_FAIL;
    const HINSTANCE instance = m_instance ? m_instance : GetModuleHandleW(nullptr);

    if (m_saverMode == kModePreview) {
        // A stale or missing handle: there is nothing to draw into.
        if (!m_parentWindow || !IsWindow(m_parentWindow))
            return E_FAIL;
        RECT rc;
        GetClientRect(m_parentWindow, &rc);
        AdjustWindowRect(&rc, WS_CHILD | WS_VISIBLE, FALSE);
        m_mainWindow = CreateWindowExW(0, kWindowClass, m_title, WS_CHILD | WS_VISIBLE, rc.left,
                                       rc.top, rc.right - rc.left, rc.bottom - rc.top,
                                       m_parentWindow, nullptr, instance, nullptr);
    } else if (m_saverMode == kModeFullScreen) {
        for (int i = 0; i < m_monitorCount; ++i) {
            MonitorRecord& record = m_monitors[i];
            if (!record.monitor)
                continue;
            const RECT& r = record.screen;
            record.window = CreateWindowExW(WS_EX_TOPMOST, kWindowClass, m_title,
                                            WS_POPUP | WS_VISIBLE, r.left, r.top,
                                            r.right - r.left, r.bottom - r.top, m_mainWindow,
                                            nullptr, instance, nullptr);
            if (!record.window)
                return E_FAIL;
            if (!m_mainWindow)
                m_mainWindow = record.window;
        }
    } else if (m_saverMode == kModeTest) {
        RECT rc = {50, 50, 650, 450};
        const DWORD style = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        AdjustWindowRect(&rc, style, FALSE);
        m_mainWindow = CreateWindowExW(0, kWindowClass, m_title, style, rc.left, rc.top,
                                       rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr,
                                       instance, nullptr);
    }

    if ((m_saverMode == kModePreview || m_saverMode == kModeTest) && m_mainWindow) {
        m_monitors[0].window = m_mainWindow;
        GetClientRect(m_mainWindow, &m_windowRect);
        m_screenRect = m_windowRect;
    }
    return m_mainWindow ? S_OK : E_FAIL;
}

bool CD3DScreensaver::PreviewParentGone() const
{
    return m_saverMode == kModePreview && m_parentWindow && !IsWindow(m_parentWindow);
}
