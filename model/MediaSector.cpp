#include "model/MediaSector.h"

#include <cstdlib>

D3DXVECTOR3 MediaSector::RandomDirection() const
{
    const float kPi = 3.1415927f;
    const float spread = static_cast<float>(m_spread.Value());
    const double r = std::rand() / 32767.0;
    const float low = -spread;
    const float width = spread - low;
    const float offset = low + static_cast<float>(r * width);
    const float angle = static_cast<float>(m_value) + offset;
    // Rotating by 360 - angle turns the row vector (1, 0, 0) to (cos, -sin), so angles run
    // counter-clockwise on a screen whose y grows downwards.
    const float radians = static_cast<float>((360.0 - angle) * kPi / 180.0);

    D3DXMATRIX rotation;
    D3DXMatrixRotationZ(&rotation, radians);
    const D3DXVECTOR3 unitX(1.0f, 0.0f, 0.0f);
    D3DXVECTOR3 direction;
    D3DXVec3TransformCoord(&direction, &unitX, &rotation);
    return direction;
}
