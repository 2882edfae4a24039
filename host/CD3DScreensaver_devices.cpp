// Direct3D adapters, device types, display modes and the render units' devices.
#include "host/CD3DScreensaver.h"

#include "host/DeviceChoice.h"
#include "host/RegistryKey.h"
#include "host/SaverErrors.h"

#include <cstdio>
#include <cwchar>
#include <new>
#include <vector>

namespace {

const D3DDEVTYPE kDeviceTypes[] = {D3DDEVTYPE_HAL, D3DDEVTYPE_SW, D3DDEVTYPE_REF};

}  // namespace

bool CD3DScreensaver::OfferVertexProcessing(const D3DCAPS9& caps, D3DFORMAT format,
                                            DWORD* behavior)
{
    if (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) {
        const DWORD choices[] = {D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE,
                                 D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                 D3DCREATE_MIXED_VERTEXPROCESSING};
        for (DWORD choice : choices) {
            if ((choice & D3DCREATE_PUREDEVICE) && !(caps.DevCaps & D3DDEVCAPS_PUREDEVICE))
                continue;
            if (SUCCEEDED(AcceptDevice(&caps, choice, format))) {
                *behavior = choice;
                return true;
            }
        }
    }
    if (SUCCEEDED(AcceptDevice(&caps, D3DCREATE_SOFTWARE_VERTEXPROCESSING, format))) {
        *behavior = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
        return true;
    }
    return false;
}

bool CD3DScreensaver::PickDeviceDepthFormat(int adapterIndex, D3DDEVTYPE type, D3DFORMAT format,
                                            D3DFORMAT* depthFormat)
{
    IDirect3D9* d3d = m_d3d.Get();
    const UINT adapter = static_cast<UINT>(adapterIndex);
    return PickDepthFormat(m_minDepthBits, m_minStencilBits,
                           [&](D3DFORMAT candidate) {
                               return SUCCEEDED(d3d->CheckDeviceFormat(
                                          adapter, type, format, D3DUSAGE_DEPTHSTENCIL,
                                          D3DRTYPE_SURFACE, candidate)) &&
                                      SUCCEEDED(d3d->CheckDepthStencilMatch(adapter, type, format,
                                                                            format, candidate));
                           },
                           depthFormat);
}

