#pragma once
#include <windows.h>

// What one frame needs from the render units, so that the walk over them (lost device, reset,
// draw, present) can run against real devices or a scripted stand-in.
class UnitFrameOps {
public:
    virtual ~UnitFrameOps() = default;

    virtual int UnitCount() const = 0;
    // Makes unit i current; the hooks below then act on it.
    virtual void SelectUnit(int i) = 0;
    virtual bool UnitHasDevice(int i) const = 0;
    virtual HRESULT TestUnitCooperativeLevel(int i) = 0;
    // Called before a reset: a windowed device resets to the desktop's current mode.
    virtual void BeforeUnitReset(int i) = 0;
    virtual HRESULT ResetUnitDevice(int i) = 0;
    virtual bool UnitRestored(int i) const = 0;
    virtual void SetUnitRestored(int i, bool restored) = 0;
    virtual HRESULT LoseDeviceResources() = 0;
    virtual HRESULT ResetDeviceResources() = 0;
    // A failed reset or restore: error mode without a failure code of its own.
    virtual void EnterResetErrorMode() = 0;
    virtual HRESULT DrawUnit() = 0;
    virtual void PresentUnit(int i) = 0;
};

// One frame over every unit in index order: a lost device ends the frame with nothing
// presented; a device that needs a reset drops its resources, is reset and restored, and is
// drawn in the same frame. Returns false when the frame ended on a lost device.
bool WalkUnitFrame(UnitFrameOps& ops);
