#include "brushes/Vo_DirectionBased.h"

#include "brushes/BrushDirection.h"
#include "model/ArchiveReads.h"
#include "model/Vo_IOF_Virtual.h"

Vo_DirectionBased::Vo_DirectionBased()
{
    BindAngle();
    UpdateDirection();
}

Vo_DirectionBased::Vo_DirectionBased(const Vo_DirectionBased& other) : Vo_FX_Constructor(other)
{
    m_angle.SetValue(other.m_angle.Value());
    m_strength.Rescale(other.m_strength.Scale(), other.m_strength.Offset());
    m_strength.SetValue(other.m_strength.Value());
    BindAngle();
    UpdateDirection();
}

Vo_DirectionBased::~Vo_DirectionBased() = default;

void Vo_DirectionBased::BindAngle()
{
    m_bindings.SetOwner(this);
    m_bindings.BindNotify(m_angle, &Vo_DirectionBased::UpdateDirection);
}

void Vo_DirectionBased::UpdateDirection()
{
    m_direction = DirectionFromAngle(m_angle.Value());
}

void Vo_DirectionBased::Load(Vo_IOF_Virtual& stream)
{
    ReadRecordHeader(stream);
    uint32_t strengthRaw = m_strength.Value();
    stream.ReadUInt(strengthRaw);
    m_strength.SetValue(strengthRaw);
    stream.ReadUInt(m_angle.ValueRef());
    Vo_FX_Constructor::Load(stream);
}
