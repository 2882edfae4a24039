#include "runtime/Vo_2D_Light.h"

#include <d3d9.h>

#include <algorithm>

#include "model/ClassReaderRegistration.h"
#include "model/CurrentDevice.h"
#include "model/D3DResourceMakers.h"
#include "model/TextureFrameSet.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/LayerDrawing.h"
#include "runtime/MeshInstance.h"
#include "runtime/PicturePlacement.h"
#include "runtime/PictureRegionScissor.h"
#include "runtime/RenderSizeStack.h"
#include "runtime/ScreenQuad.h"
#include "runtime/ScreenView.h"
#include "runtime/SpriteMeshDrawable.h"
#include "runtime/Vo_ABObj.h"

namespace {

const int kDefaultPictureId = 5;

void BackBufferSize(int& width, int& height)
{
    D3DSURFACE_DESC desc = {};
    GetBackBufferDesc(desc);
    width = static_cast<int>(desc.Width);
    height = static_cast<int>(desc.Height);
}

}  // namespace

Vo_2D_Light::Vo_2D_Light() : m_pictureLink(kDefaultPictureId, L"common_res.dll")
{
    BindPictureObserver();
}

void Vo_2D_Light::BindPictureObserver()
{
    m_bindings.SetOwner(this);
    m_bindings.BindNotify(m_pictureLink, &Vo_2D_Light::OnPictureChanged);
}

Vo_2D_Light::~Vo_2D_Light()
{
    SetOutputTexture(nullptr);
}

void Vo_2D_Light::SetOutputTexture(IDirect3DTexture9* texture)
{
    if (texture)
        texture->AddRef();
    if (m_outputTexture)
        m_outputTexture->Release();
    m_outputTexture = texture;
}

void Vo_2D_Light::Load(Vo_IOF_Virtual& stream)
{
    vo_string className;
    int32_t version = 0;
    stream.ReadString(className);
    stream.ReadInt(version);
    LoadFields(stream, version);
}

void Vo_2D_Light::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    if (version >= 2)
        ReadFileLink(stream, m_pictureLink);
    if (version >= 3) {
        std::unique_ptr<Kad_Camera> camera = ReadCameraRecord(stream);
        if (camera)
            m_camera.CopyFrom(*camera);
    }
}

Vo_2D_Light* CreateLight2D(Vo_IOF_Virtual& stream, int32_t version)
{
    std::unique_ptr<Vo_2D_Light> layer(new Vo_2D_Light());
    layer->LoadFields(stream, version);
    return layer.release();
}

VO_REGISTER_LIGHT_READER(Vo_2D_Light);

void ResetCameraSway(Vo_2D_Light& layer)
{
    layer.Camera().ResetSway();
}

void Vo_2D_Light::LoadContent()
{
    // A link without a picture (a module that is absent) leaves an empty picture: the layer is
    // still laid out at the target's size and clears its target, with nothing drawn on it.
    if (CurrentDevice)
        m_pictureMesh.CreateQuad();
    if (CurrentDocResManager)
        m_pictureMesh.LoadPicture(m_pictureLink);
    if (CurrentScreenView && CurrentDocResManager)
        CurrentScreenView->BindBorderTextures(m_camera.BorderPictureLink());
}

void Vo_2D_Light::OnPictureChanged()
{
    if (CurrentDocResManager)
        m_pictureMesh.LoadPicture(m_pictureLink);
    Layout(m_targetWidth, m_targetHeight);
}

void Vo_2D_Light::LayoutView(int width, int height, int mode, bool noScaling)
{
    if (!CurrentScreenView)
        return;
    CurrentScreenView->Layout(Picture(), width, height, mode, noScaling);
}

