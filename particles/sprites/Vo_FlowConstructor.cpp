#include "particles/sprites/Vo_FlowConstructor.h"

#include <cmath>
#include <cstdlib>

#include "model/ArchiveReads.h"
#include "model/ClassReaderRegistration.h"
#include "model/NumericFunctions.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/sprites/SpriteAxes.h"
#include "particles/sprites/SpriteParticle.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_FlowConstructor::Vo_FlowConstructor()
{
    m_spread.Rescale(3.0f, 0.0f);
    m_wander.Rescale(0.25f, 0.0f);
    SetUpControls();
    BindAngle();
}

Vo_FlowConstructor::Vo_FlowConstructor(const Vo_FlowConstructor& other)
    : Vo_ParticleSystemCtrl(other),
      m_angle(other.m_angle.Value()),
      m_spread(other.m_spread),
      m_wander(other.m_wander),
      m_strength(other.m_strength),
      m_orientation(other.m_orientation.Value())
{
    SetUpControls();
    for (int edge = 0; edge < 4; ++edge)
        m_controls[edge].CopyValues(other.m_controls[edge]);
    BindAngle();
}

Vo_FlowConstructor::~Vo_FlowConstructor() = default;

void Vo_FlowConstructor::SetUpControls()
{
    for (int edge = 0; edge < 4; ++edge)
        m_controls[edge].CreateEdgeTests(edge);
}

void Vo_FlowConstructor::BindAngle()
{
    m_bindings.SetOwner(this);
    m_bindings.BindValue(m_angle, &Vo_FlowConstructor::OnAngleChanged);
}

void Vo_FlowConstructor::OnAngleChanged(unsigned int angle)
{
    // Counter-clockwise on the picture, whose y runs downwards. Worked in floating point, so an
    // angle above 360 turns on rather than wrapping round as an unsigned difference would.
    m_flowMatrix = SpriteRotationZ((360.0f - float(angle)) * float(D3DX_PI) / 180.0f);
    const D3DXMATRIX& m = m_flowMatrix;
    m_flow = D3DXVECTOR4(m_strength * m._11, m_strength * m._12, m_strength * m._13, m_strength * m._14);
    m_perpendicular = D3DXVECTOR4(m._21, m._22, m._23, m._24);
}

void Vo_FlowConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    stream.ReadUInt(m_angle.ValueRef());
    stream.ReadUInt(m_spread.ValueRef());
    stream.ReadUInt(m_wander.ValueRef());
    stream.ReadFloat(m_strength);
    if (version == 2) {
        int32_t turned = 0;
        stream.ReadInt(turned);
        m_orientation.ValueRef() = turned != 0 ? kTurnedWithFlow : kUpright;
    } else if (version >= 3) {
        stream.ReadLong(m_orientation.ValueRef());
    }
    if (version >= 4) {
        // Each control is a record of its own, with its class name and version.
        for (Vo_BoundControl& control : m_controls) {
            const int32_t controlVersion = ReadRecordHeader(stream);
            control.LoadFields(stream, controlVersion);
        }
    }
    Vo_BaseSpriteProp::Load(stream);
}

unsigned Vo_FlowConstructor::GetParticleCount() const
{
    const unsigned count = Vo_ParticleSystemCtrl::GetParticleCount();
    if (count <= 1)
        return count;
    const float thinned = Timeline().GetFadeFactor() * float(count);
    if (!(thinned > 0.0f))
        return 0;
    return thinned >= float(count) ? count : unsigned(thinned);
}

void Vo_FlowConstructor::OrientParticle(SpriteParticle& p)
{
    SetSpriteParticleHalfSize(float(SpriteSize().Value()), p);
    UpdateSpriteParticleColor(*this, p);
    switch (m_orientation.Value()) {
    case kUpright:
        p.right = D3DXVECTOR3(1.0f, 0.0f, 0.0f);
        p.up = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
        break;
    case kTurnedWithFlow:
        p.right = SpriteTransformCoord(D3DXVECTOR3(1.0f, 0.0f, 0.0f), m_flowMatrix);
        p.up = SpriteTransformCoord(D3DXVECTOR3(0.0f, 1.0f, 0.0f), m_flowMatrix);
        break;
    default:
        break;  // the update turns them to face the motion
    }
}

void Vo_FlowConstructor::SpawnParticle(SpriteParticle& p)
{
    p.velocity.z = float(std::rand()) / 32767.0f * 2.0f - 1.0f;  // the lateral value
    p.direction = D3DXVECTOR3(1.0f, 1.0f, 0.0f);
    p.velocity.x = 0.0f;
    p.velocity.y = 0.0f;
    p.position = RandomPointInRect();
    OrientParticle(p);
}

void Vo_FlowConstructor::UpdateParticle(SpriteParticle& p)
{
    // Larger sprites move faster.
    const float lateral = p.velocity.z * m_spread.Result();
    const float vx = (m_perpendicular.x * lateral + m_flow.x * p.direction.x) * p.scale;
    const float vy = (m_flow.y * p.direction.y + m_perpendicular.y * lateral) * p.scale;
    if (!p.paused) {
        p.position.x += ScaledStep() * vx;
        p.position.y += ScaledStep() * vy;
    }

    for (Vo_BoundControl& control : m_controls) {
        if (control.Apply(p, *this))
            break;
    }

    switch (m_orientation.Value()) {
    case kFacingHorizontalMotion:
        p.right = D3DXVECTOR3(std::copysign(1.0f, vx), 0.0f, 0.0f);
        p.up = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
        break;
    case kFacingVerticalMotion:
        p.right = D3DXVECTOR3(1.0f, 0.0f, 0.0f);
        p.up = D3DXVECTOR3(0.0f, std::copysign(1.0f, vy), 0.0f);
        break;
    default:
        break;
    }

    // A wander frequency of 0 never picks a new lateral value.
    const float frequency = m_wander.Result();
    if (frequency > 0.0f && 1.0f / frequency < AccumulatedTime() - p.timer) {
        p.timer = AccumulatedTime();
        const int coin = std::rand();
        if (coin & 1)
            p.velocity.z = RandomBetween(-1.0f, 1.0f);
    }
    UpdateSpriteParticleColor(*this, p);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_FlowConstructor);
