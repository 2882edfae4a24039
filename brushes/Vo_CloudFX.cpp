#include "brushes/Vo_CloudFX.h"

#include <d3dx9.h>

#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/PicturePlacement.h"
#include "runtime/ScreenQuad.h"
#include "runtime/Vo_ABRender.h"
#include "runtime/Vo_SimpleMesh.h"

namespace {

void ReadColour(Vo_IOF_Virtual& stream, MediaColor& colour)
{
    int32_t value = static_cast<int32_t>(colour.Value());
    stream.ReadInt(value);
    colour.ValueRef() = static_cast<unsigned long>(static_cast<uint32_t>(value));
}

void SetColour(ID3DXEffect* effect, const char* name, const MediaColor& colour)
{
    const float rgb[3] = {colour.Red() / 255.0f, colour.Green() / 255.0f, colour.Blue() / 255.0f};
    effect->SetFloatArray(name, rgb, 3);
}

}  // namespace

Vo_CloudFX::Vo_CloudFX()
{
    ScaleParam().Rescale(0.008f, 0.0f);
    Speed().Rescale(0.001f, 0.0f);
    m_threshold.Rescale(0.02f, 1.0f);
    m_density.Rescale(0.02f, 0.0f);
}

Vo_CloudFX::Vo_CloudFX(const Vo_CloudFX& other)
    : Vo_DirectionBased(other), m_colour1(other.m_colour1.Value()), m_colour2(other.m_colour2.Value()),
      m_cloudLink(static_cast<const Vo_FileLink3&>(other.m_cloudLink)),
      m_secondLink(static_cast<const Vo_FileLink3&>(other.m_secondLink)), m_threshold(other.m_threshold),
      m_density(other.m_density), m_shape(other.m_shape), m_cloudFrames(other.m_cloudFrames)
{
    for (int i = 0; i < 4; ++i)
        m_maskTexShift[i] = other.m_maskTexShift[i];
}

Vo_CloudFX::~Vo_CloudFX() = default;

void Vo_CloudFX::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    ReadColour(stream, m_colour1);
    ReadColour(stream, m_colour2);
    ReadFileLink(stream, m_cloudLink);
    ReadFileLink(stream, m_secondLink);
    ReadScaled(stream, m_threshold);
    ReadScaled(stream, m_density);
    m_shape.Read(stream);
    Vo_DirectionBased::Load(stream);
}

void Vo_CloudFX::LoadResources(MaskSlot* maskSlot)
{
    m_cloudFrames = TextureFrameSet();
    if (CurrentDocResManager)
        m_cloudFrames = CurrentDocResManager->GetTextureFrameSet(m_cloudLink);
    Vo_FX_Constructor::LoadResources(maskSlot);
    BuildFXGrid(m_grid, 2, 2);
    UpdateRegionMesh();
}

void Vo_CloudFX::MaskTexShift(const D3DXVECTOR3 corners[4], float width, float height, float out[4])
{
    // Before any layout the picture has no size; the mask is then read at the origin.
    const float toU = width > 0.0f ? 1.0f / width : 0.0f;
    const float toV = height > 0.0f ? 1.0f / height : 0.0f;
    const D3DXVECTOR3 &q1 = corners[0], &q3 = corners[2], &q4 = corners[3];
    out[0] = (q3.x - q1.x) * toU;
    out[1] = q1.x * toU;
    out[2] = (q4.y - q3.y) * toV;
    out[3] = q1.y * toV;
}

void Vo_CloudFX::UpdateRegionMesh()
{
    const PicturePlacement& placement = GetPicturePlacement();
    D3DXVECTOR3 corners[4];
    for (int i = 0; i < MediaQuad::kCornerCount; ++i)
        corners[i] = Region().Corner(i).Value();
    MaskTexShift(corners, static_cast<float>(placement.pictureWidth), static_cast<float>(placement.pictureHeight),
                 m_maskTexShift);
    if (!m_grid.VertexBuffer() || m_grid.columns < 1 || m_grid.rows < 1)
        return;
    static const float kUnitCorner[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    ScreenQuad quad;
    for (int i = 0; i < 4; ++i)
        quad.corners[i] = {corners[i].x, corners[i].y, corners[i].z, kUnitCorner[i][0], kUnitCorner[i][1]};
    Vo_SimpleMesh<DX_V::PCT>::BuildGrid(quad, m_grid, m_grid.columns, m_grid.rows);
}

IDirect3DTexture9* Vo_CloudFX::CloudTexture() const
{
    const std::vector<ComRef<IDirect3DTexture9>>& frames = m_cloudFrames.frames;
    if (frames.empty())
        return nullptr;
    return frames[m_cloudFrames.currentFrame < frames.size() ? m_cloudFrames.currentFrame : 0].Get();
}

bool Vo_CloudFX::CanDraw() const
{
    // A scale of 0 would spread the cloud picture over nothing.
    return Vo_DirectionBased::CanDraw() && CloudTexture() != nullptr && ScaleParam().Result() != 0.0f;
}

void Vo_CloudFX::CloudScale(unsigned pictureWidth, unsigned pictureHeight, float s, float out[2])
{
    // A layer without a picture size counts as square.
    const float aspect = pictureWidth && pictureHeight
                             ? static_cast<float>(pictureWidth) / static_cast<float>(pictureHeight)
                             : 1.0f;
    out[0] = aspect / s;
    out[1] = 1.0f / s;
}

void Vo_CloudFX::Velocity(float out[2]) const
{
    out[0] = -Direction().x * Phase();
    out[1] = -Direction().y * Phase();
}

void Vo_CloudFX::Render(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    if (!effect || !CanDraw())
        return;
    effect->SetTexture("Mask", MaskOrWhite());
    effect->SetTexture("Background", CloudTexture());
    float scale[2];
    CloudScale(layer->GetPictureWidth(), layer->GetPictureHeight(), ScaleParam().Result(), scale);
    effect->SetFloatArray("Scale", scale, 2);
    effect->SetFloat("Threshold", m_threshold.Result());
    effect->SetFloat("Density", m_density.Result());
    SetColour(effect, "ColorK1", m_colour1);
    SetColour(effect, "ColorK2", m_colour2);
    float velocity[2];
    Velocity(velocity);
    effect->SetFloatArray("Velocity", velocity, 2);
    effect->SetFloatArray("mask_tex_shift", m_maskTexShift, 4);
    m_shape.SetEffectConstants(effect);
    DrawWithTechnique(layer);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_CloudFX);
