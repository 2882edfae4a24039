#include "lights/Vo_WaterRingLight.h"

#include <d3d9.h>

#include <cmath>

#include "model/ClassReaderRegistration.h"
#include "model/CurrentDevice.h"
#include "model/D3DResourceMakers.h"
#include "model/Vo_DocResManager.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/PictureMesh.h"
#include "runtime/ScreenView.h"

namespace {

// The surface is this many units high; the camera looks down on it from this height.
const float kFieldHeight = 30.0f;
const float kEyeHeight = 120.0f;

void SetLighting(BOOL on)
{
    if (CurrentDevice)
        CurrentDevice->SetRenderState(D3DRS_LIGHTING, on);
}

// The picture's height / width; a picture without a usable size counts as square.
float PictureAspect(const TextureInfo& picture)
{
    const float aspect = picture.aspect;
    return aspect > 0.0f && std::isfinite(aspect) ? aspect : 1.0f;
}

// Clears the target, and the depth surface when there is one, to opaque black.
void ClearToBlack(IDirect3DDevice9* device)
{
    ComRef<IDirect3DSurface9> depth;
    DWORD flags = D3DCLEAR_TARGET;
    if (SUCCEEDED(device->GetDepthStencilSurface(depth.Receive())) && depth)
        flags |= D3DCLEAR_ZBUFFER;
    device->Clear(0, nullptr, flags, 0xFF000000, 1.0f, 0);
}

// Stage 0 takes colour and alpha from the texture as they are.
void SelectTexture(IDirect3DDevice9* device)
{
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
}

}  // namespace

Vo_WaterRingLight::Vo_WaterRingLight()
    : m_mode(0),
      m_speed(0),
      m_rowFactor(0),
      m_columnFactor(0),
      m_dropDepth(50),
      m_damping(50),
      m_refraction(20),
      m_lightDirection(0.5f, -1.0f, 1.0f),
      m_lightColour(1.0f, 1.0f, 1.0f, 1.0f),
      m_field(new WaterRippleField())
{
    m_dropRate.Rescale(1.0f / 60.0f, 0.0f);
    m_dropRate.SetValue(30);
    m_specular.Rescale(0.01f, 0.0f);
    m_specular.SetValue(90);
    m_power.Rescale(0.79999995f, 0.0f);
    m_power.SetValue(50);
    D3DXMatrixIdentity(&m_worldMatrix);
    D3DXMatrixIdentity(&m_viewMatrix);
    D3DXMatrixIdentity(&m_cameraMatrix);
    D3DXMatrixIdentity(&m_projectionMatrix);
}

Vo_WaterRingLight::~Vo_WaterRingLight() = default;

void Vo_WaterRingLight::Load(int32_t version, Vo_IOF_Virtual& stream)
{
    // A negative version read as unsigned is above 1.
    if (static_cast<uint32_t>(version) > 1)
        LoadFieldsOfVersion2(stream);
    stream.ReadInt(m_mode.ValueRef());
    Vo_2D_Light::Load(stream);
}

void Vo_WaterRingLight::LoadFieldsOfVersion2(Vo_IOF_Virtual& stream)
{
    MediaParamT<unsigned int>* const direct[] = {&m_speed,    &m_rowFactor, &m_columnFactor,
                                                 &m_dropDepth, &m_damping,  &m_refraction};
    for (MediaParamT<unsigned int>* param : direct)
        stream.ReadUInt(param->ValueRef());
    UINTSclaleTo<float>* const scaled[] = {&m_dropRate, &m_specular, &m_power};
    for (UINTSclaleTo<float>* param : scaled)
        ReadScaled(stream, *param);
}

template <>
struct ClassRecordFields<Vo_WaterRingLight> {
    static void Read(Vo_WaterRingLight& layer, Vo_IOF_Virtual& stream, int32_t version)
    {
        layer.Load(version, stream);
    }
};

