#include "host/CMoireScreensaver.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    CMoireScreensaver saver;
    const HRESULT hr = saver.Initialize(instance);
    if (FAILED(hr)) {
        saver.ShowError(hr);
        return 0;
    }
    return saver.Execute();
}
