#include "lights/FakeLake2D.h"

#include <d3d9.h>
#include <d3dx9math.h>
#include <d3dx9tex.h>
#include <objbase.h>

#include <cstring>
#include <memory>

#include "model/ArchiveReads.h"
#include "model/ClassReaderRegistration.h"
#include "model/CurrentDevice.h"
#include "model/D3DResourceMakers.h"
#include "model/DeviceResourceLoader.h"
#include "model/Vo_DocResManager.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/LayerDrawing.h"
#include "runtime/PictureMesh.h"
#include "runtime/TexturedQuad.h"
#include "runtime/VertexBuffers.h"

namespace {

const UINT kLakeVertexCount = 6;
const UINT kLakePrimitiveCount = 2;

DWORD FloatBits(float value)
{
    DWORD bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

// The rectangle (0, H), (0, 0), (W, H), (W, 0) of the picture with the standard coordinates.
ScreenQuad PictureQuad(float width, float height)
{
    ScreenQuad quad;
    InitScreenQuad(quad);
    const float x[4] = {0.0f, 0.0f, width, width};
    const float y[4] = {height, 0.0f, height, 0.0f};
    for (int i = 0; i < 4; ++i) {
        quad.corners[i].x = x[i];
        quad.corners[i].y = y[i];
        quad.corners[i].z = 0.0f;
    }
    return quad;
}

// Locks the six lake vertices; null when the buffer is missing, too small or will not lock.
TwoTexVertex* LockLakeVertices(IDirect3DVertexBuffer9* buffer)
{
    if (!buffer)
        return nullptr;
    D3DVERTEXBUFFER_DESC desc;
    if (FAILED(buffer->GetDesc(&desc)) || desc.Size < kLakeVertexCount * sizeof(TwoTexVertex))
        return nullptr;
    void* data = nullptr;
    if (FAILED(buffer->Lock(0, 0, &data, 0)) || !data)
        return nullptr;
    return static_cast<TwoTexVertex*>(data);
}

}  // namespace

FakeLake2D::FakeLake2D()
    : m_normalAmplitude(25), m_reflectionOffset(7), m_reflectionSize(1), m_tintColour(0x408000)
{
    m_waveSpeed.Rescale(0.02f, 0.0f);
    m_waveSpeed.SetValue(50);
    m_rippleTiling.Rescale(0.01f, 0.0f);
    m_rippleTiling.SetValue(100);
    m_horizon.Rescale(-0.005f, 0.5f);
    m_horizon.SetValue(25);
    m_relief.Rescale(0.01f, 0.0f);
    m_relief.SetValue(100);
    m_tintAlpha.Rescale(0.008f, 0.0f);
    m_tintAlpha.SetValue(31);
    m_fade.Rescale(0.01f, 0.0f);
    m_fade.SetValue(58);
    CoCreateGuid(&m_guid);
}

FakeLake2D::~FakeLake2D() = default;

void FakeLake2D::Load(int32_t version, Vo_IOF_Virtual& stream)
{
    // Versions 0 and 1 carry no parameters; a negative version read as unsigned is above 1.
    if (static_cast<uint32_t>(version) > 1)
        LoadFieldsOfVersion2(stream);
    ReadGuid(stream, m_guid);
    stream.ReadString(m_name);
    stream.ReadBool(m_flag);
    Vo_2D_Light::Load(stream);
}

void FakeLake2D::LoadFieldsOfVersion2(Vo_IOF_Virtual& stream)
{
    UINTSclaleTo<float>* const scaled[] = {&m_rippleTiling, &m_waveSpeed, &m_horizon,
                                           &m_relief,       &m_tintAlpha, &m_fade};
    for (UINTSclaleTo<float>* param : scaled)
        ReadScaled(stream, *param);
    uint32_t amplitude = m_normalAmplitude.Value();
    stream.ReadUInt(amplitude);
    m_normalAmplitude.SetValue(amplitude);
    uint32_t offset = m_reflectionOffset.Value();
    stream.ReadUInt(offset);
    m_reflectionOffset.SetValue(offset);
    int32_t size = m_reflectionSize.Value();
    stream.ReadInt(size);
    m_reflectionSize.SetValue(size);
    int32_t colour = static_cast<int32_t>(m_tintColour.Value());
    stream.ReadInt(colour);
    m_tintColour.SetValue(static_cast<uint32_t>(colour));
}

template <>
struct ClassRecordFields<FakeLake2D> {
    static void Read(FakeLake2D& lake, Vo_IOF_Virtual& stream, int32_t version) { lake.Load(version, stream); }
};

FakeLake2D* CreateFakeLake2D(Vo_IOF_Virtual& stream, int32_t version)
{
    std::unique_ptr<FakeLake2D> lake(new FakeLake2D());
    lake->Load(version, stream);
    return lake.release();
}

VO_REGISTER_LIGHT_READER(FakeLake2D);

HRESULT CreateLakeVertexBuffer(UINT n, Vo_SimpleMesh<DX_V::PCT>& holder, DWORD usage, D3DPOOL pool)
{
    holder.VertexBufferRef().Reset();
    holder.SetVertexCount(n);
    return CreateVertexBufferOf<TwoTexVertex>(holder.VertexBufferRef(), n, usage, pool);
}

void FakeLake2D::BuildLakeMesh()
{
    CreateLakeVertexBuffer(kLakeVertexCount, m_lakeMesh, D3DUSAGE_WRITEONLY, D3DPOOL_MANAGED);
    m_lakeMesh.SetPrimitiveType(D3DPT_TRIANGLELIST);
    m_lakeMesh.SetPrimitiveCount(kLakePrimitiveCount);
}

void FakeLake2D::SetLakeMeshFromQuad(const ScreenQuad& quad)
{
    TwoTexVertex* v = LockLakeVertices(m_lakeMesh.VertexBuffer());
    if (!v)
        return;
    for (UINT i = 0; i < kLakeVertexCount; ++i) {
        const QuadCorner& c = quad.corners[kLakeVertexCorners[i]];
        v[i].x = c.x;
        v[i].y = c.y;
        v[i].z = 0.0f;
        v[i].u1 = c.u;
        v[i].v1 = c.v;
    }
    m_lakeMesh.VertexBuffer()->Unlock();
}

void FakeLake2D::SetRippleTiling(float tiling)
{
    TwoTexVertex* v = LockLakeVertices(m_lakeMesh.VertexBuffer());
    if (!v)
        return;
    const std::array<LakeRippleCoord, 6> coords = LakeRippleCoords(tiling);
    for (UINT i = 0; i < kLakeVertexCount; ++i) {
        v[i].u0 = coords[i].u;
        v[i].v0 = coords[i].v;
    }
    m_lakeMesh.VertexBuffer()->Unlock();
}

void FakeLake2D::MakeTintQuads(const ScreenQuad& quad)
{
    const uint32_t rgb = LakeTintVertexRgb(m_tintColour.Value());
    m_waterTint.SetColorQuadXYZ(rgb, quad);
    m_haze.SetColorQuadXYZ(rgb, quad);
}

void FakeLake2D::LayoutReflection()
{
    const TextureInfo& picture = Picture();
    ScreenQuad quad = PictureQuad(static_cast<float>(picture.width), static_cast<float>(picture.height));
    SplitQuadAtHorizon(quad, Horizon());
    SetLakeMeshFromQuad(quad);
    PlaceTintQuads(quad);
    // The water's top edge, where the picture's rows start to be painted over by the lake.
    const float top = quad.corners[ScreenQuad::kTopLeft].y;
    m_waterTopV = picture.height ? top / static_cast<float>(picture.height) : 1.0f;
}

void FakeLake2D::PlaceTintQuads(const ScreenQuad& split)
{
    const QuadCorner* s = split.corners;
    m_waterTint.SetCornersXYZ(split);
    const float horizonY = s[ScreenQuad::kTopLeft].y;
    const int e = LakeHazeHeight(s[ScreenQuad::kBottomRight].y - s[ScreenQuad::kTopLeft].y, Picture().height,
                                 m_reflectionOffset.Value(), Horizon());
    const int w = static_cast<int>(s[ScreenQuad::kTopRight].x - s[ScreenQuad::kBottomLeft].x);
    const float left = s[ScreenQuad::kBottomLeft].x;
    const float right = left + static_cast<float>(w);
    const float bottom = horizonY - static_cast<float>(e);
    ScreenQuad haze = split;
    haze.corners[ScreenQuad::kBottomLeft] = {left, bottom, 0.0f, 0.0f, 0.0f};
    haze.corners[ScreenQuad::kTopLeft] = {left, horizonY, 0.0f, 0.0f, 0.0f};
    haze.corners[ScreenQuad::kBottomRight] = {right, bottom, 0.0f, 0.0f, 0.0f};
    haze.corners[ScreenQuad::kTopRight] = {right, horizonY, 0.0f, 0.0f, 0.0f};
    m_haze.SetCornersXYZ(haze);
}

void FakeLake2D::SetTintAlphas()
{
    const float a = TintAlpha();
    const float b = a * (1.0f - Fade());
    // Bottom-left, bottom-right, top-left, top-right: the water's top edge is the horizon; the
    // haze band's lower corners lie above the horizon and fade out to nothing.
    m_waterTint.SetCornerAlphasXYZ(a, a, b, b);
    m_haze.SetCornerAlphasXYZ(0.0f, 0.0f, b, b);
}

void FakeLake2D::ApplyTintColour()
{
    const uint32_t rgb = LakeTintVertexRgb(m_tintColour.Value());
    m_waterTint.SetRgbXYZ(rgb);
    m_haze.SetRgbXYZ(rgb);
}

void FakeLake2D::LoadContent()
{
    Vo_2D_Light::LoadContent();
    ScreenQuad quad;
    InitBackBufferQuad(quad);
    SplitQuadAtHorizon(quad, Horizon());
    BuildLakeMesh();
    MakeTintQuads(quad);
    SetTintAlphas();
    BuildBumpTexture();
    OnPictureChanged();
    LayoutReflection();
    SetRippleTiling(RippleTiling());
    ApplyTintColour();
    // The reflection copy: OnPictureChanged has just made it, of the same picture at the same
    // size, and a second copy would only cost the start another scaled copy of the picture.
    TakeStoredDuDvTexture();
}

void FakeLake2D::TakeStoredDuDvTexture()
{
    // A GUID without a stored picture leaves no du/dv texture: the mirror shows without ripples.
    if (CurrentDocResManager)
        m_duDvTexture = CurrentDocResManager->GuidTexture(m_guid);
    else
        m_duDvTexture.Reset();
    m_takeFromStore = false;
}

void FakeLake2D::OnPictureChanged()
{
    // Not the base step: that reloads the whole content, which for this layer is LoadContent.
    if (CurrentDocResManager)
        GetPictureMesh()->LoadPicture(PictureLink());
    Layout(TargetWidth(), TargetHeight());
    Vo_SimpleMesh<DX_V::PCT>::CreateTargetTexture(m_reflectionSize.Value(), m_reflection, Picture().texture.Get());
    Layout(TargetWidth(), TargetHeight());
    LayoutReflection();
}

void FakeLake2D::Update(float time)
{
    Vo_2D_Light::Update(time);
    m_waveSpeed.Advance(time);
    m_waveMatrix = LakeWaveMatrixAt(m_waveSpeed.Accumulated());
}

void FakeLake2D::SetBumpStates()
{
    IDirect3DDevice9* device = CurrentDevice;
    if (!device)
        return;
    device->SetTexture(0, m_duDvTexture.Get());
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->SetTextureStageState(0, D3DTSS_BUMPENVMAT00, FloatBits(m_waveMatrix.m00));
    device->SetTextureStageState(0, D3DTSS_BUMPENVMAT01, FloatBits(m_waveMatrix.m01));
    device->SetTextureStageState(0, D3DTSS_BUMPENVMAT10, FloatBits(m_waveMatrix.m10));
    device->SetTextureStageState(0, D3DTSS_BUMPENVMAT11, FloatBits(m_waveMatrix.m11));
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_BUMPENVMAP);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    device->SetTexture(1, m_reflection.Get());
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
}

