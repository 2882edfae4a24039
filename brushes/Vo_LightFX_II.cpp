#include "brushes/Vo_LightFX_II.h"

#include <d3dx9.h>

#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/PictureMesh.h"
#include "runtime/Vo_ABRender.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_LightFX_II::Vo_LightFX_II()
{
    EffectLink().Assign(L"common_res.dll", 76);
    m_intensity.Rescale(0.01f, 0.0f);
}

Vo_LightFX_II::Vo_LightFX_II(const Vo_LightFX_II& other)
    : Vo_FX_Constructor(other), m_intensity(other.m_intensity), m_mode(other.m_mode), m_blend(other.m_blend),
      m_colour(other.m_colour)
{
}

Vo_LightFX_II::~Vo_LightFX_II() = default;

void Vo_LightFX_II::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    ReadScaled(stream, m_intensity);
    stream.ReadLong(m_mode.ValueRef());
    stream.ReadLong(m_blend.ValueRef());
    int32_t colour = static_cast<int32_t>(m_colour.Value());
    stream.ReadInt(colour);
    m_colour.ValueRef() = static_cast<uint32_t>(colour);
    Vo_FX_Constructor::Load(stream);
}

LightVariation Vo_LightFX_II::VariationOfMode(int mode)
{
    switch (mode) {
    case 1:
        return LightVariation::kPulse;
    case 2:
        return LightVariation::kBlink;
    case 3:
        return LightVariation::kFlicker;
    default:
        return LightVariation::kSteady;
    }
}

const char* Vo_LightFX_II::TechniqueOfBlend(int blend)
{
    static const char* const kTechniques[] = {"Blend_Normal", "Blend_Screen", "PS_ColorDodge", "Blend_Sum"};
    if (blend < 0 || blend > 3)
        return nullptr;
    return kTechniques[blend];
}

void Vo_LightFX_II::BlendColor(float rgba[4]) const
{
    const unsigned long c = m_colour.Value();
    const float g = LightFactor(VariationOfMode(m_mode.Value()), Phase()) * Timeline().GetFadeFactor();
    rgba[0] = static_cast<float>(c & 0xFF) / 255.0f;
    rgba[1] = static_cast<float>((c >> 8) & 0xFF) / 255.0f;
    rgba[2] = static_cast<float>((c >> 16) & 0xFF) / 255.0f;
    rgba[3] = m_intensity.Result() * g;
}

void Vo_LightFX_II::Render(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    if (!effect)
        return;
    float blendColor[4];
    BlendColor(blendColor);
    effect->SetFloatArray("BlendColor", blendColor, 4);
    effect->SetTexture("Texture2", MaskOrWhite());
    effect->SetTexture("Texture1", OutputTexture(layer));
    if (const char* technique = TechniqueOfBlend(m_blend.Value()))
        effect->SetTechnique(technique);
    layer->DrawStripWithEffect(layer->GetPictureMesh(), &effect);
    // The image may be a texture of the layer's render-target pair, which a reference kept by the
    // effect would stop the next device reset from releasing.
    effect->SetTexture("Texture1", nullptr);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_LightFX_II);
