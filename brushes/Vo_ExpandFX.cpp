#include "brushes/Vo_ExpandFX.h"

#include <d3dx9.h>

#include <cmath>

#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_ExpandFX::Vo_ExpandFX()
{
    EffectLink().Assign(L"common_res.dll", 102);
    Speed().Rescale(0.02f, 0.0f);
    Speed().SetValue(50);
    m_grow.Rescale(0.005f, 0.0f);
    m_grow.SetValue(50);
    m_shrink.Rescale(0.005f, 0.0f);
}

Vo_ExpandFX::Vo_ExpandFX(const Vo_ExpandFX& other)
    : Vo_CentralBased(other), m_grow(other.m_grow), m_shrink(other.m_shrink), m_waveMode(other.m_waveMode),
      m_amount(other.m_amount)
{
}

Vo_ExpandFX::~Vo_ExpandFX() = default;

void Vo_ExpandFX::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    ReadScaled(stream, m_grow);
    ReadScaled(stream, m_shrink);
    stream.ReadLong(m_waveMode.ValueRef());
    Vo_CentralBased::Load(stream);
}

float Vo_ExpandFX::Wave(int mode, float phase)
{
    if (mode != 0)
        return std::sin(phase);
    const float x = phase / (2.0f * 3.1415927f);
    float f = x - std::floor(x);
    if (f > 0.5f)
        f = 1.0f - f;
    return (f - 0.25f) * 4.0f;
}

void Vo_ExpandFX::Update(float time)
{
    Vo_FX_Constructor::Update(time);
    const float a = m_grow.Result(), b = m_shrink.Result();
    const float half = (a + b) * 0.5f;
    const float middle = (a - b) * 0.5f;
    m_amount = (Wave(m_waveMode.Value(), Phase()) * half + middle) * Timeline().GetFadeFactor();
}

void Vo_ExpandFX::AmplitudePair(float pair[2]) const
{
    pair[0] = m_amount > 0.0f ? m_amount : 0.0f;
    pair[1] = m_amount > 0.0f ? 0.0f : std::fabs(m_amount);
}

void Vo_ExpandFX::Render(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    if (!effect)
        return;
    float amplitude[2];
    AmplitudePair(amplitude);
    effect->SetFloatArray("amplitude", amplitude, 2);
    const D3DXVECTOR2 center = CenterInPicture();
    effect->SetFloatArray("center", center, 2);
    RenderCommon(layer);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_ExpandFX);
