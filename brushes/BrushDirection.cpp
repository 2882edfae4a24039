#include "brushes/BrushDirection.h"

#include <cstdint>

namespace {

// Single-precision pi, as the stored scenes were made with.
const float kPi = 3.1415927f;

D3DXMATRIX RotationForDegrees(int32_t degrees)
{
    const float radians = static_cast<float>(degrees) * kPi / 180.0f;
    D3DXMATRIX rotation;
    D3DXMatrixRotationZ(&rotation, radians);
    return rotation;
}

D3DXVECTOR4 Turn(const D3DXVECTOR4& v, const D3DXMATRIX& rotation)
{
    D3DXVECTOR4 out;
    D3DXVec4Transform(&out, &v, &rotation);
    return out;
}

// 360 - angle in 32-bit unsigned arithmetic, read as signed.
int32_t ReversedDegrees(unsigned int angle) { return static_cast<int32_t>(360u - angle); }

}  // namespace

D3DXVECTOR4 DirectionFromAngle(unsigned int angle)
{
    return Turn(D3DXVECTOR4(1, 0, 0, 0), RotationForDegrees(ReversedDegrees(angle)));
}

D3DXVECTOR4 DisplacementAxisFromAngle(unsigned int angle, bool longitudinal)
{
    const D3DXVECTOR4 axis = longitudinal ? D3DXVECTOR4(-1, 0, 0, 0) : D3DXVECTOR4(0, 1, 0, 0);
    return Turn(axis, RotationForDegrees(ReversedDegrees(angle)));
}

D3DXVECTOR4 CounterDirectionFromAngle(unsigned int angle)
{
    return Turn(D3DXVECTOR4(1, 0, 0, 0), RotationForDegrees(static_cast<int32_t>(angle)));
}
