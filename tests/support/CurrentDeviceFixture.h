#pragma once
#include "support/DeviceFixture.h"

// The fixture's device is CurrentDevice while the test runs, for code that creates its device
// objects on the current device; the earlier one comes back after.
class CurrentDeviceFixture : public DeviceFixture {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    IDirect3DDevice9* m_deviceBefore = nullptr;
};
