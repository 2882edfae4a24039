#include "brushes/Vo_FireFX.h"

#include <d3dx9.h>

#include <memory>

#include "brushes/FireShaderValues.h"
#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/ScreenView.h"
#include "runtime/Vo_ABRender.h"
#include "runtime/Vo_Frame.h"
#include "runtime/Vo_SimpleMesh.h"
#include "runtime/Vo_TimeLineControl.h"

namespace {

const int kGridCells = 8;

void SetScaled(UINTSclaleTo<float>& param, unsigned int raw, float scale, float offset)
{
    param.Rescale(scale, offset);
    param.SetValue(raw);
}

void ReadColour(Vo_IOF_Virtual& stream, MediaParamT<unsigned long>& colour)
{
    int32_t value = static_cast<int32_t>(colour.Value());
    stream.ReadInt(value);
    colour.ValueRef() = static_cast<uint32_t>(value);
}

void CopyScaled(UINTSclaleTo<float>& target, const UINTSclaleTo<float>& source)
{
    target.Rescale(source.Scale(), source.Offset());
    target.SetValue(source.Value());
}

void CopyLink(Vo_FileLink3& target, const Vo_FileLink3& source)
{
    target.Assign(source.GetPath(), source.GetKey().Stamp());
    target.NotifyControls(nullptr);
}

// The current frame of a link's picture in the current store; none for a set without frames.
ComRef<IDirect3DTexture9> CurrentFrame(const Vo_FileLink3& link)
{
    if (!CurrentDocResManager)
        return ComRef<IDirect3DTexture9>();
    const TextureFrameSet& frames = CurrentDocResManager->GetTextureFrameSet(link);
    if (frames.currentFrame >= frames.frames.size())
        return ComRef<IDirect3DTexture9>();
    return frames.frames[frames.currentFrame];
}

}  // namespace

Vo_FireFX::Vo_FireFX()
    : m_firstColour(0x00FFFF), m_secondColour(0x0000FF), m_patternLink(93, L"common_res.dll"),
      m_noiseLink(8, L"common_res.dll")
{
    EffectLink().Assign(L"common_res.dll", 92);
    SetScaled(Speed(), 50, 0.02f, 0.0f);
    SetScaled(m_density, 100, 0.01f, -1.0f);
    SetScaled(m_brightness, 15, 0.02f, 0.0f);
    SetScaled(m_repeat, 100, 0.01f, 0.0f);
}

Vo_FireFX::Vo_FireFX(const Vo_FireFX& other)
    : Vo_FX_Constructor(other), m_firstColour(other.m_firstColour), m_secondColour(other.m_secondColour),
      m_spare(other.m_spare), m_patternLink(static_cast<const Vo_FileLink3&>(other.m_patternLink)),
      m_noiseLink(static_cast<const Vo_FileLink3&>(other.m_noiseLink)), m_density(other.m_density),
      m_brightness(other.m_brightness), m_repeat(other.m_repeat), m_pattern(other.m_pattern),
      m_noise(other.m_noise)
{
}

Vo_FireFX::~Vo_FireFX() = default;

void Vo_FireFX::Assign(const Vo_FireFX& source)
{
    if (&source == this)
        return;
    Vo_FX_Constructor::Assign(source);
    m_firstColour.SetValue(source.m_firstColour.Value());
    m_secondColour.SetValue(source.m_secondColour.Value());
    m_spare.SetValue(source.m_spare.Value());
    CopyLink(m_patternLink, source.m_patternLink);
    CopyLink(m_noiseLink, source.m_noiseLink);
    CopyScaled(m_density, source.m_density);
    CopyScaled(m_brightness, source.m_brightness);
    CopyScaled(m_repeat, source.m_repeat);
    m_pattern = source.m_pattern;
    m_noise = source.m_noise;
}

void Vo_FireFX::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    if (version == 2)
        Region().Load(stream);
    if (version >= 2) {
        ReadColour(stream, m_firstColour);
        ReadColour(stream, m_secondColour);
        stream.ReadLong(m_spare.ValueRef());
        ReadFileLink(stream, m_patternLink);
        ReadFileLink(stream, m_noiseLink);
        if (version == 2)
            stream.ReadLong(RegionFlag().ValueRef());
        ReadScaled(stream, m_density);
        ReadScaled(stream, m_brightness);
        ReadScaled(stream, m_repeat);
    }
    Vo_FX_Constructor::Load(stream);
}

