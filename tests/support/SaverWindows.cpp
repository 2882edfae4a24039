#include "support/SaverWindows.h"

#include <cstring>

bool WaitFor(const std::function<bool()>& condition, unsigned timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < end) {
        if (condition())
            return true;
        Sleep(50);
    }
    return condition();
}

DWORD WindowProcess(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

std::vector<HWND> TopWindows(DWORD pid, const std::wstring& className)
{
    struct Search {
        DWORD pid;
        std::wstring className;
        std::vector<HWND> found;
    } search{pid, className, {}};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            if (WindowProcess(w) == s->pid && IsWindowVisible(w) && ClassOf(w) == s->className)
                s->found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForTopWindow(DWORD pid, const std::wstring& className)
{
    HWND found = nullptr;
    WaitFor([&] {
        std::vector<HWND> windows = TopWindows(pid, className);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
    });
    return found;
}

HWND WaitForDialog(DWORD pid, const std::wstring& caption)
{
    HWND found = nullptr;
    WaitFor([&] {
        for (HWND w : TopWindows(pid, L"#32770"))
            if (caption.empty() || TextOf(w) == caption)
                found = w;
        return found != nullptr;
    });
    return found;
}

std::wstring AskedText(HWND window)
{
    wchar_t text[256] = {};
    SendMessageW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

ScreenPixels CaptureScreenRect(const RECT& area)
{
    ScreenPixels shot;
    shot.width = area.right - area.left;
    shot.height = area.bottom - area.top;
    if (shot.width <= 0 || shot.height <= 0)
        return ScreenPixels();
    shot.pixels.resize(static_cast<size_t>(shot.width) * shot.height);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = shot.width;
    bi.bmiHeader.biHeight = -shot.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, shot.width, shot.height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    std::memcpy(shot.pixels.data(), bits, shot.pixels.size() * 4);
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (uint32_t& p : shot.pixels)
        p &= 0xFFFFFF;
    return shot;
}

ScreenPixels CaptureScreen()
{
    return CaptureScreenRect(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

ScreenPixels CaptureClientArea(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    POINT topLeft = {0, 0};
    ClientToScreen(window, &topLeft);
    return CaptureScreenRect(RECT{topLeft.x, topLeft.y, topLeft.x + client.right, topLeft.y + client.bottom});
}
