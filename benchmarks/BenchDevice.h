#pragma once
#include "model/ComRef.h"

struct IDirect3D9;
struct IDirect3DDevice9;
struct IDirect3DQuery9;
struct HWND__;

// A windowed device whose back buffer has the given size, on a hidden window of that size: the
// scene draws into it as into a saver window, without a window on the screen.
class BenchDevice {
public:
    BenchDevice() = default;
    ~BenchDevice();
    BenchDevice(const BenchDevice&) = delete;
    BenchDevice& operator=(const BenchDevice&) = delete;

    bool Create(unsigned width, unsigned height);
    IDirect3DDevice9* Device() const { return m_device.Get(); }

    // Waits until the device has carried out everything sent to it. Draw calls return once the
    // command is queued; the rasteriser (Mesa's, under Wine) works on other threads, so a frame
    // is finished only when this returns.
    void WaitUntilIdle();

private:
    HWND__* m_window = nullptr;
    ComRef<IDirect3D9> m_d3d;
    ComRef<IDirect3DDevice9> m_device;
    ComRef<IDirect3DQuery9> m_query;
};
