#include "host/CD3DScreensaver.h"

#include "host/MusicGraph.h"
#include "host/SaverErrors.h"
#include "model/CurrentDevice.h"

#include <cwchar>
#include <new>

CD3DScreensaver* CurrentSaver = nullptr;

namespace {

typedef DWORD(WINAPI* PwdChangePasswordFn)(LPCSTR, HWND, DWORD, DWORD);

}  // namespace

CD3DScreensaver::CD3DScreensaver()
{
    CurrentSaver = this;
    std::wcscpy(m_title, L"Screen Saver");
}

CD3DScreensaver::~CD3DScreensaver()
{
    // Normally the run has released everything already; this covers an object that never ran.
    for (int i = 0; i < m_unitCount && i < kMaxUnits; ++i)
        ReleaseUnitDevice(m_units[i]);
    m_unitCount = 0;
    FreeAdapters();
    m_d3d.Reset();
    if (CurrentSaver == this)
        CurrentSaver = nullptr;
}

void CD3DScreensaver::SetErrorMode(HRESULT code)
{
    m_errorMode = true;
    m_errorCode = code;
}

HRESULT CD3DScreensaver::Initialize(HINSTANCE instance)
{
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE);
    m_instance = instance;
    m_saverMode = ReadSaverMode(GetCommandLineW(), &m_parentWindow);
    ListMonitors();

    if (m_saverMode == kModePreview || m_saverMode == kModeFullScreen ||
        m_saverMode == kModeTest) {
        const HRESULT hr = OpenSaverWindows();
        if (FAILED(hr))
            SetErrorMode(hr);
    }

    if (m_saverMode == kModePreview && m_mainWindow) {
        m_previewSettling = true;
        PostMessageW(m_mainWindow, WM_USER, 0, 0);
        MSG msg;
        // A destroyed preview window makes GetMessageW fail (-1); that ends the wait as well.
        while (m_previewSettling && IsWindow(m_mainWindow)) {
            const BOOL got = GetMessageW(&msg, m_mainWindow, 0, 0);
            if (got <= 0) {
                PostQuitMessage(0);
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    m_d3d.Attach(Direct3DCreate9(D3D_SDK_VERSION));
    if (!m_d3d) {
        SetErrorMode(kErrNoDirect3D);
        return S_OK;
    }
    HRESULT hr = PrepareEnumeration();
    if (FAILED(hr)) {
        SetErrorMode(hr);
        return S_OK;
    }
    hr = EnumerateAdapters();
    if (FAILED(hr)) {
        SetErrorMode(hr);
        return S_OK;
    }
    bool anyUsable = false;
    for (int i = 0; i < m_adapterCount; ++i)
        anyUsable = anyUsable || m_adapters[i]->hardwareUsable || m_adapters[i]->softwareUsable;
    if (!anyUsable) {
        SetErrorMode(kErrNoCompatibleDevice);
        return S_OK;
    }
    ReadSettings();
    // Only the modes that play the scene have music; without a graph it stays silent.
    if (m_saverMode == kModeFullScreen || m_saverMode == kModeTest)
        InitMusicGraph(m_mainWindow);
    return S_OK;
}

int CD3DScreensaver::Execute()
{
    switch (m_saverMode) {
    case kModeConfig:
        if (m_errorMode)
            ShowError(m_errorCode);
        else
            ShowConfigDialog();
        break;
    case kModePreview:
    case kModeFullScreen:
    case kModeTest:
        // Without a window nothing could ever end the loop.
        if (m_mainWindow && IsWindow(m_mainWindow)) {
            const HRESULT hr = RunSaverLoop();
            if (FAILED(hr))
                ShowError(hr);
        }
        break;
    case kModePassword:
        ChangePassword();
        break;
    case kModeNone:
        break;
    case kModeNoAction:
        ShowInfoDialog(nullptr);
        break;
    }
    FreeAdapters();
    m_d3d.Reset();
    return 0;
}

void CD3DScreensaver::FreeAdapters()
{
    for (int i = 0; i < kMaxAdapters; ++i) {
        delete m_adapters[i];
        m_adapters[i] = nullptr;
    }
    m_adapterCount = 0;
}

void CD3DScreensaver::ChangePassword()
{
    HMODULE mpr = LoadLibraryW(L"MPR.DLL");
    if (!mpr)
        return;
    auto change = reinterpret_cast<PwdChangePasswordFn>(
        reinterpret_cast<void*>(GetProcAddress(mpr, "PwdChangePasswordA")));
    if (change)
        change("SCRSAVE", m_parentWindow, 0, 0);
    FreeLibrary(mpr);
}

void CD3DScreensaver::ReleaseUnits()
{
    for (int i = 0; i < m_unitCount; ++i) {
        SelectUnit(i);
        RenderUnit& unit = m_units[i];
        if (unit.restored) {
            LoseDeviceResources();
            unit.restored = false;
        }
        if (unit.created) {
            DestroyDeviceResources();
            unit.created = false;
        }
        ReleaseUnitDevice(unit);
    }
    m_unitCount = 0;
    m_device = nullptr;
    m_d3d.Reset();
}

void CD3DScreensaver::ReleaseUnitDevice(RenderUnit& unit)
{
    // Scene code must never reach a device that is gone.
    if (unit.device && CurrentDevice == unit.device.Get())
        CurrentDevice = nullptr;
    unit.device.Reset();
}

void CD3DScreensaver::InterruptSaver()
{
    if (m_saverMode != kModeFullScreen && m_saverMode != kModeTest)
        return;
    EndSaver();
}

void CD3DScreensaver::EndSaver()
{
    if (m_saverMode == kModeFullScreen) {
        BOOL old = FALSE;
        SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, FALSE, &old, 0);
    }
    ReleaseUnits();
    ReleaseScene();
    PostQuitMessage(0);
}

HRESULT CD3DScreensaver::ShowError(HRESULT code)
{
    wchar_t text[512] = {};
    GetErrorText(code, text, 512);
    const HWND owner = (m_saverMode == kModeConfig || m_saverMode == kModePassword) ? nullptr
                                                                                    : m_mainWindow;
    MessageBoxW(owner, text, m_title, MB_ICONERROR);
    return code;
}