HRESULT CD3DScreensaver::EnumerateAdapters()
{
    const UINT reported = m_d3d->GetAdapterCount();
    const UINT adapterCount = reported < static_cast<UINT>(kMaxAdapters) ? reported : kMaxAdapters;
    const int typeCount = m_allowReference ? 3 : 2;

    for (UINT i = 0; i < adapterCount; ++i) {
        AdapterRecord* adapter = new (std::nothrow) AdapterRecord();
        if (!adapter)
            return E_OUTOFMEMORY;
        m_adapters[m_adapterCount++] = adapter;
        m_d3d->GetAdapterIdentifier(i, 0, &adapter->identifier);
        m_d3d->GetAdapterDisplayMode(i, &adapter->desktopMode);
        adapter->monitor = -1;

        const HMONITOR monitor = m_d3d->GetAdapterMonitor(i);
        for (int m = 0; m < m_monitorCount; ++m) {
            if (m_monitors[m].monitor && m_monitors[m].monitor == monitor) {
                adapter->monitor = m;
                m_monitors[m].adapter = static_cast<int>(i);
            }
        }

        std::vector<D3DDISPLAYMODE> listed;
        const UINT modeCount = m_d3d->GetAdapterModeCount(i, D3DFMT_X8R8G8B8);
        for (UINT k = 0; k < modeCount; ++k) {
            D3DDISPLAYMODE mode;
            if (SUCCEEDED(m_d3d->EnumAdapterModes(i, D3DFMT_X8R8G8B8, k, &mode)))
                listed.push_back(mode);
        }
        DisplayModeEntry collected[kMaxCollectedModes];
        const unsigned collectedCount = CollectDisplayModes(
            listed.data(), static_cast<unsigned>(listed.size()), collected, kMaxCollectedModes);

        D3DFORMAT formats[kMaxCollectedModes + 1];
        unsigned formatCount = 0;
        formats[formatCount++] = adapter->desktopMode.Format;
        for (unsigned k = 0; k < collectedCount; ++k) {
            bool known = false;
            for (unsigned f = 0; f < formatCount && !known; ++f)
                known = formats[f] == collected[k].format;
            if (!known)
                formats[formatCount++] = collected[k].format;
        }

        for (int t = 0; t < typeCount && adapter->deviceCount < kMaxDeviceRecords; ++t) {
            const D3DDEVTYPE type = kDeviceTypes[t];
            DeviceRecord& record = adapter->devices[adapter->deviceCount];
            record = DeviceRecord{};
            record.type = type;
            record.chosenMode = kNoMode;
            if (FAILED(m_d3d->GetDeviceCaps(i, type, &record.caps)))
                continue;

            bool confirmed[kMaxCollectedModes + 1] = {};
            DWORD behaviors[kMaxCollectedModes + 1] = {};
            D3DFORMAT depths[kMaxCollectedModes + 1] = {};
            for (unsigned f = 0; f < formatCount; ++f) {
                if (FAILED(m_d3d->CheckDeviceType(i, type, formats[f], formats[f], FALSE)))
                    continue;
                if (type == D3DDEVTYPE_HAL)
                    adapter->hardwarePresent = true;
                else if (type == D3DDEVTYPE_SW)
                    adapter->softwarePresent = true;
                DWORD behavior = 0;
                if (!OfferVertexProcessing(record.caps, formats[f], &behavior))
                    continue;
                if (m_multithreaded)
                    behavior |= D3DCREATE_MULTITHREADED;
                D3DFORMAT depth = D3DFMT_UNKNOWN;
                if (m_useDepthBuffer && !PickDeviceDepthFormat(static_cast<int>(i), type,
                                                               formats[f], &depth))
                    continue;
                confirmed[f] = true;
                behaviors[f] = behavior;
                depths[f] = depth;
            }

            for (unsigned k = 0; k < collectedCount && record.modeCount < kMaxModeEntries; ++k) {
                for (unsigned f = 0; f < formatCount; ++f) {
                    if (!confirmed[f] || formats[f] != collected[k].format)
                        continue;
                    DisplayModeEntry entry = collected[k];
                    entry.behavior = behaviors[f];
                    entry.depthFormat = depths[f];
                    record.modes[record.modeCount++] = entry;
                    break;
                }
            }
            record.windowedUsable = confirmed[0];
            if (record.modeCount > 0) {
                ++adapter->deviceCount;
                if (type == D3DDEVTYPE_HAL)
                    adapter->hardwareUsable = true;
                else if (type == D3DDEVTYPE_SW)
                    adapter->softwareUsable = true;
            }
        }
    }
    return S_OK;
}

