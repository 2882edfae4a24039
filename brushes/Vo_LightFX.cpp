#include "brushes/Vo_LightFX.h"

#include <d3dx9.h>

#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_LightFX::Vo_LightFX()
{
    EffectLink().Assign(L"common_res.dll", 76);
    Speed().ValueRef() = 40;
    Speed().OnParamChanged(nullptr);
    m_intensity.Rescale(0.01f, 0.0f);
    m_intensity.SetValue(40);
}

Vo_LightFX::Vo_LightFX(const Vo_LightFX& other)
    : Vo_FX_Constructor(other), m_intensity(other.m_intensity), m_mode(other.m_mode)
{
}

Vo_LightFX::~Vo_LightFX() = default;

void Vo_LightFX::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    ReadScaled(stream, m_intensity);
    stream.ReadLong(m_mode.ValueRef());
    Vo_FX_Constructor::Load(stream);
}

LightVariation Vo_LightFX::VariationOfMode(int mode)
{
    if (mode <= 0)
        return LightVariation::kPulse;
    return mode == 1 ? LightVariation::kBlink : LightVariation::kFlicker;
}

float Vo_LightFX::Multiplier() const
{
    return m_intensity.Result() * LightFactor(VariationOfMode(m_mode.Value()), Phase()) *
           Timeline().GetFadeFactor();
}

void Vo_LightFX::Render(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    if (!effect)
        return;
    effect->SetFloat("multiplier", Multiplier());
    RenderCommon(layer);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_LightFX);
