// A small program for the process runner's own tests:
//   child_program exit N      prints "exit N" and ends with code N
//   child_program sleep MS    sleeps, then ends with code 0
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 3 && std::wcscmp(argv[1], L"exit") == 0) {
        int code = _wtoi(argv[2]);
        std::printf("exit %d\n", code);
        std::fflush(stdout);
        return code;
    }
    if (argc >= 3 && std::wcscmp(argv[1], L"sleep") == 0) {
        Sleep(static_cast<DWORD>(_wtoi(argv[2])));
        return 0;
    }
    std::fprintf(stderr, "usage: child_program exit N | sleep MS\n");
    return 2;
}
