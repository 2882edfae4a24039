#include "objects3d/AC_Butterfly.h"

#include <cmath>
#include <cstdlib>

#include "model/NumericFunctions.h"
#include "objects3d/AC_ButterflyWing.h"
#include "objects3d/Vo_ButterflyConstructor.h"
#include "runtime/PicturePlacement.h"
#include "runtime/Vo_Frame.h"

namespace {

float Radians(float degrees)
{
    return degrees * 2.0f * D3DX_PI / 360.0f;
}

// world := X x world.
void Before(D3DXMATRIX& world, const D3DXMATRIX& x)
{
    D3DXMatrixMultiply(&world, &x, &world);
}

}  // namespace

AC_Butterfly::AC_Butterfly(Vo_ButterflyConstructor* owner)
    : m_owner(owner), m_wing1(new AC_ButterflyWing()), m_wing2(new AC_ButterflyWing())
{
    m_position = m_owner->RandomPointInRect();
    const float heading = RandomBetween(0.0f, 360.0f);
    m_heading = {heading, heading, 350.0f};
    D3DXMatrixRotationX(&m_fixedPitch, Radians(10.0f));
    D3DXMatrixScaling(&m_mirror, -1.0f, 1.0f, 1.0f);
    D3DXMatrixIdentity(&m_sizeScale);
    m_bindings.SetOwner(this);
    m_bindings.BindValue(m_owner->Size(), &AC_Butterfly::OnSizeChanged);
}

void AC_Butterfly::OnSizeChanged(unsigned int size)
{
    const float s = float(size) / 100.0f;
    D3DXMatrixScaling(&m_sizeScale, s, s, s);
}

void AC_Butterfly::Apply(Vo_Frame& frame)
{
    const float step = m_owner->ScaledStep();
    D3DXMATRIX world = frame.Local();
    D3DXMATRIX turn;

    D3DXMATRIX heading;
    D3DXMatrixRotationY(&heading, Radians(m_heading.value));
    Before(world, heading);

    // Bank into a turn that is still far from its heading.
    const float error = m_heading.value - m_heading.target;
    if (error < -5.0f)
        m_bank.SetTarget(25.0f, 0.0f);
    else if (error > 5.0f)
        m_bank.SetTarget(-25.0f, 0.0f);

    // Nose up when slow.
    if (m_forward.value < 100.0f) {
        D3DXMatrixRotationX(&turn, Radians((1.0f - m_forward.value / 100.0f) * 15.0f));
        Before(world, turn);
    }
    Before(world, m_fixedPitch);

    D3DXMatrixRotationZ(&turn, Radians(m_bank.value));
    Before(world, turn);
    if (m_bank.value == m_bank.target)
        m_bank.SetTarget(0.0f, 0.0f);

    m_flap += step * 7.0f * m_flapSpeed;
    if (m_flap > m_flapMax)
        m_flapSpeed = -160.0f;
    if (m_flap < m_flapMin)
        m_flapSpeed = 100.0f;

    // The body bobs against the wings' beat.
    D3DXMatrixTranslation(&turn, 0.0f, -3.0f * m_flap / 45.0f, 0.0f);
    Before(world, turn);

    D3DXMatrixRotationZ(&turn, Radians(m_flap));
    m_wing1->Matrix() = turn;
    D3DXMatrixMultiply(&m_wing2->Matrix(), &turn, &m_mirror);
    m_wing1->SetWinding(m_flap > 0.0f ? 1 : 0);
    m_wing2->SetWinding(m_flap < 0.0f ? 1 : 0);

    D3DXVECTOR3 velocity;
    const D3DXVECTOR3 ahead(m_forward.value, 0.0f, 0.0f);
    D3DXVec3TransformCoord(&velocity, &ahead, &heading);
    velocity.y = m_vertical.value;
    m_position += velocity * step;
    m_position.z = 0.0f;
    D3DXMatrixTranslation(&turn, m_position.x, m_position.y, m_position.z);
    D3DXMatrixMultiply(&world, &world, &turn);

    StepChasers(step);
    KeepInBounds();
    GlideAndManoeuvre(m_owner->AccumulatedTime());

    D3DXMatrixMultiply(&frame.World(), &m_sizeScale, &world);
}

void AC_Butterfly::StepChasers(float step)
{
    m_vertical.Step(step);
    m_bank.Step(step);
    m_heading.Step(step);
    m_forward.Step(step);
}

void AC_Butterfly::KeepInBounds()
{
    const PicturePlacement& placement = GetPicturePlacement();
    const float width = float(placement.pictureWidth);
    const float height = float(placement.pictureHeight);
    // Compared as floats, as they are stored.
    const float top = m_owner->MinY() * height;
    const float bottom = m_owner->MaxY() * height;
    const float left = m_owner->MinX() * width;
    const float right = m_owner->MaxX() * width;

    // Above the rectangle: glide down; below it: climb.
    if (m_position.y < top) {
        m_requestedGlide = 1;
        m_vertical.SetTarget(100.0f, 0.0f);
    } else if (m_position.y > bottom) {
        m_requestedGlide = 0;
        m_vertical.SetTarget(-190.0f, 0.0f);
    }
    // Beside it: turn back toward it, fast.
    if (m_position.x < left) {
        m_heading.SetTarget(0.0f, 350.0f);
        m_forward.SetTarget(300.0f, 0.0f);
    } else if (m_position.x > right) {
        m_heading.SetTarget(-180.0f, 350.0f);
        m_forward.SetTarget(300.0f, 0.0f);
    }
}

void AC_Butterfly::GlideAndManoeuvre(float clock)
{
    if (m_glide != m_requestedGlide) {
        if (m_requestedGlide == 1) {
            // Glide once the wings have come down past half their lower limit.
            m_flapMax = 0.0f;
            if (m_flap < m_flapMin * 0.5f) {
                m_glide = 1;
                m_flapSpeed = -std::fabs(m_flapSpeed) / 100.0f;
            }
        } else {
            m_glide = 0;
            m_flapMax = -m_flapMin;
            m_flapSpeed = m_forward.value > 20.0f ? RandomBetween(-160.0f, m_forward.value / 3.0f - 50.0f) : 160.0f;
        }
        return;
    }
    if (clock - m_lastManoeuvre <= 0.25f)
        return;
    switch (std::rand() % 5) {
    case 0:
        m_requestedGlide = 0;
        m_vertical.SetTarget(RandomBetween(-190.0f, 0.0f), 0.0f);
        break;
    case 1:
        m_requestedGlide = 1;
        m_vertical.SetTarget(RandomBetween(100.0f, 150.0f), 0.0f);
        break;
    case 2:
        m_requestedGlide = 0;
        m_forward.SetTarget(RandomBetween(-25.0f, 300.0f), 0.0f);
        break;
    default:
        // A new heading, left or right, only while flapping and not turning already.
        if (m_glide == 0 && m_heading.value == m_heading.target) {
            const int side = std::rand() % 2;
            const float rate = RandomBetween(50.0f, 350.0f);
            const float target = side == 1 ? RandomBetween(-25.0f, 25.0f) : RandomBetween(155.0f, 205.0f);
            m_heading.SetTarget(target, rate);
        }
        break;
    }
    m_lastManoeuvre = clock;
}