void CD3DScreensaver::CreateUnits()
{
    if (m_saverMode == kModeFullScreen) {
        m_windowed = false;
        if (m_oneScreenOnly) {
            for (int a = 0; a < m_adapterCount; ++a)
                m_adapters[a]->leaveBlack = 1;
            const int chosen = PickAdapter(m_monitors, m_monitorCount, m_adapters, m_adapterCount);
            if (chosen < 0)
                SetErrorMode(kErrNoCompatibleDevice);
            else
                m_adapters[chosen]->leaveBlack = 0;
        }
        // With one display a stored "Leave Black" would leave nothing to show, and the display
        // dialog of one display (200) offers no way to undo it: the only display shows the scene.
        int displays = 0;
        for (int m = 0; m < m_monitorCount; ++m)
            displays += (m_monitors[m].adapter >= 0 && m_monitors[m].adapter < m_adapterCount) ? 1 : 0;
        for (int m = 0; m < m_monitorCount && m_unitCount < kMaxUnits; ++m) {
            const int a = m_monitors[m].adapter;
            if (a < 0 || a >= m_adapterCount)
                continue;
            AdapterRecord& adapter = *m_adapters[a];
            const bool cannotRender = adapter.disableHardware && !adapter.softwareUsable && !m_allowReference;
            if (cannotRender)
                adapter.leaveBlack = 1;
            if (cannotRender || (adapter.leaveBlack && displays > 1) || adapter.deviceCount == 0)
                continue;
            adapter.window = m_monitors[m].window;
            RenderUnit& unit = m_units[m_unitCount];
            unit = RenderUnit{};
            unit.adapter = a;
            if (FAILED(CreateFullScreenUnit(unit))) {
                unit = RenderUnit{};
                SetErrorMode(kErrCreateDevice);
                continue;
            }
            ++m_unitCount;
        }
    } else {
        m_windowed = true;
        GetClientRect(m_mainWindow, &m_windowRect);
        m_screenRect = m_windowRect;
        const int a = PickAdapter(m_monitors, m_monitorCount, m_adapters, m_adapterCount);
        if (a < 0) {
            SetErrorMode(kErrCreateDevice);
        } else {
            m_adapters[a]->window = m_mainWindow;
            if (!m_errorMode) {
                RenderUnit& unit = m_units[0];
                unit = RenderUnit{};
                unit.adapter = a;
                if (FAILED(CreateWindowedUnit(unit))) {
                    unit = RenderUnit{};
                    SetErrorMode(m_saverMode == kModePreview ? kErrNoPreview : kErrCreateDevice);
                } else {
                    m_unitCount = 1;
                }
            }
        }
    }

    for (int m = 0; m < m_monitorCount; ++m) {
        MonitorRecord& record = m_monitors[m];
        if (!record.monitor)
            continue;
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        if (GetMonitorInfoW(record.monitor, &info))
            record.screen = info.rcMonitor;
        if (m_saverMode == kModeFullScreen && record.window) {
            const RECT& r = record.screen;
            SetWindowPos(record.window, HWND_TOPMOST, r.left, r.top, r.right - r.left,
                         r.bottom - r.top, SWP_NOACTIVATE);
        }
    }

    if (m_saverMode == kModeFullScreen) {
        SetRectEmpty(&m_windowRect);
        for (int u = 0; u < m_unitCount; ++u) {
            const int m = m_units[u].monitor;
            if (m >= 0 && m < m_monitorCount)
                UnionRect(&m_windowRect, &m_windowRect, &m_monitors[m].screen);
        }
    }

    if (!m_errorMode) {
        for (int u = 0; u < m_unitCount; ++u) {
            SelectUnit(u);
            if (FAILED(CreateDeviceResources())) {
                SetErrorMode(kErrDeviceResources);
                continue;
            }
            m_units[u].created = true;
            if (FAILED(ResetDeviceResources())) {
                SetErrorMode(kErrDeviceResources);
                continue;
            }
            m_units[u].restored = true;
        }
    }
    if (!m_errorMode)
        DescribeDevices();
    m_mouseMoveCount = 0;
}

HRESULT CD3DScreensaver::CreateFullScreenUnit(RenderUnit& unit)
{
    if (unit.adapter < 0 || unit.adapter >= m_adapterCount)
        return E_FAIL;
    AdapterRecord& adapter = *m_adapters[unit.adapter];
    if (adapter.deviceCount == 0)
        return E_FAIL;
    const int recordIndex = ChooseDeviceRecord(adapter, false);
    if (recordIndex < 0)
        return kErrNoHardwareDevice;
    DeviceRecord& record = adapter.devices[recordIndex];

    int mode = -1;
    const bool userChose = adapter.userWidth || adapter.userHeight || adapter.userFormat;
    if (userChose)
        mode = FindUserMode(record, adapter.userWidth, adapter.userHeight, adapter.userFormat);
    // A stored mode that this adapter no longer offers is treated like no choice at all.
    if (mode < 0)
        mode = ChooseAutomaticMode(record, adapter.desktopMode);
    if (mode < 0)
        return E_FAIL;
    record.chosenMode = static_cast<unsigned>(mode);
    const unsigned firstChoice = record.chosenMode;

    HRESULT hr = E_FAIL;
    for (;;) {
        const DisplayModeEntry& entry = record.modes[record.chosenMode];
        D3DPRESENT_PARAMETERS& pp = unit.presentParams;
        pp = D3DPRESENT_PARAMETERS{};
        pp.BackBufferWidth = entry.width;
        pp.BackBufferHeight = entry.height;
        pp.BackBufferFormat = entry.format;
        pp.BackBufferCount = 1;
        pp.MultiSampleType = D3DMULTISAMPLE_NONE;
        pp.SwapEffect = m_fullScreenSwapEffect;
        pp.hDeviceWindow = adapter.window;
        pp.Windowed = FALSE;
        pp.EnableAutoDepthStencil = m_useDepthBuffer ? TRUE : FALSE;
        pp.AutoDepthStencilFormat = m_useDepthBuffer ? entry.depthFormat : D3DFMT_UNKNOWN;
        pp.FullScreen_RefreshRateInHz = D3DPRESENT_RATE_DEFAULT;
        pp.PresentationInterval = D3DPRESENT_INTERVAL_ONE;
        unit.type = record.type;
        unit.behavior = entry.behavior;
        unit.monitor = adapter.monitor;

        hr = m_d3d->CreateDevice(static_cast<UINT>(unit.adapter), record.type, m_mainWindow,
                                 entry.behavior, &pp, unit.device.Receive());
        if (SUCCEEDED(hr)) {
            hr = CheckCreatedDevice(unit.device.Get());
            if (FAILED(hr))
                unit.device.Reset();
        }
        if (SUCCEEDED(hr))
            break;
        if (!PickLowerMode(record))
            return hr;
    }

    if (record.chosenMode != firstChoice && m_settingsKeyPath[0])
        StoreFallbackMode(unit.adapter, record.modes[record.chosenMode]);
    return S_OK;
}

