#include "brushes/CloudShapeParams.h"

#include <d3dx9.h>

#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"

CloudShapeParams::CloudShapeParams()
{
    m_xTransform.Rescale(0.02f, 1.0f);
    m_yTransform.Rescale(0.25f, 0.0f);
    m_shift.Rescale(0.01f, 0.0f);
    m_reserved1.Rescale(0.1f, 1.0f);
    m_reserved2.Rescale(0.01f, 0.0f);
}

CloudShapeParams::CloudShapeParams(const CloudShapeParams& other)
    : m_xTransform(other.m_xTransform), m_yTransform(other.m_yTransform), m_shift(other.m_shift),
      m_flip(other.m_flip), m_reserved1(other.m_reserved1), m_reserved2(other.m_reserved2)
{
}

void CloudShapeParams::Read(Vo_IOF_Virtual& stream)
{
    ReadScaled(stream, m_xTransform);
    ReadScaled(stream, m_yTransform);
    ReadScaled(stream, m_shift);
    stream.ReadInt(m_flip.ValueRef());
    ReadScaled(stream, m_reserved1);
    ReadScaled(stream, m_reserved2);
}

// The x transform is at least 1 for every raw, so neither quotient divides by 0.
float CloudShapeParams::PxTransform() const
{
    const float tx = m_xTransform.Result();
    return (tx - 1.0f) / tx;
}

float CloudShapeParams::PyTransformH() const
{
    return m_yTransform.Result() / m_xTransform.Result() + 1.0f;
}

void CloudShapeParams::TexShift(float out[4]) const
{
    const bool flipped = m_flip.Value() != 0;
    out[0] = 1.0f;
    out[1] = flipped ? -1.0f : 1.0f;
    out[2] = -m_shift.Result();
    out[3] = flipped ? 1.0f : 0.0f;
}

void CloudShapeParams::SetEffectConstants(ID3DXEffect* effect) const
{
    effect->SetFloat("PX_Transform", PxTransform());
    effect->SetFloat("PY_TransformH", PyTransformH());
    effect->SetFloat("PY_TransformZ", PyTransformZ());
    float texShift[4];
    TexShift(texShift);
    effect->SetFloatArray("tex_shift", texShift, 4);
}
