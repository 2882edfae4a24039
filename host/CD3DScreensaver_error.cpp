// The failure texts and the error box that replaces the scene in error mode.
#include "host/CD3DScreensaver.h"

#include "host/ErrorText.h"

#include <mmsystem.h>

namespace {
// The previous call of the error animation, process-wide; unset until the first call.
bool s_errorClockStarted = false;
DWORD s_errorClockLast = 0;
}  // namespace

BOOL CD3DScreensaver::GetErrorText(HRESULT code, wchar_t* buffer, unsigned bufferChars)
{
    const UINT id = ErrorStringId(code);
    if (buffer && bufferChars > 0)
        LoadStringW(m_instance ? m_instance : GetModuleHandleW(nullptr), id, buffer,
                    static_cast<int>(bufferChars));
    return id != kGeneralErrorStringId;
}

void CD3DScreensaver::AnimateErrorBox()
{
    if (m_unitCount > 0)
        ReleaseUnits();

    const DWORD now = timeGetTime();
    if (!s_errorClockStarted) {
        s_errorClockStarted = true;
        s_errorClockLast = now;
    }
    const float dt = static_cast<float>(static_cast<DWORD>(now - s_errorClockLast)) / 1000.0f;
    s_errorClockLast = now;

    if (!m_errorText[0])
        GetErrorText(m_errorCode, m_errorText, 400);

    const bool preview = m_saverMode == kModePreview;
    for (int m = 0; m < kMaxMonitors; ++m) {
        MonitorRecord& record = m_monitors[m];
        if (!record.window)
            continue;
        RECT bounds;
        if (m_saverMode == kModeFullScreen) {
            POINT corners[2] = {{record.screen.left, record.screen.top},
                                {record.screen.right, record.screen.bottom}};
            ScreenToClient(record.window, &corners[0]);
            ScreenToClient(record.window, &corners[1]);
            bounds = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
        } else {
            bounds = m_windowRect;
        }
        ErrorBox& box = record.errorBox;
        if (!box.Placed()) {
            PlaceErrorBox(box, bounds, preview);
            InvalidateRect(record.window, nullptr, FALSE);
            UpdateWindow(record.window);
            continue;
        }
        if (preview)
            continue;
        RECT before, after;
        if (StepErrorBox(box, bounds, dt, &before, &after)) {
            InvalidateRect(record.window, &before, FALSE);
            InvalidateRect(record.window, &after, FALSE);
            UpdateWindow(record.window);
        }
    }
}

void CD3DScreensaver::PaintErrorBox(HWND window, HDC dc)
{
    const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    MonitorRecord* record = nullptr;
    for (int m = 0; m < m_monitorCount && !record; ++m)
        if (m_monitors[m].monitor && m_monitors[m].monitor == monitor)
            record = &m_monitors[m];
    if (!record)
        return;

    RECT box = record->errorBox.Rect();
    FillRect(dc, &box, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
    FrameRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    RECT measured = box;
    DrawTextW(dc, m_errorText, -1, &measured, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    const int textHeight = measured.bottom - measured.top;
    RECT text = box;
    text.top = (box.top + box.bottom - textHeight) / 2;
    DrawTextW(dc, m_errorText, -1, &text, DT_WORDBREAK | DT_CENTER);

    ExcludeClipRect(dc, box.left, box.top, box.right, box.bottom);
    POINT corners[2] = {{record->screen.left, record->screen.top},
                        {record->screen.right, record->screen.bottom}};
    ScreenToClient(window, &corners[0]);
    ScreenToClient(window, &corners[1]);
    RECT screen = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    FillRect(dc, &screen, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}
