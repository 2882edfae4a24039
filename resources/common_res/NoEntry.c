/* The module is mapped as a data file and never run; the entry point exists only because a
   DLL image needs one. */
#include <windows.h>

BOOL WINAPI CommonResEntry(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    (void)module;
    (void)reason;
    (void)reserved;
    return TRUE;
}
