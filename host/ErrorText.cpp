#include "host/ErrorText.h"

#include "host/SaverErrors.h"

namespace {

struct ErrorEntry {
    HRESULT code;
    UINT stringId;
};

const ErrorEntry kEntries[] = {
    {E_FAIL, 2100},
    {kErrNoDirect3D, 2101},
    {kErrInitFailed, 2102},
    {kErrCreateDevice, 2103},
    {kErrNoCompatibleDevice, 2104},
    {kErrNoHardwareDevice, 2105},
    {kErrMissingHardware, 2106},
    {kErrMissingHardwareAtDesktop, 2107},
    {kErrMedia, 2108},
    {kErrReset, 2109},
    {E_OUTOFMEMORY, 2110},
    {static_cast<HRESULT>(0x8876017C), 2111},  // D3DERR_OUTOFVIDEOMEMORY
    {kErrNoPreview, 2112},
};

}  // namespace

UINT ErrorStringId(HRESULT code)
{
    for (const ErrorEntry& e : kEntries)
        if (e.code == code)
            return e.stringId;
    return kGeneralErrorStringId;
}
