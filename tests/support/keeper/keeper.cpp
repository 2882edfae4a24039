// Keeps Wine's desktop process alive between test processes: without a window that outlives
// each test, every test start pays about a second for the desktop to come and go.
#include <windows.h>

// With a file path as argument it creates that file once its window exists: the scripts wait
// for it, because a test process started before would start the desktop itself and hand it the
// test runner's output pipe, which then never closes.
int wmain(int argc, wchar_t** argv)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Keeper";
    RegisterClassW(&wc);
    CreateWindowExW(WS_EX_TOOLWINDOW, L"Keeper", L"keeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                    wc.hInstance, nullptr);
    if (argc > 1) {
        HANDLE ready = CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        if (ready != INVALID_HANDLE_VALUE)
            CloseHandle(ready);
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
