#pragma once
// The plain records of displays, adapters, device types, display modes and render units.
#include <windows.h>
#include <d3d9.h>

#include "host/ErrorBox.h"
#include "model/ComRef.h"

const int kMaxMonitors = 9;
const int kMaxAdapters = 9;
const int kMaxUnits = 9;
const int kMaxDeviceRecords = 3;
const int kMaxModeEntries = 150;
const int kMaxCollectedModes = 100;
const unsigned kNoMode = 0xFFFF;

struct MonitorRecord {
    wchar_t adapterDescription[128];
    wchar_t monitorDescription[128];
    HMONITOR monitor;  // null when the display device is not part of the desktop
    RECT screen;       // virtual-screen pixels
    int adapter;       // -1 when no Direct3D adapter drives it
    HWND window;       // its saver window; in the windowed modes record 0 holds the one window
    ErrorBox errorBox;
};

struct DisplayModeEntry {
    UINT width;
    UINT height;
    D3DFORMAT format;
    DWORD behavior;  // behaviour flags for CreateDevice
    D3DFORMAT depthFormat;
};

struct DeviceRecord {
    D3DDEVTYPE type;
    D3DCAPS9 caps;
    bool windowedUsable;  // the desktop format was confirmed for this type
    DisplayModeEntry modes[kMaxModeEntries];
    unsigned modeCount;
    unsigned chosenMode;  // kNoMode while none
};

struct AdapterRecord {
    int monitor;  // -1 when it drives no listed display
    D3DADAPTER_IDENTIFIER9 identifier;
    D3DDISPLAYMODE desktopMode;
    DeviceRecord devices[kMaxDeviceRecords];
    unsigned deviceCount;
    bool hardwarePresent, hardwareUsable, softwarePresent, softwareUsable;
    UINT userWidth, userHeight;  // all 0 with the format: chosen automatically
    D3DFORMAT userFormat;
    int leaveBlack;
    int disableHardware;
    unsigned chosenDevice;
    HWND window;  // the window its device renders into
};

struct RenderUnit {
    int adapter;
    int monitor;
    D3DDEVTYPE type;
    DWORD behavior;
    ComRef<IDirect3DDevice9> device;
    D3DPRESENT_PARAMETERS presentParams;
    bool created;   // CreateDeviceResources succeeded
    bool restored;  // ResetDeviceResources succeeded and LoseDeviceResources has not run since
};
