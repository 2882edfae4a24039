#include "brushes/Vo_WavesFX.h"

#include <d3dx9.h>

#include "brushes/BrushDirection.h"
#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/Vo_TimeLineControl.h"

namespace {

const int kEffectId = 77;

}  // namespace

bool Vo_WavesFX::PaintsOnlyThroughMask() const
{
    // The resource module's waves effect gives alpha 0 wherever the mask's alpha is 0 and its
    // "Main" pass blends by it; an effect a document links in its place may paint elsewhere.
    const FileLinkKey& link = EffectLink().GetKey();
    return link.Stamp() == kEffectId && link.Path() == L"common_res.dll";
}

Vo_WavesFX::Vo_WavesFX()
{
    EffectLink().Assign(L"common_res.dll", kEffectId);
    Speed().ValueRef() = 25;
    Speed().OnParamChanged(nullptr);
    m_amplitude.Rescale(0.00025f, 0.0f);
    m_amplitude.SetValue(50);
    m_waveLength.Rescale(0.0005f, 0.001f);
    m_waveLength.SetValue(50);
    Bind();
    UpdateDirection();
}

Vo_WavesFX::Vo_WavesFX(const Vo_WavesFX& other)
    : Vo_FX_Constructor(other), m_amplitude(other.m_amplitude), m_waveLength(other.m_waveLength),
      m_angle(other.m_angle), m_longitudinal(other.m_longitudinal)
{
    Bind();
    UpdateDirection();
}

Vo_WavesFX::~Vo_WavesFX() = default;

void Vo_WavesFX::Bind()
{
    m_bindings.SetOwner(this);
    m_bindings.BindNotify(m_angle, &Vo_WavesFX::UpdateDirection);
    m_bindings.BindNotify(m_longitudinal, &Vo_WavesFX::UpdateDirection);
}

void Vo_WavesFX::UpdateDirection()
{
    m_direction = DirectionFromAngle(m_angle.Value());
    m_axis = DisplacementAxisFromAngle(m_angle.Value(), m_longitudinal.Value() != 0);
}

void Vo_WavesFX::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    ReadScaled(stream, m_amplitude);
    ReadScaled(stream, m_waveLength);
    stream.ReadUInt(m_angle.ValueRef());
    stream.ReadLong(m_longitudinal.ValueRef());
    Vo_FX_Constructor::Load(stream);
}

void Vo_WavesFX::Render(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    if (!effect)
        return;
    const float direction[2] = {-m_direction.x, -m_direction.y};
    const float axis[2] = {m_axis.x, m_axis.y};
    effect->SetFloatArray("direction", direction, 2);
    effect->SetFloatArray("direction_n", axis, 2);
    effect->SetFloat("frequency", 1.0f / m_waveLength.Result());
    effect->SetFloat("amplitude", m_amplitude.Result() * Timeline().GetFadeFactor());
    effect->SetFloat("time", Phase() * 0.08f);
    RenderCommon(layer);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_WavesFX);
