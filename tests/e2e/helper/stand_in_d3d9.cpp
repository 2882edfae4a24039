// A d3d9.dll whose Direct3DCreate9 finds no Direct3D, for tests of the saver on a machine
// without it. Loaded instead of the system's through Wine's DLL overrides.
#include <windows.h>

struct IDirect3D9;

extern "C" __declspec(dllexport) IDirect3D9* WINAPI Direct3DCreate9(UINT)
{
    return nullptr;
}