void Vo_2D_Light::Layout(int width, int height)
{
    if (!m_sizePushed) {
        m_targetWidth = width;
        m_targetHeight = height;
    }
    const int mode = CurrentScreenView ? CurrentScreenView->Mode() : m_effectMode;
    LayoutView(m_targetWidth, m_targetHeight, mode, m_sizePushed != 0);
    ScreenQuad quad = FitQuadToAspect(Picture(), m_targetWidth, m_targetHeight);
    ScaleQuadToBackBuffer(quad, m_targetWidth, m_targetHeight);
    SetPicturePlacement(quad, m_targetWidth, m_targetHeight, static_cast<int>(Picture().width),
                        static_cast<int>(Picture().height));
}

void Vo_2D_Light::SetPicturePosition(int mode)
{
    m_effectMode = mode;
    LayoutView(m_targetWidth, m_targetHeight, mode, false);
    Layout(m_targetWidth, m_targetHeight);
}

void Vo_2D_Light::RestoreDeviceObjects()
{
    IDirect3DDevice9* device = CurrentDevice;
    if (device) {
        device->SetRenderState(D3DRS_ZENABLE, FALSE);
        device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
        device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
        device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
        device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    }
    if (CurrentDocResManager)
        CurrentDocResManager->OnResetDevice();
    int width = 0, height = 0;
    BackBufferSize(width, height);
    m_targets.Create(static_cast<uint32_t>(width), static_cast<uint32_t>(height));
}

void Vo_2D_Light::InvalidateDeviceObjects()
{
    m_targets.ReleaseTextures();
    SetOutputTexture(nullptr);
    // A pass that read the pair leaves its texture bound to a stage, which keeps the default-pool
    // texture alive and makes the device's Reset fail.
    if (CurrentDevice)
        for (DWORD stage = 0; stage < 8; ++stage)
            CurrentDevice->SetTexture(stage, nullptr);
}

void Vo_2D_Light::BeginRender(int nested)
{
    BeginRenderCoveredBelow(nested, 1.0f);
}

void Vo_2D_Light::BeginRenderCoveredBelow(int nested, float coveredFromV)
{
    IDirect3DDevice9* device = CurrentDevice;
    if (!device)
        return;
    if (CurrentScreenView) {
        CurrentScreenView->ApplyTransforms();
        CurrentScreenView->SetWorldTransform(m_pictureMesh.World());
    }
    if (!nested)
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFF00FFF, 1.0f, 0);
    if (!m_pictureMesh.VertexBuffer())
        return;
    device->SetTexture(0, m_pictureMesh.Texture());
    m_pictureMesh.BindWorldStream();
    if (coveredFromV < 1.0f) {
        const TextureInfo& picture = m_pictureMesh.Picture();
        PictureRegionScissor scissor(m_pictureMesh.World(), picture.width, picture.height, 0.0f, 0.0f, 1.0f,
                                     std::max(coveredFromV, 0.0f));
        device->DrawPrimitive(m_pictureMesh.PrimitiveType(), 0, m_pictureMesh.PrimitiveCount());
    } else {
        device->DrawPrimitive(m_pictureMesh.PrimitiveType(), 0, m_pictureMesh.PrimitiveCount());
    }
}

void Vo_2D_Light::EndRender(int nested)
{
    if (!nested && CurrentScreenView)
        CurrentScreenView->DrawBorders();
}

void Vo_2D_Light::Update(float time)
{
    m_camera.Update(time);
}

HRESULT Vo_2D_Light::DrawOverlayQuad(Vo_SimpleMesh<DX_V::PCT>* mesh)
{
    return ::DrawOverlayQuad(mesh);
}

void Vo_2D_Light::BeginEffects()
{
    m_effectMode = CurrentScreenView ? CurrentScreenView->Mode() : m_effectMode;
    m_targets.Begin(m_targets);
    LayoutView(m_targetWidth, m_targetHeight, ScreenView::kRenderTarget, false);
}

void Vo_2D_Light::ApplyEffects(const ObjectList& objects, int n)
{
    IDirect3DTexture9* picture = Picture().texture.Get();
    SetOutputTexture(picture);
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        Vo_ABObj* object = it->Get();
        if (!object)
            continue;
        if (object->NeedsBackground()) {
            --n;
            // The last object that needs the background ends the chain and draws onto the saved
            // target; the ones before it draw into the pair.
            SetOutputTexture(n > 0 ? SwapTarget() : EndEffects(false).Current());
        }
        if (object->IsEnabled())
            object->Render(this);
        SetOutputTexture(picture);
    }
}

