#pragma once
// Small rotations and leans of a sprite's axes, worked inline: emitters turn axes for every
// particle in every frame, which a call into the D3DX library per vector would make costly.
#include <d3dx9math.h>

#include <cmath>

// The matrix D3DXMatrixRotationZ makes: a turn by `radians` in the x-y plane.
inline D3DXMATRIX SpriteRotationZ(float radians)
{
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    return D3DXMATRIX(c, s, 0.0f, 0.0f, -s, c, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f);
}

// What D3DXVec3TransformCoord gives: the point (v, 1) through m, divided by its w.
inline D3DXVECTOR3 SpriteTransformCoord(const D3DXVECTOR3& v, const D3DXMATRIX& m)
{
    const float x = v.x * m._11 + v.y * m._21 + v.z * m._31 + m._41;
    const float y = v.x * m._12 + v.y * m._22 + v.z * m._32 + m._42;
    const float z = v.x * m._13 + v.y * m._23 + v.z * m._33 + m._43;
    const float w = v.x * m._14 + v.y * m._24 + v.z * m._34 + m._44;
    if (w == 0.0f)
        return D3DXVECTOR3(x, y, z);
    return D3DXVECTOR3(x / w, y / w, z / w);
}

// The x component of an up axis (lean, 1, 0) that tilts a sprite to stand at `degrees` from the
// picture's x axis: 1 / tan((180 - degrees) degrees). Near 0 and 180 degrees the lean would grow
// without bound; it is held to that of 1 degree off the horizontal.
inline float LeanOfAngle(float degrees)
{
    const float kMaxLean = 57.2899616f;  // 1 / tan(1 degree)
    const float lean = 1.0f / std::tan((180.0f - degrees) * float(D3DX_PI) / 180.0f);
    if (std::isnan(lean))
        return 0.0f;
    if (lean > kMaxLean)
        return kMaxLean;
    if (lean < -kMaxLean)
        return -kMaxLean;
    return lean;
}