void FakeLake2D::RestoreDeviceObjects()
{
    // The base step first: its states, the store's device objects (effects and render-target
    // pairs come back after a reset) and the layer's render-target pair at the back buffer's size.
    Vo_2D_Light::RestoreDeviceObjects();
    IDirect3DDevice9* device = CurrentDevice;
    if (!device)
        return;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
    device->SetRenderState(D3DRS_DITHERENABLE, TRUE);
    device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    for (DWORD sampler = 0; sampler < 2; ++sampler) {
        device->SetSamplerState(sampler, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(sampler, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(sampler, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
        device->SetSamplerState(sampler, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
    }
    device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    SetBumpStates();
    // The bump operation waits for the lake's draw; until then stage 0 modulates as usual.
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(1, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
}

void FakeLake2D::BeginRender(int)
{
    IDirect3DDevice9* device = CurrentDevice;
    if (!device)
        return;
    device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    // The opaque water plane paints the picture's rows below the horizon over again.
    BeginRenderCoveredBelow(0, m_lakeMesh.VertexBuffer() ? m_waterTopV : 1.0f);
    DrawLake();
    DrawColorQuadXYZ(&m_waterTint);
    DrawColorQuadXYZ(&m_haze);
}

void FakeLake2D::DrawLake()
{
    IDirect3DDevice9* device = CurrentDevice;
    // A lake whose buffer could not be made is not drawn; the picture shows unmirrored.
    if (!m_lakeMesh.VertexBuffer())
        return;
    device->SetStreamSource(0, m_lakeMesh.VertexBuffer(), 0, sizeof(TwoTexVertex));
    SetBumpStates();
    device->SetVertexShader(nullptr);
    device->SetFVF(TwoTexVertex::kFVF);
    device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
    // The water plane is opaque, whatever blending the previous draw left on.
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, kLakePrimitiveCount);
    device->SetTexture(1, nullptr);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
}

HRESULT FakeLake2D::DrawWithTextureFactor(TextureFactorDrawable* object, int value)
{
    IDirect3DDevice9* device = CurrentDevice;
    if (!device)
        return D3DERR_INVALIDCALL;
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
    const HRESULT hr = Vo_2D_Light::DrawWithTextureFactor(object, value);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    return hr;
}

void FakeLake2D::BuildBumpTexture()
{
    if (m_takeFromStore || !CurrentDevice || !CurrentResourceLoader)
        return;
    IDirect3DDevice9* device = CurrentDevice;
    ComRef<IDirect3DTexture9> noise = CurrentResourceLoader->GetBuiltInNoisePicture();
    D3DSURFACE_DESC noiseDesc;
    if (!noise || FAILED(noise->GetLevelDesc(0, &noiseDesc)))
        return;
    const UINT w = noiseDesc.Width, h = noiseDesc.Height;

    ComRef<IDirect3DSurface9> savedTarget;
    ComRef<IDirect3DSurface9> savedDepth;
    device->GetRenderTarget(0, savedTarget.Receive());
    device->GetDepthStencilSurface(savedDepth.Receive());
    ComRef<IDirect3DTexture9> relief;
    CreateRenderTargetTexture(relief, w, h);
    ComRef<IDirect3DSurface9> reliefSurface;
    if (!relief || FAILED(relief->GetSurfaceLevel(0, reliefSurface.Receive())))
        return;

    ScreenQuad quad = PictureQuad(static_cast<float>(w), static_cast<float>(h));
    for (QuadCorner& c : quad.corners)
        c.z = 1.0f;  // read as rhw by the screen-space quads
    TexturedQuad noiseQuad;
    noiseQuad.SetTexturedQuad(noise.Get(), quad);
    Vo_SimpleMesh<DX_V::PCT> flatten;
    flatten.SetQuadWithColor(0x808080, quad);
    const float r = Relief();
    flatten.SetCornerAlphas(0.0f, 0.0f, r, r);

    device->SetRenderTarget(0, reliefSurface.Get());
    device->SetDepthStencilSurface(nullptr);
    if (SUCCEEDED(device->BeginScene())) {
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
        device->SetTexture(0, noise.Get());
        noiseQuad.BindScreenTexStream();
        device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        flatten.BindScreenColorStream();
        device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        device->EndScene();
    }
    device->SetRenderTarget(0, savedTarget.Get());
    device->SetDepthStencilSurface(savedDepth.Get());

    ComRef<IDirect3DTexture9> reliefPicture;
    CopyTexture(w, h, D3DFMT_A8R8G8B8, relief.Get(), reliefPicture);
    ComRef<IDirect3DTexture9> normals;
    if (!reliefPicture ||
        FAILED(D3DXCreateTexture(device, w, h, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, normals.Receive())) ||
        FAILED(D3DXComputeNormalMap(normals.Get(), reliefPicture.Get(), nullptr, 0, D3DX_CHANNEL_RED,
                                    static_cast<float>(m_normalAmplitude.Value()))))
        return;
    ComRef<IDirect3DTexture9> duDv;
    CopyTexture(w, h, D3DFMT_V8U8, normals.Get(), duDv);
    if (duDv)
        m_duDvTexture = duDv;
}
