#pragma once
// Finding and looking at the windows of a screen saver started by an end-to-end test.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The saver's full-screen and test windows' class, and how long one end-to-end run of the saver
// may take before a test gives up on it (generous: Wine on a loaded machine starts slowly).
const wchar_t kSaverClass[] = L"D3DSaverWndClass";
const unsigned kRunTimeoutMs = 60000;

// Polls the condition every 50 ms until it holds or the time is up; the last answer counts.
bool WaitFor(const std::function<bool()>& condition, unsigned timeoutMs = 30000);

DWORD WindowProcess(HWND window);
std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);

// The visible top-level windows of a process with the given class.
std::vector<HWND> TopWindows(DWORD pid, const std::wstring& className);
HWND WaitForTopWindow(DWORD pid, const std::wstring& className);
// A visible dialog of the process with the caption (any of its dialogs for an empty caption), once
// it shows; null when none showed in time.
HWND WaitForDialog(DWORD pid, const std::wstring& caption);
// The text of a window of another process, asked of the window itself: for a drop-down list that
// is the selected entry.
std::wstring AskedText(HWND window);

// What the screen shows, as 0x00RRGGBB pixels row by row.
struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The whole screen, or the part of it a rectangle (in screen coordinates) covers.
ScreenPixels CaptureScreen();
ScreenPixels CaptureScreenRect(const RECT& area);
// The client area of a window as the screen shows it.
ScreenPixels CaptureClientArea(HWND window);
