// A stand-in for the display control panel: a top-level window whose handle a preview can be
// given. Its title is "preview parent <process id>" so a test can find it; it destroys the
// window when it receives WM_APP, then ends.
#include <windows.h>

#include <cwchar>

namespace {
LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

int wmain()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PreviewParent";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    RegisterClassW(&wc);
    wchar_t title[64];
    std::swprintf(title, 64, L"preview parent %lu", GetCurrentProcessId());
    HWND window = CreateWindowExW(0, L"PreviewParent", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20,
                                  20, 152 + 16, 112 + 39, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window)
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
