#include "support/DecodedPicture.h"

#include <windows.h>

#include <d3d9.h>
#include <d3dx9.h>

#include <algorithm>
#include <cmath>

#include "model/ComRef.h"

namespace {

const wchar_t kWindowClass[] = L"DecodedPictureWindow";

HWND HiddenWindow()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kWindowClass;
    RegisterClassW(&wc);  // fails harmlessly when registered before
    return CreateWindowExW(0, kWindowClass, L"picture decoder", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

DecodedPicture DecodeOn(IDirect3DDevice9* device, const std::vector<uint8_t>& bytes)
{
    DecodedPicture picture;
    ComRef<IDirect3DTexture9> texture;
    D3DXIMAGE_INFO info = {};
    if (FAILED(D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), static_cast<UINT>(bytes.size()),
                                                   D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, 1, 0, D3DFMT_A8R8G8B8,
                                                   D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0, &info,
                                                   nullptr, texture.Receive())))
        return picture;
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY)))
        return picture;
    picture.width = info.Width;
    picture.height = info.Height;
    picture.pixels.reserve(static_cast<size_t>(info.Width) * info.Height);
    for (UINT y = 0; y < info.Height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch);
        picture.pixels.insert(picture.pixels.end(), row, row + info.Width);
    }
    texture->UnlockRect(0);
    return picture;
}

}  // namespace

uint32_t DecodedPicture::Sample(double x, double y) const
{
    if (pixels.empty())
        return 0;
    // Pixel centres lie at half units.
    const double fx = std::clamp(x - 0.5, 0.0, width - 1.0), fy = std::clamp(y - 0.5, 0.0, height - 1.0);
    const unsigned x0 = static_cast<unsigned>(fx), y0 = static_cast<unsigned>(fy);
    const unsigned x1 = std::min(x0 + 1, width - 1), y1 = std::min(y0 + 1, height - 1);
    const double tx = fx - x0, ty = fy - y0;
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        auto channel = [&](unsigned px, unsigned py) { return static_cast<double>((At(px, py) >> shift) & 0xFF); };
        const double top = channel(x0, y0) * (1 - tx) + channel(x1, y0) * tx;
        const double bottom = channel(x0, y1) * (1 - tx) + channel(x1, y1) * tx;
        result |= static_cast<uint32_t>(top * (1 - ty) + bottom * ty + 0.5) << shift;
    }
    return result;
}

DecodedPicture DecodePicture(const std::vector<uint8_t>& bytes)
{
    DecodedPicture picture;
    if (bytes.empty())
        return picture;
    HWND window = HiddenWindow();
    IDirect3D9* d3d = window ? Direct3DCreate9(D3D_SDK_VERSION) : nullptr;
    if (d3d) {
        D3DPRESENT_PARAMETERS pp = {};
        pp.Windowed = TRUE;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferWidth = 16;
        pp.BackBufferHeight = 16;
        pp.hDeviceWindow = window;
        IDirect3DDevice9* device = nullptr;
        if (SUCCEEDED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                        D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_FPU_PRESERVE, &pp, &device))) {
            picture = DecodeOn(device, bytes);
            device->Release();
        }
        d3d->Release();
    }
    if (window)
        DestroyWindow(window);
    return picture;
}
