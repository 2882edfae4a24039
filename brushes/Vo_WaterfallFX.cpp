#include "brushes/Vo_WaterfallFX.h"

#include <d3dx9.h>

#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/Vo_ABRender.h"

Vo_WaterfallFX::Vo_WaterfallFX()
{
    m_opacity.Rescale(-0.01f, 1.0f);
    m_noiseAmplitude.Rescale(0.0001f, 0.0f);
    m_spare.Rescale(1.0f, 0.0f);
    m_threshold.Rescale(-0.001f, 1.0f);
    Speed().Rescale(0.02f, 0.0f);
    Strength().Rescale(0.004f, 0.0f);
}

Vo_WaterfallFX::Vo_WaterfallFX(const Vo_WaterfallFX& other)
    : Vo_DirectionBased(other), m_opacity(other.m_opacity), m_stripCount(other.m_stripCount),
      m_noiseAmplitude(other.m_noiseAmplitude), m_spare(other.m_spare), m_threshold(other.m_threshold),
      m_noiseLink(static_cast<const Vo_FileLink3&>(other.m_noiseLink)), m_baseColour(other.m_baseColour),
      m_off(other.m_off), m_strips(other.m_strips), m_noiseTexture(other.m_noiseTexture)
{
    m_noiseShift[0] = other.m_noiseShift[0];
    m_noiseShift[1] = other.m_noiseShift[1];
}

Vo_WaterfallFX::~Vo_WaterfallFX() = default;

void Vo_WaterfallFX::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    ReadScaled(stream, m_opacity);
    stream.ReadUInt(m_stripCount.ValueRef());
    ReadScaled(stream, m_noiseAmplitude);
    ReadScaled(stream, m_spare);
    ReadScaled(stream, m_threshold);
    ReadFileLink(stream, m_noiseLink);
    int32_t colour = static_cast<int32_t>(m_baseColour.Value());
    stream.ReadInt(colour);
    m_baseColour.ValueRef() = static_cast<uint32_t>(colour);
    stream.ReadLong(m_off.ValueRef());
    Vo_DirectionBased::Load(stream);
}

void Vo_WaterfallFX::LoadResources(MaskSlot* maskSlot)
{
    m_strips.resize(UsableStripCount(m_stripCount.Value()));
    m_noiseTexture.Reset();
    if (CurrentDocResManager) {
        TextureFrameSet& frames = CurrentDocResManager->GetTextureFrameSet(m_noiseLink);
        if (frames.currentFrame < frames.frames.size())
            m_noiseTexture = frames.frames[frames.currentFrame];
    }
    Vo_FX_Constructor::LoadResources(maskSlot);
    BuildFXGrid(m_grid, 2, 2);
    UpdateRegionMesh();
}

void Vo_WaterfallFX::Update(float time)
{
    Vo_FX_Constructor::Update(time);
    const float phase = Phase();
    const D3DXVECTOR4& d = Direction();
    UpdateWaterfallStrips(m_strips, phase, Strength().Result(), d.x, d.y, m_opacity.Result());
    const float s = ScaleParam().Result();
    if (s != 0.0f) {
        m_noiseShift[0] = -(0.1f * d.x * phase) / s;
        m_noiseShift[1] = -(0.1f * d.y * phase) / s;
    }
}

bool Vo_WaterfallFX::CanDraw() const
{
    return Vo_DirectionBased::CanDraw() && m_off.Value() == 0;
}

void Vo_WaterfallFX::Render(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    if (!effect)
        return;
    effect->SetTexture("Mask", MaskOrWhite());
    effect->SetTexture("Background", OutputTexture(layer));
    if (m_off.Value() != 0)
        return;
    // A scale of 0 has no noise picture size; the pass is left out.
    if (m_noiseAmplitude.Value() > 0 && ScaleParam().Result() != 0.0f)
        RenderNoise(layer);
    if (!m_strips.empty())
        RenderColorWaves(layer);
}

void Vo_WaterfallFX::RenderNoise(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    effect->SetTexture("NoiseMap", m_noiseTexture ? m_noiseTexture.Get() : NeutralGrey());
    effect->SetTechnique("Noise");
    const float aspect = static_cast<float>(layer->GetPictureWidth()) / static_cast<float>(layer->GetPictureHeight());
    const float s = ScaleParam().Result();
    effect->SetFloatArray("noise_shift", m_noiseShift, 2);
    const float bumpScale[2] = {aspect / s, 1.0f / s};
    effect->SetFloatArray("bump_scale", bumpScale, 2);
    effect->SetFloat("noise_amplitude", m_noiseAmplitude.Result());
    layer->DrawIndexedWithEffect(&m_grid, &effect);
}

void Vo_WaterfallFX::RenderColorWaves(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    effect->SetTechnique("ColorWaves");
    const unsigned long c = m_baseColour.Value();
    const float base[3] = {static_cast<float>(c & 0xFF) / 255.0f, static_cast<float>((c >> 8) & 0xFF) / 255.0f,
                           static_cast<float>((c >> 16) & 0xFF) / 255.0f};
    effect->SetFloatArray("base_color", base, 3);
    effect->SetFloat("treshold", m_threshold.Result());
    for (const WaterfallStrip& strip : m_strips) {
        const float shift[2] = {strip.shiftX, strip.shiftY};
        effect->SetFloatArray("shift", shift, 2);
        effect->SetFloat("transluency", strip.transluency);
        layer->DrawIndexedWithEffect(&m_grid, &effect);
    }
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_WaterfallFX);