Vo_WaterRingLight* CreateWaterRingLight(Vo_IOF_Virtual& stream, int32_t version)
{
    std::unique_ptr<Vo_WaterRingLight> layer(new Vo_WaterRingLight());
    layer->Load(version, stream);
    return layer.release();
}

VO_REGISTER_LIGHT_READER(Vo_WaterRingLight);

D3DXVECTOR3 Vo_WaterRingLight::EyePosition() const
{
    return D3DXVECTOR3(m_cameraMatrix._41, m_cameraMatrix._42, m_cameraMatrix._43);
}

void Vo_WaterRingLight::SetDamping(unsigned int value)
{
    const float damping = value >= 50 ? 0.99f + static_cast<float>(value - 50) * 0.009f * 0.02f
                                      : 0.9f + static_cast<float>(value) * 0.09f * 0.02f;
    m_field->SetDamping(damping);
}

void Vo_WaterRingLight::ResizeRippleField()
{
    const float aspect = PictureAspect(Picture());
    m_field->Resize(kFieldHeight / aspect, kFieldHeight, 1.0f + 0.01f * static_cast<float>(m_rowFactor.Value()),
                    1.0f + 0.01f * static_cast<float>(m_columnFactor.Value()));
    m_field->AddRandomDrop();
}

void Vo_WaterRingLight::SetMaterial()
{
    IDirect3DDevice9* device = CurrentDevice;
    if (!device)
        return;
    D3DMATERIAL9 material = {};
    material.Diffuse.a = 1.0f;
    material.Specular.r = material.Specular.g = material.Specular.b = m_specular.Result();
    material.Power = m_power.Result();
    device->SetMaterial(&material);
}

void Vo_WaterRingLight::SetLight()
{
    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = m_lightColour;
    light.Specular = D3DXCOLOR(1.0f, 1.0f, 1.0f, 0.0f);
    light.Direction = m_lightDirection;
    CurrentDevice->SetLight(0, &light);
    CurrentDevice->LightEnable(0, TRUE);
}

void Vo_WaterRingLight::LoadContent()
{
    Vo_2D_Light::LoadContent();
    m_field->BuildRefractionTable();
    // The eye 120 units above the field, looking down on it.
    D3DXMatrixRotationX(&m_cameraMatrix, -D3DX_PI / 2.0f);
    m_cameraMatrix._41 = 0.0f;
    m_cameraMatrix._42 = kEyeHeight;
    m_cameraMatrix._43 = 0.0f;
    D3DXMatrixInverse(&m_viewMatrix, nullptr, &m_cameraMatrix);
    m_field->SetSpeed(1.0f + 0.02f * static_cast<float>(m_speed.Value()));
    m_field->SetDropDepth(0.1f + 0.01f * 0.7f * static_cast<float>(m_dropDepth.Value()));
    SetDamping(m_damping.Value());
    m_field->SetRefractionStrength(0.01f * static_cast<float>(m_refraction.Value()));
    ResizeRippleField();
    SetMaterial();
}

