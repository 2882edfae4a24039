#include "support/CurrentDeviceFixture.h"

#include "model/CurrentDevice.h"

void CurrentDeviceFixture::SetUp()
{
    DeviceFixture::SetUp();
    m_deviceBefore = CurrentDevice;
    CurrentDevice = Device();
}

void CurrentDeviceFixture::TearDown()
{
    CurrentDevice = m_deviceBefore;
    DeviceFixture::TearDown();
}
