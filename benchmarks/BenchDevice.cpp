#include "benchmarks/BenchDevice.h"

#include <windows.h>
#include <d3d9.h>

namespace {

const wchar_t kWindowClass[] = L"GlimmerBenchWindow";

}  // namespace

BenchDevice::~BenchDevice()
{
    m_query.Reset();
    m_device.Reset();
    m_d3d.Reset();
    if (m_window)
        DestroyWindow(m_window);
}

bool BenchDevice::Create(unsigned width, unsigned height)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kWindowClass;
    RegisterClassW(&wc);
    m_window = CreateWindowExW(0, kWindowClass, L"GlimmerBench", WS_POPUP, 0, 0,
                               static_cast<int>(width), static_cast<int>(height), nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!m_window)
        return false;
    m_d3d.Attach(Direct3DCreate9(D3D_SDK_VERSION));
    if (!m_d3d)
        return false;

    // What the saver's windowed unit asks for: one back buffer, a depth buffer, hardware
    // vertex processing.
    D3DPRESENT_PARAMETERS pp = {};
    pp.Windowed = TRUE;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferWidth = width;
    pp.BackBufferHeight = height;
    pp.BackBufferCount = 1;
    pp.hDeviceWindow = m_window;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D24S8;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    if (FAILED(m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_window,
                                   D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, m_device.Receive())))
        return false;
    m_device->CreateQuery(D3DQUERYTYPE_EVENT, m_query.Receive());
    return true;
}

void BenchDevice::WaitUntilIdle()
{
    if (!m_query)
        return;
    m_query->Issue(D3DISSUE_END);
    while (m_query->GetData(nullptr, 0, D3DGETDATA_FLUSH) == S_FALSE)
        YieldProcessor();
}
