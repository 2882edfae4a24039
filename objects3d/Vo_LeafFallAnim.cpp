#include "objects3d/Vo_LeafFallAnim.h"

#include <cmath>
#include <cstdlib>

#include "objects3d/StreamParams.h"
#include "runtime/Vo_Frame.h"

namespace {

float UnitRandom()
{
    return float(std::rand()) / 32767.0f;
}

float Radians(float degrees)
{
    return degrees * 2.0f * D3DX_PI / 360.0f;
}

}  // namespace

Vo_LeafFallAnim::Vo_LeafFallAnim(const StreamParams* params) : Vo_SreamAnim(params)
{
    for (Turn& turn : m_tumble) {
        const float sign = std::rand() % 2 ? -1.0f : 1.0f;
        turn.rate = (7.0f + UnitRandom() * 3.0f) * sign;
        turn.angle = turn.rate;
    }
    for (Turn& turn : m_orbit) {
        // Half of the orbits stand still.
        const float on = float(std::rand() % 2);
        const float sign = std::rand() % 2 ? -1.0f : 1.0f;
        turn.rate = (3.0f + UnitRandom() * 4.0f) * on * sign;
        turn.angle = turn.rate;
    }
}

void Vo_LeafFallAnim::Apply(Vo_Frame& frame)
{
    Vo_SreamAnim::Apply(frame);
    const StreamParams& p = Params();
    const float radius = frame.Bounds()[0];
    const float s = radius > 0.0f ? float(p.size.Value()) * 0.5f / radius : 0.0f;

    const float dt = Step();
    // Kept within a turn, so that hours of play do not eat the angles' precision.
    for (Turn& turn : m_tumble)
        turn.angle = std::fmod(turn.angle + turn.rate * dt * float(p.spin.Value()) * 0.4f, 360.0f);
    for (Turn& turn : m_orbit)
        turn.angle = std::fmod(turn.angle + turn.rate * dt * float(p.sway.Value()) * 0.4f, 360.0f);

    D3DXMATRIX m, x;
    D3DXMatrixScaling(&m, s, s, s);
    D3DXMatrixRotationX(&x, Radians(m_tumble[0].angle));
    D3DXMatrixMultiply(&m, &m, &x);
    D3DXMatrixRotationZ(&x, Radians(m_tumble[2].angle));
    D3DXMatrixMultiply(&m, &m, &x);
    D3DXMatrixRotationY(&x, Radians(m_tumble[1].angle));
    D3DXMatrixMultiply(&m, &m, &x);
    D3DXMatrixTranslation(&x, 0.0f, 0.0f, 50.0f);
    D3DXMatrixMultiply(&m, &m, &x);
    D3DXMatrixRotationY(&x, Radians(m_orbit[0].angle));
    D3DXMatrixMultiply(&m, &m, &x);
    D3DXMatrixRotationX(&x, Radians(m_orbit[1].angle));
    D3DXMatrixMultiply(&m, &m, &x);
    D3DXMatrixMultiply(&m, &m, &Position());
    D3DXMatrixMultiply(&frame.World(), &frame.Local(), &m);
}
