#include "DeviceFixture.h"
#include "BmpBytes.h"
#include "TestPaths.h"

#include <windows.h>
#include <d3d9.h>

#include "model/ComRef.h"

#include <cstdio>
#include <cstring>
#include <cstdlib>

namespace {

const wchar_t kWindowClass[] = L"DeviceFixtureWindow";

void RegisterFixtureClass()
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kWindowClass;
    RegisterClassW(&wc);
    registered = true;
}

int Channel(uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

D3DPRESENT_PARAMETERS PresentParameters(HWND window)
{
    D3DPRESENT_PARAMETERS pp = {};
    pp.Windowed = TRUE;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferWidth = DeviceFixture::kSize;
    pp.BackBufferHeight = DeviceFixture::kSize;
    pp.hDeviceWindow = window;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D24S8;
    return pp;
}

}  // namespace

void DeviceFixture::SetUp()
{
    RegisterFixtureClass();
    m_window = CreateWindowExW(0, kWindowClass, L"device fixture", WS_POPUP, 0, 0, kSize, kSize,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(m_window, nullptr);
    m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(m_d3d, nullptr);

    D3DPRESENT_PARAMETERS pp = PresentParameters(m_window);
    HRESULT hr = m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_window,
                                     D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_FPU_PRESERVE,
                                     &pp, &m_device);
    ASSERT_EQ(hr, D3D_OK) << "CreateDevice";
    hr = m_device->CreateRenderTarget(kSize, kSize, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                      &m_target, nullptr);
    ASSERT_EQ(hr, D3D_OK) << "CreateRenderTarget";
    ASSERT_EQ(m_device->SetRenderTarget(0, m_target), D3D_OK);
}

long DeviceFixture::ResetDevice()
{
    if (!m_device)
        return E_FAIL;
    if (m_target)
        m_target->Release();
    m_target = nullptr;
    D3DPRESENT_PARAMETERS pp = PresentParameters(m_window);
    HRESULT result = m_device->Reset(&pp);
    if (SUCCEEDED(m_device->CreateRenderTarget(kSize, kSize, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0,
                                               FALSE, &m_target, nullptr)))
        m_device->SetRenderTarget(0, m_target);
    return result;
}

void DeviceFixture::TearDown()
{
    if (HasFailure() && m_device && m_target) {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        for (char& c : name)
            if (c == '/' || c == '\\' || c == ':')
                c = '_';
        std::string path = SaveTarget(name);
        if (!path.empty())
            std::fprintf(stderr, "render target written to %s\n", path.c_str());
    }
    if (m_target)
        m_target->Release();
    if (m_device)
        m_device->Release();
    if (m_d3d)
        m_d3d->Release();
    if (m_window)
        DestroyWindow(m_window);
    m_target = nullptr;
    m_device = nullptr;
    m_d3d = nullptr;
    m_window = nullptr;
}

std::vector<uint32_t> ReadRenderTarget(IDirect3DDevice9* device, IDirect3DSurface9* target)
{
    std::vector<uint32_t> pixels;
    if (!device || !target) {
        ADD_FAILURE() << "read-back failed: no device or render target";
        return pixels;
    }
    D3DSURFACE_DESC desc;
    HRESULT hr = target->GetDesc(&desc);
    if (FAILED(hr) || (desc.Format != D3DFMT_A8R8G8B8 && desc.Format != D3DFMT_X8R8G8B8)) {
        ADD_FAILURE() << "read-back failed: the target is no 32-bit surface";
        return pixels;
    }
    ComRef<IDirect3DSurface9> copy;
    hr = device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                             copy.Receive(), nullptr);
    if (FAILED(hr)) {
        ADD_FAILURE() << "read-back failed: CreateOffscreenPlainSurface 0x" << std::hex << hr;
        return pixels;
    }
    // GetRenderTargetData needs a system-memory destination of the same size and format.
    hr = device->GetRenderTargetData(target, copy.Get());
    if (FAILED(hr)) {
        ADD_FAILURE() << "read-back failed: GetRenderTargetData 0x" << std::hex << hr;
        return pixels;
    }
    D3DLOCKED_RECT locked;
    hr = copy->LockRect(&locked, nullptr, D3DLOCK_READONLY);
    if (FAILED(hr)) {
        ADD_FAILURE() << "read-back failed: LockRect 0x" << std::hex << hr;
        return pixels;
    }
    pixels.resize(static_cast<size_t>(desc.Width) * desc.Height);
    for (unsigned y = 0; y < desc.Height; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch;
        std::memcpy(&pixels[static_cast<size_t>(y) * desc.Width], row, desc.Width * 4);
    }
    copy->UnlockRect();
    return pixels;
}

std::vector<uint32_t> DeviceFixture::ReadBack() const { return ReadRenderTarget(m_device, m_target); }

uint32_t DeviceFixture::PixelAt(unsigned x, unsigned y) const
{
    if (x >= kSize || y >= kSize) {
        ADD_FAILURE() << "pixel " << x << "," << y << " lies outside the " << kSize << " x " << kSize
                      << " target";
        return 0;
    }
    std::vector<uint32_t> pixels = ReadBack();
    if (pixels.empty())
        return 0;
    return pixels[static_cast<size_t>(y) * kSize + x];
}

std::string DeviceFixture::SaveTarget(const std::string& name) const
{
    std::vector<uint32_t> pixels = ReadBack();
    if (pixels.empty())
        return std::string();
    std::string path = TestArtifactsDir() + "\\" + name + ".bmp";
    return WriteBmp(path, pixels, kSize, kSize) ? path : std::string();
}

bool ColorsNear(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance)
            return false;
    return true;
}

bool WriteBmp(const std::string& path, const std::vector<uint32_t>& pixels, unsigned width,
              unsigned height)
{
    if (pixels.size() < static_cast<size_t>(width) * height)
        return false;
    const std::vector<uint8_t> bytes =
        MakeBmp(width, height, [&](unsigned x, unsigned y) { return pixels[static_cast<size_t>(y) * width + x]; }, 32);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), bytes.size(), 1, f) == 1;
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}