Vo_FireFX* ReadFireFXRecord(Vo_IOF_Virtual& stream)
{
    vo_string className;
    int32_t version = 0;
    stream.ReadString(className);
    stream.ReadInt(version);
    std::unique_ptr<Vo_FireFX> fire(new Vo_FireFX());
    fire->LoadFields(stream, version);
    return fire.release();
}

void Vo_FireFX::LoadResources(MaskSlot* maskSlot)
{
    Vo_FX_Constructor::LoadResources(maskSlot);
    m_pattern = CurrentFrame(m_patternLink);
    m_noise = CurrentFrame(m_noiseLink);
    BuildFXGrid(m_grid, kGridCells, kGridCells);
    UpdateRegionMesh();
}

ScreenQuad Vo_FireFX::RegionCorners() const
{
    const float repeat = m_repeat.Result();
    const float uEnd = repeat > 0.0f ? 1.0f / repeat : 1.0f;
    const float u[4] = {0.0f, 0.0f, uEnd, uEnd};
    const float v[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    ScreenQuad corners;
    for (int i = 0; i < MediaQuad::kCornerCount; ++i) {
        const D3DXVECTOR3& p = Region().Corner(i).Value();
        corners.corners[i] = {p.x, p.y, p.z, u[i], v[i]};
    }
    return corners;
}

void Vo_FireFX::UpdateRegionMesh()
{
    if (!m_grid.VertexBuffer() || m_grid.columns < 1 || m_grid.rows < 1)
        return;
    Vo_SimpleMesh<DX_V::PCT>::BuildGrid(RegionCorners(), m_grid, m_grid.columns, m_grid.rows);
}

void Vo_FireFX::SetFlameParams(const Vo_Frame& frame)
{
    ID3DXEffect* effect = Effect();
    if (!effect)
        return;
    D3DXMATRIX worldViewProj, viewProj;
    D3DXMatrixIdentity(&worldViewProj);
    D3DXMatrixIdentity(&viewProj);
    if (CurrentScreenView) {
        CurrentScreenView->GetWorldViewProj(worldViewProj, frame.World());
        CurrentScreenView->GetViewProj(viewProj);
    }
    effect->SetMatrix("WorldViewProj", &worldViewProj);
    effect->SetMatrix("ViewProj", &viewProj);
    effect->SetTexture("Noise", m_noise.Get());
    effect->SetTexture("Pattern", m_pattern.Get());
    float c11[2], c12[2], c13[2];
    ComputeFireNoiseOffsets(Phase(), c11, c12, c13);
    effect->SetFloatArray("c11", c11, 2);
    effect->SetFloatArray("c12", c12, 2);
    effect->SetFloatArray("c13", c13, 2);
}

void Vo_FireFX::Render(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    if (!effect)
        return;
    SetFlameParams(m_grid);
    float backgroundScale[2] = {1.0f, 1.0f};
    if (CurrentScreenView && CurrentScreenView->Mode() != ScreenView::kRenderTarget) {
        backgroundScale[0] = CurrentScreenView->ScaleX();
        backgroundScale[1] = CurrentScreenView->ScaleY();
    }
    const FireShaderValues values =
        ComputeFireShaderValues(m_firstColour.Value(), m_secondColour.Value(), m_brightness.Result(),
                                m_density.Result(), Timeline().GetFadeFactor());
    effect->SetFloatArray("ColorK1", values.colorK1, 3);
    effect->SetFloatArray("ColorK2", values.colorK2, 3);
    effect->SetFloatArray("bg_scale_factor", backgroundScale, 2);
    effect->SetTexture("Mask", MaskOrWhite());
    effect->SetTexture("Background", OutputTexture(layer));
    effect->SetFloat("Brightness", values.brightness);
    effect->SetFloat("Density", values.density);
    // "Main" whatever the technique flag: the flames are drawn on the grid only.
    effect->SetTechnique("Main");
    layer->DrawIndexedWithEffect(&m_grid, &effect);
    // The layer's image may be a render-target texture, which a reference kept by the effect
    // would stop the next device reset from releasing.
    effect->SetTexture("Background", nullptr);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_FireFX);