HRESULT CD3DScreensaver::ConfirmBehavior(const AdapterRecord& adapter, int adapterIndex,
                                         const DeviceRecord& record, D3DFORMAT format,
                                         DWORD* behavior, D3DFORMAT* depthFormat)
{
    const HRESULT hr = m_d3d->CheckDeviceType(static_cast<UINT>(adapterIndex), record.type,
                                              adapter.desktopMode.Format, format, TRUE);
    if (FAILED(hr))
        return hr;
    if (!OfferVertexProcessing(record.caps, adapter.desktopMode.Format, behavior))
        return E_FAIL;
    if (m_multithreaded)
        *behavior |= D3DCREATE_MULTITHREADED;
    *depthFormat = D3DFMT_UNKNOWN;
    if (m_useDepthBuffer && !PickDeviceDepthFormat(adapterIndex, record.type, format, depthFormat))
        return E_FAIL;
    return S_OK;
}

HRESULT CD3DScreensaver::CreateWindowedUnit(RenderUnit& unit)
{
    if (unit.adapter < 0 || unit.adapter >= m_adapterCount)
        return E_FAIL;
    AdapterRecord& adapter = *m_adapters[unit.adapter];
    const int recordIndex = ChooseDeviceRecord(adapter, true);
    if (recordIndex < 0)
        return kErrNoHardwareDevice;
    adapter.chosenDevice = static_cast<unsigned>(recordIndex);
    const DeviceRecord& record = adapter.devices[recordIndex];

    D3DFORMAT order[5];
    WindowedFormatOrder(adapter.desktopMode.Format, order);
    D3DFORMAT format = D3DFMT_UNKNOWN;
    DWORD behavior = 0;
    D3DFORMAT depth = D3DFMT_UNKNOWN;
    bool found = false;
    for (D3DFORMAT candidate : order) {
        if (SUCCEEDED(ConfirmBehavior(adapter, unit.adapter, record, candidate, &behavior, &depth))) {
            format = candidate;
            found = true;
            break;
        }
    }
    if (!found)
        return E_FAIL;

    D3DPRESENT_PARAMETERS& pp = unit.presentParams;
    pp = D3DPRESENT_PARAMETERS{};
    pp.BackBufferFormat = format;
    pp.BackBufferCount = 1;
    pp.MultiSampleType = D3DMULTISAMPLE_NONE;
    pp.SwapEffect = m_windowedSwapEffect;
    pp.hDeviceWindow = adapter.window;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = m_useDepthBuffer ? TRUE : FALSE;
    pp.AutoDepthStencilFormat = m_useDepthBuffer ? depth : D3DFMT_UNKNOWN;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    unit.type = record.type;
    unit.behavior = behavior;
    unit.monitor = adapter.monitor;
    return m_d3d->CreateDevice(static_cast<UINT>(unit.adapter), record.type, m_mainWindow, behavior,
                               &pp, unit.device.Receive());
}

