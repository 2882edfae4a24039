#include "host/UnitFrameOps.h"

#include <d3d9.h>

namespace {

// Returns false when the unit must not be drawn this frame.
bool ResetUnit(UnitFrameOps& ops, int i)
{
    ops.BeforeUnitReset(i);
    if (ops.UnitRestored(i)) {
        ops.LoseDeviceResources();
        ops.SetUnitRestored(i, false);
    }
    if (FAILED(ops.ResetUnitDevice(i))) {
        // The device still waits for a reset and its resources are gone: drawing it would
        // touch released objects. The error box takes over from the next pass.
        ops.EnterResetErrorMode();
        return false;
    }
    if (SUCCEEDED(ops.ResetDeviceResources()))
        ops.SetUnitRestored(i, true);
    else
        ops.EnterResetErrorMode();
    return true;
}

}  // namespace

bool WalkUnitFrame(UnitFrameOps& ops)
{
    const int count = ops.UnitCount();
    for (int i = 0; i < count; ++i) {
        ops.SelectUnit(i);
        if (!ops.UnitHasDevice(i))
            continue;
        const HRESULT level = ops.TestUnitCooperativeLevel(i);
        if (level == D3DERR_DEVICELOST)
            return false;
        if (level == D3DERR_DEVICENOTRESET && !ResetUnit(ops, i))
            continue;
        ops.DrawUnit();
    }
    for (int i = 0; i < count; ++i) {
        ops.SelectUnit(i);
        ops.PresentUnit(i);
    }
    return true;
}
