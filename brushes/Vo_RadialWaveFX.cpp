#include "brushes/Vo_RadialWaveFX.h"

#include <d3dx9.h>

#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/Vo_ABRender.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_RadialWaveFX::Vo_RadialWaveFX()
{
    EffectLink().Assign(L"common_res.dll", 103);
    Speed().SetValue(50);
    m_amplitude.Rescale(0.00025f, 0.0f);
    m_amplitude.SetValue(50);
    m_waveLength.Rescale(0.0001f, 0.001f);
    m_waveLength.SetValue(50);
    m_ringScale.Rescale(1.0f, 25.0f);
    m_ringScale.SetValue(50);
}

Vo_RadialWaveFX::Vo_RadialWaveFX(const Vo_RadialWaveFX& other)
    : Vo_CentralBased(other), m_amplitude(other.m_amplitude), m_waveLength(other.m_waveLength),
      m_ringScale(other.m_ringScale), m_directionMode(other.m_directionMode)
{
}

Vo_RadialWaveFX::~Vo_RadialWaveFX() = default;

void Vo_RadialWaveFX::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    if (version >= 2) {
        ReadScaled(stream, m_amplitude);
        ReadScaled(stream, m_waveLength);
        ReadScaled(stream, m_ringScale);
        stream.ReadLong(m_directionMode.ValueRef());
    }
    Vo_CentralBased::Load(stream);
}

Vo_RadialWaveFX::EffectValues Vo_RadialWaveFX::ValuesFor(unsigned layerWidth, unsigned layerHeight) const
{
    EffectValues values;
    // The ring scale's offset of 25 keeps it from 0. A layer without a picture size draws round
    // rings rather than dividing by 0.
    float ringAspect = 75.0f / m_ringScale.Result();
    if (layerWidth > 0 && layerHeight > 0)
        ringAspect = ringAspect * static_cast<float>(layerHeight) / static_cast<float>(layerWidth);
    values.bgScaleFactor[0] = 1.0f;
    values.bgScaleFactor[1] = ringAspect;
    const D3DXVECTOR2 center = CenterInPicture();
    values.center[0] = center.x;
    values.center[1] = center.y;
    values.frequency = 1.0f / m_waveLength.Result();
    values.amplitude = m_amplitude.Result() * Timeline().GetFadeFactor();
    values.time = Phase() * (m_directionMode.Value() != 0 ? 0.08f : -0.08f);
    return values;
}

void Vo_RadialWaveFX::Render(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    if (!effect)
        return;
    const EffectValues values = ValuesFor(layer->GetPictureWidth(), layer->GetPictureHeight());
    effect->SetFloatArray("bg_scale_factor", values.bgScaleFactor, 2);
    effect->SetFloatArray("center", values.center, 2);
    effect->SetFloat("frequency", values.frequency);
    effect->SetFloat("amplitude", values.amplitude);
    effect->SetFloat("time", values.time);
    RenderCommon(layer);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_RadialWaveFX);