void CD3DScreensaver::StoreFallbackMode(int adapterIndex, const DisplayModeEntry& mode)
{
    AdapterRecord& adapter = *m_adapters[adapterIndex];
    adapter.userWidth = mode.width;
    adapter.userHeight = mode.height;
    adapter.userFormat = mode.format;
    RegistryKey settings;
    if (!settings.Create(HKEY_CURRENT_USER, m_settingsKeyPath))
        return;
    wchar_t name[32];
    std::swprintf(name, 32, L"Screen %d", adapter.monitor + 1);
    RegistryKey screen;
    if (!screen.Create(settings.Handle(), name))
        return;
    screen.WriteDword(L"Width", mode.width);
    screen.WriteDword(L"Height", mode.height);
    screen.WriteDword(L"Format", static_cast<DWORD>(mode.format));
    screen.WriteBinary(L"Adapter ID", &adapter.identifier.DeviceIdentifier, sizeof(GUID));
}

void CD3DScreensaver::ReadScreenSettings(HKEY settingsKey)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(settingsKey, L"AllScreensSame", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
        size == sizeof(value))
        m_allScreensSame = static_cast<int>(value);
    for (int m = 0; m < m_monitorCount; ++m) {
        const int a = m_monitors[m].adapter;
        if (a < 0 || a >= m_adapterCount)
            continue;
        AdapterRecord& adapter = *m_adapters[a];
        wchar_t name[32];
        std::swprintf(name, 32, L"Screen %d", m + 1);
        RegistryKey screen;
        if (!screen.Create(settingsKey, name))
            continue;
        GUID stored = {};
        screen.ReadBinary(L"Adapter ID", &stored, sizeof(stored));
        DWORD v = static_cast<DWORD>(adapter.leaveBlack);
        if (screen.ReadDword(L"Leave Black", &v))
            adapter.leaveBlack = static_cast<int>(v);
        const GUID zero = {};
        // Settings stored for another adapter keep only the leave-black choice.
        if (!IsEqualGUID(stored, adapter.identifier.DeviceIdentifier) && !IsEqualGUID(stored, zero))
            continue;
        v = static_cast<DWORD>(adapter.disableHardware);
        if (screen.ReadDword(L"Disable Hardware", &v))
            adapter.disableHardware = static_cast<int>(v);
        v = adapter.userWidth;
        if (screen.ReadDword(L"Width", &v))
            adapter.userWidth = v;
        v = adapter.userHeight;
        if (screen.ReadDword(L"Height", &v))
            adapter.userHeight = v;
        v = static_cast<DWORD>(adapter.userFormat);
        if (screen.ReadDword(L"Format", &v))
            adapter.userFormat = static_cast<D3DFORMAT>(v);
    }
}

void CD3DScreensaver::WriteScreenSettings(HKEY settingsKey)
{
    const DWORD same = static_cast<DWORD>(m_allScreensSame);
    RegSetValueExW(settingsKey, L"AllScreensSame", 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&same), sizeof(same));
    for (int m = 0; m < m_monitorCount; ++m) {
        const int a = m_monitors[m].adapter;
        if (a < 0 || a >= m_adapterCount)
            continue;
        const AdapterRecord& adapter = *m_adapters[a];
        wchar_t name[32];
        std::swprintf(name, 32, L"Screen %d", m + 1);
        RegistryKey screen;
        if (!screen.Create(settingsKey, name))
            continue;
        screen.WriteDword(L"Leave Black", static_cast<DWORD>(adapter.leaveBlack));
        screen.WriteDword(L"Disable Hardware", static_cast<DWORD>(adapter.disableHardware));
        screen.WriteDword(L"Width", adapter.userWidth);
        screen.WriteDword(L"Height", adapter.userHeight);
        screen.WriteDword(L"Format", static_cast<DWORD>(adapter.userFormat));
        screen.WriteBinary(L"Adapter ID", &adapter.identifier.DeviceIdentifier, sizeof(GUID));
    }
}
