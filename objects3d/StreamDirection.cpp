#include "objects3d/StreamDirection.h"

namespace {

D3DXVECTOR4 Turned(double degrees)
{
    D3DXMATRIX turn;
    D3DXMatrixRotationZ(&turn, float(degrees * D3DX_PI / 180.0));
    const D3DXVECTOR4 right(1.0f, 0.0f, 0.0f, 0.0f);
    D3DXVECTOR4 out;
    D3DXVec4Transform(&out, &right, &turn);
    out.y = -out.y;  // picture y grows downward
    return out;
}

}  // namespace

void StreamDirection::SetAngle(unsigned int degrees)
{
    angle = degrees;
    // In double: an angle near the top of unsigned would lose the quarter turn in float.
    direction = Turned(double(degrees));
    side = Turned(double(degrees) + 90.0);
}
