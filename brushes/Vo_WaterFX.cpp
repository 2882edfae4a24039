#include "brushes/Vo_WaterFX.h"

#include <d3dx9.h>

#include "brushes/BrushDirection.h"
#include "brushes/WaterShaderValues.h"
#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_IOF_Virtual.h"

namespace {

void SetScaled(UINTSclaleTo<float>& param, unsigned int raw, float scale, float offset)
{
    param.Rescale(scale, offset);
    param.SetValue(raw);
}

const int kEffectId = 90;

}  // namespace

bool Vo_WaterFX::PaintsOnlyThroughMask() const
{
    // The resource module's water effect gives every pixel the mask's alpha and its "Main" pass
    // blends by it; an effect a document links in its place may paint elsewhere.
    const FileLinkKey& link = EffectLink().GetKey();
    return link.Stamp() == kEffectId && link.Path() == L"common_res.dll";
}

Vo_WaterFX::Vo_WaterFX() : m_bumpLink(89, L"common_res.dll")
{
    SetScaled(m_surface, 20, 0.0001f, 0.0f);
    SetScaled(m_bumpStrength, 20, 0.001f, 0.0f);
    SetScaled(m_drift, 20, 0.00025f, 0.0f);
    SetScaled(m_waveLength, 20, 0.0005f, 0.001f);
    SetScaled(m_shadows, 0, 0.01f, 0.0f);
    SetScaled(m_lightHeight, 0, 0.1f, 0.0f);
    EffectLink().Assign(L"common_res.dll", kEffectId);
    SetScaled(Speed(), 50, 0.02f, 0.0f);
    ScaleParam().SetValue(30);
    m_angle.ValueRef() = 40;
    m_colour.ValueRef() = 0xFFFFFF;
    Bind();
    UpdateDirection();
    ComputeWaterBumpMatrix(Phase(), m_bumpStrength.Result(), m_bumpMatrix);
}

Vo_WaterFX::Vo_WaterFX(const Vo_WaterFX& other)
    : Vo_FX_Constructor(other), m_surface(other.m_surface), m_bumpStrength(other.m_bumpStrength),
      m_drift(other.m_drift), m_waveLength(other.m_waveLength), m_angle(other.m_angle),
      m_shadows(other.m_shadows), m_lightHeight(other.m_lightHeight), m_colour(other.m_colour),
      m_bumpLink(static_cast<const Vo_FileLink3&>(other.m_bumpLink))
{
    Bind();
    UpdateDirection();
    ComputeWaterBumpMatrix(Phase(), m_bumpStrength.Result(), m_bumpMatrix);
}

Vo_WaterFX::~Vo_WaterFX() = default;

void Vo_WaterFX::Bind()
{
    m_bindings.SetOwner(this);
    m_bindings.BindNotify(m_angle, &Vo_WaterFX::UpdateDirection);
}

void Vo_WaterFX::UpdateDirection()
{
    m_direction = CounterDirectionFromAngle(m_angle.Value());
}

void Vo_WaterFX::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    ReadScaled(stream, m_surface);
    ReadScaled(stream, m_bumpStrength);
    ReadScaled(stream, m_drift);
    ReadScaled(stream, m_waveLength);
    stream.ReadUInt(m_angle.ValueRef());
    ReadScaled(stream, m_shadows);
    ReadScaled(stream, m_lightHeight);
    int32_t colour = static_cast<int32_t>(m_colour.Value());
    stream.ReadInt(colour);
    m_colour.ValueRef() = static_cast<uint32_t>(colour);
    ReadFileLink(stream, m_bumpLink);
    Vo_FX_Constructor::Load(stream);
}

void Vo_WaterFX::LoadResources(MaskSlot* maskSlot)
{
    m_bumpTexture.Reset();
    if (CurrentDocResManager) {
        TextureFrameSet& frames = CurrentDocResManager->GetTextureFrameSet(m_bumpLink);
        if (frames.currentFrame < frames.frames.size())
            m_bumpTexture = frames.frames[frames.currentFrame];
    }
    Vo_FX_Constructor::LoadResources(maskSlot);
}

void Vo_WaterFX::Update(float time)
{
    Vo_FX_Constructor::Update(time);
    ComputeWaterBumpMatrix(Phase(), m_bumpStrength.Result(), m_bumpMatrix);
}

WaterShaderValues Vo_WaterFX::ShaderValues() const
{
    return ComputeWaterShaderValues(m_surface.Result(), m_waveLength.Result(), m_drift.Result(),
                                    m_lightHeight.Result(), m_direction.x, m_direction.y, m_colour.Value());
}

// "Scale" is the bump picture's repeat, 1 / s: a scale of 0 would send infinities and sample the
// bump picture at points that are not numbers, so such water draws nothing.
bool Vo_WaterFX::HasDrawableScale() const
{
    return ScaleParam().Result() != 0.0f;
}

bool Vo_WaterFX::CanDraw() const
{
    return Vo_FX_Constructor::CanDraw() && HasDrawableScale() && ShaderValues().drawable;
}

void Vo_WaterFX::Render(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    if (!effect || !HasDrawableScale())
        return;
    // Worked out once a frame: the same values decide whether to draw and what to draw.
    const WaterShaderValues v = ShaderValues();
    if (!v.drawable)
        return;
    effect->SetTexture("BumpMap", m_bumpTexture ? m_bumpTexture.Get() : NeutralGrey());
    effect->SetFloatArray("BampTrans", m_bumpMatrix, 4);
    effect->SetFloatArray("P1", v.p1, 3);
    effect->SetFloatArray("P2", v.p2, 3);
    effect->SetFloat("Time", 2.0f * Phase());
    effect->SetFloatArray("Direction1", v.direction1, 2);
    effect->SetFloatArray("Direction2", v.direction2, 2);
    effect->SetFloat("Shadows", m_shadows.Result());
    effect->SetFloatArray("Vhalf", v.vhalf, 3);
    effect->SetFloatArray("Color", v.color, 3);
    RenderCommon(layer);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_WaterFX);
