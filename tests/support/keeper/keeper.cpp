// Keeps Wine's desktop process alive between test processes: without a window that outlives
// each test, every test start pays about a second for the desktop to come and go.
#include <windows.h>

int wmain()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Keeper";
    RegisterClassW(&wc);
    CreateWindowExW(WS_EX_TOOLWINDOW, L"Keeper", L"keeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                    wc.hInstance, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
