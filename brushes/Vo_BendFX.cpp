#include "brushes/Vo_BendFX.h"

#include <d3dx9.h>

#include <cmath>

#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/Noise.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_BendFX::Vo_BendFX()
{
    Speed().Rescale(0.02f, 0.0f);
    m_amplitudeA.Rescale(0.002f, 0.0f);
    m_amplitudeB.Rescale(0.002f, 0.0f);
    m_strength.Rescale(0.02f, 0.0f);
}

Vo_BendFX::Vo_BendFX(const Vo_BendFX& other)
    : Vo_CentralBased(other), m_amplitudeA(other.m_amplitudeA), m_amplitudeB(other.m_amplitudeB),
      m_strength(other.m_strength), m_noiseMode(other.m_noiseMode), m_bendAngle(other.m_bendAngle)
{
}

Vo_BendFX::~Vo_BendFX() = default;

void Vo_BendFX::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    ReadScaled(stream, m_amplitudeA);
    ReadScaled(stream, m_amplitudeB);
    ReadScaled(stream, m_strength);
    stream.ReadLong(m_noiseMode.ValueRef());
    Vo_CentralBased::Load(stream);
}

void Vo_BendFX::LoadResources(MaskSlot* maskSlot)
{
    Vo_CentralBased::LoadResources(maskSlot);
    BuildFXGrid(m_grid, 2, 2);
    UpdateRegionMesh();
}

float Vo_BendFX::BendAngleAt(float phase, float a, float b, int noiseMode)
{
    const float swing = std::sin(phase) * ((a + b) * 0.5f) + (a - b) * 0.5f;
    if (noiseMode != 1)
        return swing;
    const double noise = FractalNoise1D(static_cast<double>(phase) * 50.0, 75.0, 0.5, 3);
    return swing + swing * static_cast<float>(std::sin(noise));
}

void Vo_BendFX::Update(float time)
{
    Vo_FX_Constructor::Update(time);
    m_bendAngle = BendAngleAt(Phase(), m_amplitudeA.Result(), m_amplitudeB.Result(), m_noiseMode.Value());
}

bool Vo_BendFX::CanDraw() const
{
    return Vo_CentralBased::CanDraw() && ScaleParam().Result() != 0.0f;
}

void Vo_BendFX::Render(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    if (!effect || !CanDraw())
        return;
    SetCenterParams(layer);
    effect->SetFloat("Angle", Timeline().GetFadeFactor() * m_bendAngle);
    effect->SetFloat("Bend", m_strength.Result());
    DrawWithTechnique(layer);
    // The image may be a texture of the layer's render-target pair, which a reference kept by the
    // effect would stop the next device reset from releasing.
    effect->SetTexture("Background", nullptr);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_BendFX);