RenderTargetPair& Vo_2D_Light::EndEffects(bool clear)
{
    LayoutView(m_targetWidth, m_targetHeight, m_effectMode, false);
    m_targets.End();
    if (clear && CurrentDevice)
        CurrentDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    return m_targets;
}

void Vo_2D_Light::PushTargetSize(const D3DSURFACE_DESC& surface, int mode)
{
    m_pushMode = CurrentScreenView ? CurrentScreenView->Mode() : m_pushMode;
    RenderSizeStack::Push(m_targetWidth, m_targetHeight);
    m_sizePushed = 1;
    m_targetWidth = static_cast<int>(surface.Width);
    m_targetHeight = static_cast<int>(surface.Height);
    LayoutView(m_targetWidth, m_targetHeight, mode, true);
}

void Vo_2D_Light::PopTargetSize()
{
    // An unbalanced pop keeps the current size rather than reading an empty stack.
    if (!RenderSizeStack::Front(m_targetWidth, m_targetHeight))
        return;
    RenderSizeStack::Pop();
    if (RenderSizeStack::Empty())
        m_sizePushed = 0;
    LayoutView(m_targetWidth, m_targetHeight, m_pushMode, false);
}

HRESULT Vo_2D_Light::DrawIndexedWithEffect(Vo_IndexedMesh<DX_V::PCT>* mesh, ID3DXEffect** effect)
{
    return ::DrawIndexedWithEffect(mesh, effect);
}

HRESULT Vo_2D_Light::DrawListWithEffect(Vo_SimpleMesh<DX_V::PCT>* mesh, ID3DXEffect** effect)
{
    return ::DrawListWithEffect(mesh, effect);
}

HRESULT Vo_2D_Light::DrawStripWithEffect(Vo_SimpleMesh<DX_V::PCT>* mesh, ID3DXEffect** effect)
{
    return ::DrawStripWithEffect(mesh, effect);
}

HRESULT Vo_2D_Light::DrawColoredIndexed(Vo_IndexedMesh<DX_V::PCT>* mesh, ID3DXEffect** effect,
                                        int primitiveCount, float)
{
    return ::DrawColoredIndexed(mesh, effect, primitiveCount);
}

HRESULT Vo_2D_Light::DrawColoredIndexedWithEffect(Vo_IndexedMesh<DX_V::PCT>* mesh, ID3DXEffect** effect)
{
    return ::DrawColoredIndexedWithEffect(mesh, effect);
}

HRESULT Vo_2D_Light::DrawMeshList(MeshInstance* instance)
{
    if (!instance)
        return D3DERR_INVALIDCALL;
    return ::DrawMeshList(instance->Mesh(), instance->Frames().data(), instance->Frames().size());
}

HRESULT Vo_2D_Light::DrawSpriteMesh(SpriteMeshDrawable* sprites)
{
    if (!sprites)
        return D3DERR_INVALIDCALL;
    // A picture without frames, or quads never written, show nothing.
    if (!sprites->FrameTexture() || sprites->QuadsToDraw() < 1)
        return S_OK;
    return ::DrawSpriteMesh(sprites->SpriteMesh(), sprites->FrameTexture(), sprites->OverlayTexture(),
                            sprites->QuadsToDraw(), sprites->AdditiveFlag());
}

HRESULT Vo_2D_Light::DrawMeshListTextured(TexturedMesh* mesh)
{
    if (!mesh)
        return D3DERR_INVALIDCALL;
    return ::DrawMeshListTextured(*mesh);
}

HRESULT Vo_2D_Light::DrawWithTextureFactor(TextureFactorDrawable* object, int value)
{
    return ::DrawWithTextureFactor(object, value);
}

HRESULT Vo_2D_Light::DrawTexturedQuad(TexturedQuad* quad)
{
    return ::DrawTexturedQuad(quad);
}
