#include "objects3d/AC_ClockArrow.h"

#include <d3dx9math.h>

#include "objects3d/LocalClockTime.h"
#include "runtime/Vo_Frame.h"

float AC_ClockArrow::HourAngle(const LocalClockTime& time)
{
    return (float(time.hour % 12) + float(time.minute) / 60.0f) * 30.0f;
}

float AC_ClockArrow::MinuteAngle(const LocalClockTime& time)
{
    return (float(time.minute) + float(time.second) / 60.0f) * 6.0f;
}

void AC_ClockArrow::Apply(Vo_Frame& frame)
{
    // The world matrix is made afresh every frame (the parent's is multiplied in after this), so
    // a hand that merely kept it would be moved by its parent once more each frame.
    LocalClockTime now;
    if (ReadLocalClockTime(now))
        m_degrees = m_hourHand ? HourAngle(now) : MinuteAngle(now);
    D3DXMATRIX turn;
    D3DXMatrixRotationY(&turn, m_degrees * 2.0f * D3DX_PI / 360.0f);
    D3DXMatrixMultiply(&frame.World(), &frame.Local(), &turn);
}
