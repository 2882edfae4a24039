#pragma once
#include <windows.h>

// The host's own failure codes.
const HRESULT kErrNoDirect3D = static_cast<HRESULT>(0x82000001);
const HRESULT kErrNoCompatibleDevice = static_cast<HRESULT>(0x82000003);
const HRESULT kErrNoHardwareDevice = static_cast<HRESULT>(0x82000005);
const HRESULT kErrMissingHardware = static_cast<HRESULT>(0x82000006);
const HRESULT kErrInitFailed = static_cast<HRESULT>(0x82000007);
const HRESULT kErrMissingHardwareAtDesktop = static_cast<HRESULT>(0x82000009);
const HRESULT kErrMedia = static_cast<HRESULT>(0x8200000B);
const HRESULT kErrReset = static_cast<HRESULT>(0x8200000C);
const HRESULT kErrDeviceResources = static_cast<HRESULT>(0x8200000D);
const HRESULT kErrCreateDevice = static_cast<HRESULT>(0x8200000E);
const HRESULT kErrNoPreview = static_cast<HRESULT>(0x8200000F);
