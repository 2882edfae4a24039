#include "lights/Vo_FlameLight.h"

#include <d3d9.h>
#include <d3dx9.h>

#include <memory>

#include "model/ClassReaderRegistration.h"
#include "model/CurrentDevice.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/ScreenView.h"

Vo_FlameLight::Vo_FlameLight() : m_flameSwitch(1), m_hazeSwitch(1), m_flameHeight(0)
{
    m_fire.PatternLink().Assign(L"common_res.dll", 7);
    m_fire.NoiseLink().Assign(L"common_res.dll", 8);
}

Vo_FlameLight::~Vo_FlameLight() = default;

void Vo_FlameLight::Load(Vo_IOF_Virtual& stream, int32_t version)
{
    const uint32_t v = static_cast<uint32_t>(version);
    stream.ReadInt(m_flameSwitch.ValueRef());
    stream.ReadInt(m_hazeSwitch.ValueRef());
    stream.ReadUInt(m_flameHeight.ValueRef());
    if (v <= 1)
        ReadScaled(stream, m_fire.Speed());
    ReadFileLink(stream, m_haze.BumpLink());
    ReadFileLink(stream, m_haze.EffectLink());
    ReadScaled(stream, m_haze.Speed());
    ReadScaled(stream, m_haze.Strength());
    ReadScaled(stream, m_haze.Bump());
    if (v >= 2) {
        std::unique_ptr<Vo_FireFX> fire(ReadFireFXRecord(stream));
        m_fire.Assign(*fire);
    } else {
        // Two links of an older fire that this layer no longer reads.
        Vo_FileLink3 dropped;
        ReadFileLink(stream, dropped);
        ReadFileLink(stream, dropped);
    }
    Vo_2D_Light::Load(stream);
}

template <>
struct ClassRecordFields<Vo_FlameLight> {
    static void Read(Vo_FlameLight& layer, Vo_IOF_Virtual& stream, int32_t version) { layer.Load(stream, version); }
};

Vo_FlameLight* CreateFlameLight(Vo_IOF_Virtual& stream, int32_t version)
{
    std::unique_ptr<Vo_FlameLight> layer(new Vo_FlameLight());
    layer->Load(stream, version);
    return layer.release();
}

VO_REGISTER_LIGHT_READER(Vo_FlameLight);

void Vo_FlameLight::FlameQuadPositions(float width, float height, unsigned flameHeight, float positions[12])
{
    const float bottom = (1.0f + 0.005f * static_cast<float>(flameHeight)) * height;
    const float top = bottom - 0.65f * height;
    const float corners[12] = {0, top, 0,  width, top, 0,  0, bottom, 0,  width, bottom, 0};
    for (int i = 0; i < 12; ++i)
        positions[i] = corners[i];
}

void Vo_FlameLight::LoadContent()
{
    Vo_2D_Light::LoadContent();
    // Only the texture coordinates last: OnPictureChanged places the corners. v runs from the
    // band's top (0) to just short of its bottom (0.95).
    const float quad[20] = {0, 0, 0, 0, 0,  800, 0, 0, 1, 0,  0, 600, 0, 0, 0.95f,  800, 600, 0, 1, 0.95f};
    if (CurrentDevice)
        m_flameQuad.BuildWorldQuad(quad);
    if (!m_haze.LoadContent())
        m_hazeSwitch.SetValue(0);
    OnPictureChanged();
    // The layer gives the fire no mask.
    MaskSlot noMask;
    m_fire.LoadResources(&noMask);
}

void Vo_FlameLight::OnPictureChanged()
{
    Vo_2D_Light::OnPictureChanged();
    const float width = static_cast<float>(Picture().width);
    const float height = static_cast<float>(Picture().height);
    m_haze.Resize(width, height);
    float positions[12];
    FlameQuadPositions(width, height, m_flameHeight.Value(), positions);
    m_flameQuad.SetWorldCorners(positions);
}

void Vo_FlameLight::Update(float time)
{
    Vo_2D_Light::Update(time);
    m_fire.Update(time);
    m_haze.Update(time);
}

void Vo_FlameLight::RestoreDeviceObjects()
{
    Vo_2D_Light::RestoreDeviceObjects();
    IDirect3DDevice9* device = CurrentDevice;
    if (!device)
        return;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    for (DWORD sampler = 0; sampler < 4; ++sampler) {
        device->SetSamplerState(sampler, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(sampler, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    }
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    Layout(TargetWidth(), TargetHeight());
}

void Vo_FlameLight::BeginRender(int)
{
    Vo_2D_Light::BeginRender(0);
    if (m_flameSwitch.Value() != 0)
        DrawFire();
}

void Vo_FlameLight::DrawFire()
{
    ID3DXEffect* effect = m_fire.Effect();
    if (!effect || !m_flameQuad.VertexBuffer())
        return;
    m_fire.SetFlameParams(m_flameQuad);
    effect->SetTechnique("AsEffect");
    DrawStripWithEffect(&m_flameQuad, &effect);
}

void Vo_FlameLight::EndRender(int nested)
{
    IDirect3DDevice9* device = CurrentDevice;
    if (HazeOn()) {
        // Back to the saved target and the slide's own picture position, then the image drawn
        // into the pair goes through the haze onto it.
        RenderTargetPair& pair = EndEffects(false);
        if (CurrentScreenView) {
            D3DXMATRIX identity;
            D3DXMatrixIdentity(&identity);
            CurrentScreenView->SetWorldTransform(identity);
        }
        m_haze.Draw(pair.Current());
    }
    if (!device)
        return;
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    if (!nested && CurrentScreenView)
        CurrentScreenView->DrawBorders();
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
}