void Vo_WaterRingLight::SetWaterStates()
{
    IDirect3DDevice9* device = CurrentDevice;
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    SetLight();
    SetMaterial();
    device->SetFVF(D3DFVF_XYZ);
    device->SetTransform(D3DTS_VIEW, &m_viewMatrix);
    device->SetTransform(D3DTS_WORLD, &m_worldMatrix);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    for (DWORD stage = 0; stage < 2; ++stage) {
        device->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_DISABLE);
        device->SetTextureStageState(stage, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(stage, D3DTSS_COLORARG2, D3DTA_CURRENT);
        device->SetTextureStageState(stage, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        device->SetTextureStageState(stage, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(stage, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
        device->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, 0);
    }
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
}

void Vo_WaterRingLight::RestoreDeviceObjects()
{
    if (CurrentDevice)
        SetWaterStates();
    // The store's effects, fonts and render-target pairs come back after a reset, as the base
    // step brings them back, so that the slide's brushes still draw.
    if (CurrentDocResManager)
        CurrentDocResManager->OnResetDevice();
    // The field's buffers are made again after a loss, and the surface starts at rest.
    ResizeRippleField();
    Layout(m_layoutWidth, m_layoutHeight);
    D3DSURFACE_DESC backBuffer = {};
    GetBackBufferDesc(backBuffer);
    Targets().Create(backBuffer.Width, backBuffer.Height);
}

void Vo_WaterRingLight::InvalidateDeviceObjects()
{
    Vo_2D_Light::InvalidateDeviceObjects();
    m_field->ReleaseBuffers();
}

void Vo_WaterRingLight::Layout(int width, int height)
{
    m_layoutWidth = width;
    m_layoutHeight = height;
    if (width <= 0 || height <= 0)
        return;
    Vo_2D_Light::Layout(width, height);
    // The field fitted to the target: its whole height when the picture is the taller shape,
    // else its whole width.
    const float aspect = PictureAspect(Picture());
    const float targetRatio = static_cast<float>(width) / static_cast<float>(height);
    float halfWidth, halfHeight;
    if (aspect * targetRatio > 1.0f) {
        halfWidth = 0.5f * kFieldHeight * targetRatio;
        halfHeight = 0.5f * kFieldHeight;
    } else {
        halfWidth = kFieldHeight / aspect * 0.5f;
        halfHeight = halfWidth / targetRatio;
    }
    D3DXMatrixOrthoOffCenterRH(&m_projectionMatrix, -halfWidth, halfWidth, -halfHeight, halfHeight, -1.0f, 2000.0f);
    if (CurrentDevice)
        CurrentDevice->SetTransform(D3DTS_PROJECTION, &m_projectionMatrix);
}

void Vo_WaterRingLight::SetPicturePosition(int mode)
{
    Vo_2D_Light::SetPicturePosition(mode);
    Layout(m_layoutWidth, m_layoutHeight);
}

void Vo_WaterRingLight::BeginEffects()
{
    Vo_2D_Light::BeginEffects();
    if (m_mode.Value() == 1)
        return;
    Vo_2D_Light::SetPicturePosition(ScreenView::kStretch);
    Layout(m_layoutWidth, m_layoutHeight);
}

RenderTargetPair& Vo_WaterRingLight::EndEffects(bool clear)
{
    if (m_mode.Value() != 1) {
        Vo_2D_Light::SetPicturePosition(ScreenView::kFit);
        Layout(m_layoutWidth, m_layoutHeight);
    }
    return Vo_2D_Light::EndEffects(clear);
}

void Vo_WaterRingLight::Update(float time)
{
    Vo_2D_Light::Update(time);
    if (time < m_lastDropTime)
        m_lastDropTime = time;
    // A rate of 0 means no timed drops.
    const float rate = m_dropRate.Result();
    if (rate > 0.0f && 1.0f / rate < time - m_lastDropTime) {
        m_field->AddRandomDrop();
        m_lastDropTime = time;
    }
    m_field->Simulate(EyePosition());
}

void Vo_WaterRingLight::DrawWater(IDirect3DTexture9* texture)
{
    IDirect3DDevice9* device = CurrentDevice;
    if (!device)
        return;
    SelectTexture(device);
    device->SetTransform(D3DTS_WORLD, &m_worldMatrix);

    // The view's camera pan and zoom carried over from picture pixels to field units; the zoom
    // scales about the field's top-left corner as it does about the picture's.
    D3DXMATRIX view = m_viewMatrix;
    const ScreenView* screen = CurrentScreenView;
    if (screen) {
        D3DXMATRIX m;
        D3DXMatrixMultiply(&m, &screen->Camera(), &screen->OffsetScale());
        const TextureInfo& picture = Picture();
        const float fx = picture.width && m._11 != 0.0f ? m._41 / m._11 / static_cast<float>(picture.width) : 0.0f;
        const float fz = picture.height && m._22 != 0.0f ? m._42 / m._22 / static_cast<float>(picture.height) : 0.0f;
        const float w = m_field->Width(), h = m_field->Height();
        D3DXMATRIX toCorner, combined, centre;
        D3DXMatrixTranslation(&toCorner, w * fx + 0.5f * w, 0.0f, h * fz + 0.5f * h);
        screen->GetCombinedMatrix(combined);
        D3DXMatrixTranslation(&centre, -0.5f * w, 0.5f * h, 0.0f);
        D3DXMatrixMultiply(&view, &toCorner, &m_viewMatrix);
        D3DXMatrixMultiply(&view, &view, &combined);
        D3DXMatrixMultiply(&view, &view, &centre);
    }
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &m_projectionMatrix);
    device->SetTexture(0, texture);
    m_field->Draw();
    if (screen)
        screen->ApplyTransforms();
}

void Vo_WaterRingLight::BeginRender(int nested)
{
    IDirect3DDevice9* device = CurrentDevice;
    if (!device)
        return;
    if (m_mode.Value() == 1) {
        // The picture in its own colours also on the first frame after a restore, which leaves
        // stage 0 disabled.
        SelectTexture(device);
        Vo_2D_Light::BeginRender(0);
        return;
    }
    // The water covers the picture's fitted place only; the margins are black, not whatever
    // the target held before.
    if (!nested)
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    PictureMesh* picture = GetPictureMesh();
    device->SetTexture(0, picture->Texture());
    if (picture->VertexBuffer())
        picture->BindWorldStream();
    DrawWater(picture->Texture());
}

void Vo_WaterRingLight::EndRender(int nested)
{
    IDirect3DDevice9* device = CurrentDevice;
    if (device && m_mode.Value() == 1) {
        if (CurrentScreenView)
            CurrentScreenView->Layout(Picture(), m_layoutWidth, m_layoutHeight, EffectMode(), false);
        Targets().End();
        ClearToBlack(device);
        DrawWater(Targets().Current());
    }
    if (!nested && CurrentScreenView)
        CurrentScreenView->DrawBorders();
}

HRESULT Vo_WaterRingLight::DrawColoredIndexed(Vo_IndexedMesh<DX_V::PCT>* mesh, ID3DXEffect** effect,
                                              int primitiveCount, float unused)
{
    SetLighting(FALSE);
    const HRESULT hr = Vo_2D_Light::DrawColoredIndexed(mesh, effect, primitiveCount, unused);
    SetLighting(TRUE);
    return hr;
}

HRESULT Vo_WaterRingLight::DrawMeshList(MeshInstance* instance)
{
    SetLighting(FALSE);
    const HRESULT hr = Vo_2D_Light::DrawMeshList(instance);
    SetLighting(TRUE);
    return hr;
}

HRESULT Vo_WaterRingLight::DrawSpriteMesh(SpriteMeshDrawable* sprites)
{
    SetLighting(FALSE);
    const HRESULT hr = Vo_2D_Light::DrawSpriteMesh(sprites);
    SetLighting(TRUE);
    return hr;
}

HRESULT Vo_WaterRingLight::DrawMeshListTextured(TexturedMesh* mesh)
{
    SetLighting(FALSE);
    const HRESULT hr = Vo_2D_Light::DrawMeshListTextured(mesh);
    SetLighting(TRUE);
    return hr;
}

HRESULT Vo_WaterRingLight::DrawOverlayQuad(Vo_SimpleMesh<DX_V::PCT>* mesh)
{
    const HRESULT hr = Vo_2D_Light::DrawOverlayQuad(mesh);
    if (CurrentDevice)
        CurrentDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    return hr;
}

HRESULT Vo_WaterRingLight::DrawTexturedQuad(TexturedQuad* quad)
{
    IDirect3DDevice9* device = CurrentDevice;
    if (!device)
        return D3DERR_INVALIDCALL;
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    const HRESULT hr = Vo_2D_Light::DrawTexturedQuad(quad);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    return hr;
}
