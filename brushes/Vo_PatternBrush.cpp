#include "brushes/Vo_PatternBrush.h"

#include <d3dx9.h>

#include "model/ClassReaderRegistration.h"
#include "model/DocResLinks.h"
#include "model/ReadScaled.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/Vo_ABRender.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_PatternBrush::Vo_PatternBrush()
{
    EffectLink().Assign(L"common_res.dll", 78);
    Speed().Rescale(0.02f, 0.0f);
    Speed().SetValue(50);
    m_patternScale.Rescale(0.01f, 0.0f);
    m_patternScale.SetValue(100);
    m_offsetX.Rescale(-0.01f, 0.0f);
    m_offsetY.Rescale(0.01f, 0.0f);
    Timeline().TimeMode().ValueRef() = 1;
}

Vo_PatternBrush::Vo_PatternBrush(const Vo_PatternBrush& other)
    : Vo_FX_Constructor(other), m_patternLink(static_cast<const Vo_FileLink3&>(other.m_patternLink)),
      m_verticalFlip(other.m_verticalFlip), m_horizontalFlip(other.m_horizontalFlip), m_angle(other.m_angle),
      m_patternScale(other.m_patternScale), m_offsetX(other.m_offsetX), m_offsetY(other.m_offsetY),
      m_frames(other.m_frames)
{
}

Vo_PatternBrush::~Vo_PatternBrush() = default;

void Vo_PatternBrush::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    ReadFileLink(stream, m_patternLink);
    stream.ReadLong(m_verticalFlip.ValueRef());
    stream.ReadLong(m_horizontalFlip.ValueRef());
    stream.ReadUInt(m_angle.ValueRef());
    ReadScaled(stream, m_patternScale);
    ReadScaled(stream, m_offsetX);
    ReadScaled(stream, m_offsetY);
    Vo_FX_Constructor::Load(stream);
}

void Vo_PatternBrush::LoadResources(MaskSlot* maskSlot)
{
    Vo_FX_Constructor::LoadResources(maskSlot);
    LoadFrames();
}

void Vo_PatternBrush::LoadFrames()
{
    m_frames = TextureFrameSet();
    if (!CurrentDocResManager)
        return;
    m_frames = IsDllLink(m_patternLink) ? CurrentDocResManager->LoadImageSetFromModule(m_patternLink)
                                        : CurrentDocResManager->GetTextureFrameSet(m_patternLink);
    m_frames.currentFrame = 0;
    m_frames.frameTime = 0.0f;
}

void Vo_PatternBrush::Update(float time)
{
    Vo_FX_Constructor::Update(time);
    // One step at most per update, once more than the frame's delay has passed; only frames
    // that have both a texture and a delay take part.
    StepFrameForward(m_frames, Phase());
}

bool Vo_PatternBrush::HasPattern() const
{
    return m_frames.width != 0 && m_frames.height != 0 && m_patternScale.Result() != 0.0f;
}

bool Vo_PatternBrush::CanDraw() const
{
    return Vo_FX_Constructor::CanDraw() && HasPattern();
}

float Vo_PatternBrush::MixAlpha() const
{
    return Timeline().TimeMode().Value() == 1 ? Timeline().GetFadeFactor() : 1.0f;
}

void Vo_PatternBrush::CoordTransform(float kx, float ky, float angleDegrees, float out[4])
{
    D3DXMATRIX scaling, rotation, m;
    D3DXMatrixScaling(&scaling, kx, ky, 1.0f);
    D3DXMatrixRotationZ(&rotation, angleDegrees * 3.1415927f / 180.0f);
    D3DXMatrixMultiply(&m, &scaling, &rotation);
    out[0] = m._11;
    out[1] = m._12;
    out[2] = m._21;
    out[3] = m._22;
}

void Vo_PatternBrush::PatternTransform(unsigned width, unsigned height, float out[4]) const
{
    const float s = m_patternScale.Result();
    float kx = static_cast<float>(width) / (static_cast<float>(m_frames.width) * s);
    float ky = static_cast<float>(height) / (static_cast<float>(m_frames.height) * s);
    if (m_horizontalFlip.Value() != 0)
        kx = -kx;
    if (m_verticalFlip.Value() != 0)
        ky = -ky;
    CoordTransform(kx, ky, static_cast<float>(m_angle.Value()), out);
}

void Vo_PatternBrush::Render(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    if (!effect)
        return;
    const float mix[4] = {1.0f, 1.0f, 1.0f, MixAlpha()};
    effect->SetFloatArray("mix_color", mix, 4);
    if (!HasPattern())
        return;
    if (!m_frames.frames.empty()) {
        const size_t index = m_frames.currentFrame < m_frames.frames.size() ? m_frames.currentFrame : 0;
        effect->SetTexture("Pattern", m_frames.frames[index].Get());
    }
    const float scale[2] = {static_cast<float>(m_frames.width) / static_cast<float>(m_frames.height), 1.0f};
    effect->SetFloatArray("scale", scale, 2);
    const float offset[2] = {m_offsetX.Result(), m_offsetY.Result()};
    effect->SetFloatArray("offset", offset, 2);
    float transform[4];
    PatternTransform(layer->GetPictureWidth(), layer->GetPictureHeight(), transform);
    effect->SetFloatArray("coord_transf", transform, 4);
    RenderCommon(layer);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_PatternBrush);
