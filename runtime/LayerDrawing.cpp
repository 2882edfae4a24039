#include "runtime/LayerDrawing.h"

#include <d3dx9effect.h>

#include <algorithm>

#include "model/CurrentDevice.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/ScreenView.h"
#include "runtime/TextureFactorDrawable.h"
#include "runtime/TexturedMesh.h"
#include "runtime/TexturedQuad.h"
#include "runtime/Vo_IndexedMesh.h"

namespace {

UINT VertexCapacity(IDirect3DVertexBuffer9* buffer, UINT stride)
{
    D3DVERTEXBUFFER_DESC desc;
    if (!buffer || FAILED(buffer->GetDesc(&desc)))
        return 0;
    return desc.Size / stride;
}

UINT IndexCapacity(IDirect3DIndexBuffer9* buffer)
{
    D3DINDEXBUFFER_DESC desc;
    if (!buffer || FAILED(buffer->GetDesc(&desc)))
        return 0;
    return desc.Size / (desc.Format == D3DFMT_INDEX32 ? 4 : 2);
}

// The requested count, cut to what the bound buffer holds; 0 means there is nothing to draw.
template <class Layout>
UINT PlainPrimitives(const Vo_SimpleMesh<DX_V::PCT>& mesh, UINT requested)
{
    const UINT vertices = VertexCapacity(mesh.VertexBuffer(), sizeof(Layout));
    return std::min(requested, PrimitivesInElements(mesh.PrimitiveType(), vertices));
}

UINT IndexedPrimitives(const Vo_IndexedMesh<DX_V::PCT>& mesh, UINT requested)
{
    return std::min(requested, PrimitivesInElements(mesh.PrimitiveType(), IndexCapacity(mesh.IndexBuffer())));
}

template <class Layout>
HRESULT DrawPlain(const Vo_SimpleMesh<DX_V::PCT>& mesh, UINT requested)
{
    const UINT count = PlainPrimitives<Layout>(mesh, requested);
    if (count == 0)
        return S_OK;
    return CurrentDevice->DrawPrimitive(mesh.PrimitiveType(), 0, count);
}

template <class Layout>
HRESULT DrawIndexed(const Vo_IndexedMesh<DX_V::PCT>& mesh, UINT requested)
{
    const UINT count = IndexedPrimitives(mesh, requested);
    const UINT vertices = std::min(mesh.VertexCount(), VertexCapacity(mesh.VertexBuffer(), sizeof(Layout)));
    if (count == 0 || vertices == 0)
        return S_OK;
    return CurrentDevice->DrawIndexedPrimitive(mesh.PrimitiveType(), 0, 0, vertices, 0, count);
}

// Quads of a sprite mesh: the index buffer addresses one chunk of quads, and each chunk of the
// vertex buffer is drawn with it from its own base vertex, so that more quads than 16-bit indices
// reach are drawn too. A count beyond the buffers is cut to them.
HRESULT DrawQuadChunks(const Vo_IndexedMesh<DX_V::PCT>& mesh, UINT quads)
{
    const UINT vertices = std::min(mesh.VertexCount(), VertexCapacity(mesh.VertexBuffer(), sizeof(DX_V::PCT)));
    const UINT chunk = std::min(IndexCapacity(mesh.IndexBuffer()) / 6, UINT(kMaxQuadsPerIndexBuffer));
    quads = std::min(quads, vertices / 4);
    if (chunk == 0)
        return S_OK;
    HRESULT hr = S_OK;
    for (UINT first = 0; first < quads; first += chunk) {
        const UINT count = std::min(chunk, quads - first);
        const HRESULT drawn = CurrentDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, INT(4 * first), 0,
                                                                  4 * count, 0, 2 * count);
        if (SUCCEEDED(hr))
            hr = drawn;
    }
    return hr;
}

// Begin with flags 0 lets the effect save the device state and restore it at End.
template <class Draw>
HRESULT RunPasses(ID3DXEffect* effect, Draw draw)
{
    UINT passes = 0;
    HRESULT hr = effect->Begin(&passes, 0);
    if (FAILED(hr))
        return hr;
    for (UINT i = 0; i < passes; ++i) {
        hr = effect->BeginPass(i);
        if (FAILED(hr))
            break;
        const HRESULT drawn = draw();
        effect->EndPass();
        if (FAILED(drawn)) {
            hr = drawn;
            break;
        }
    }
    effect->End();
    return hr;
}

bool HasEffect(ID3DXEffect** effect)
{
    return effect && *effect;
}

void SetMeshWorld(const Vo_Frame& frame)
{
    if (CurrentScreenView)
        CurrentScreenView->SetWorldTransform(frame.World());
}

void ApplyViewTransforms()
{
    if (CurrentScreenView)
        CurrentScreenView->ApplyTransforms();
}

void SetStage0(D3DTEXTURESTAGESTATETYPE state, DWORD value)
{
    CurrentDevice->SetTextureStageState(0, state, value);
}

void SetState(D3DRENDERSTATETYPE state, DWORD value)
{
    CurrentDevice->SetRenderState(state, value);
}

}  // namespace

UINT PrimitivesInElements(D3DPRIMITIVETYPE type, UINT elements)
{
    switch (type) {
    case D3DPT_POINTLIST: return elements;
    case D3DPT_LINELIST: return elements / 2;
    case D3DPT_LINESTRIP: return elements >= 2 ? elements - 1 : 0;
    case D3DPT_TRIANGLELIST: return elements / 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return elements >= 3 ? elements - 2 : 0;
    default: return 0;
    }
}

HRESULT DrawIndexedWithEffect(const Vo_IndexedMesh<DX_V::PCT>* mesh, ID3DXEffect** effect)
{
    if (!CurrentDevice || !mesh || !HasEffect(effect))
        return D3DERR_INVALIDCALL;
    CurrentDevice->SetIndices(mesh->IndexBuffer());
    mesh->BindStream<TexVertex>();
    return RunPasses(*effect, [&] { return DrawIndexed<TexVertex>(*mesh, mesh->IndexedPrimitiveCount()); });
}

HRESULT DrawListWithEffect(const Vo_SimpleMesh<DX_V::PCT>* mesh, ID3DXEffect** effect)
{
    if (!CurrentDevice || !mesh || !HasEffect(effect))
        return D3DERR_INVALIDCALL;
    SetMeshWorld(*mesh);
    mesh->BindStream<TwoTexVertex>();
    return RunPasses(*effect, [&] { return DrawPlain<TwoTexVertex>(*mesh, mesh->PrimitiveCount()); });
}

HRESULT DrawStripWithEffect(const Vo_SimpleMesh<DX_V::PCT>* mesh, ID3DXEffect** effect)
{
    if (!CurrentDevice || !mesh || !HasEffect(effect))
        return D3DERR_INVALIDCALL;
    SetMeshWorld(*mesh);
    mesh->BindStream<TexVertex>();
    return RunPasses(*effect, [&] { return DrawPlain<TexVertex>(*mesh, mesh->PrimitiveCount()); });
}

HRESULT DrawColoredIndexedWithEffect(const Vo_IndexedMesh<DX_V::PCT>* mesh, ID3DXEffect** effect)
{
    if (!CurrentDevice || !mesh || !HasEffect(effect))
        return D3DERR_INVALIDCALL;
    SetMeshWorld(*mesh);
    CurrentDevice->SetIndices(mesh->IndexBuffer());
    mesh->BindColorTexStream();
    return RunPasses(*effect, [&] { return DrawIndexed<DX_V::PCT>(*mesh, mesh->IndexedPrimitiveCount()); });
}

HRESULT DrawColoredIndexed(const Vo_IndexedMesh<DX_V::PCT>* mesh, ID3DXEffect** effect, int primitiveCount)
{
    if (!CurrentDevice || !mesh)
        return D3DERR_INVALIDCALL;
    const UINT requested = primitiveCount > 0 ? UINT(primitiveCount) : 0;
    SetMeshWorld(*mesh);
    CurrentDevice->SetIndices(mesh->IndexBuffer());
    mesh->BindColorTexStream();
    if (HasEffect(effect))
        return RunPasses(*effect, [&] { return DrawIndexed<DX_V::PCT>(*mesh, requested); });

    SetState(D3DRS_ALPHABLENDENABLE, TRUE);
    SetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    SetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    SetStage0(D3DTSS_COLOROP, D3DTOP_MODULATE);
    SetStage0(D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    SetStage0(D3DTSS_COLORARG1, D3DTA_TEXTURE);
    SetStage0(D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    return DrawIndexed<DX_V::PCT>(*mesh, requested);
}

HRESULT DrawSpriteMesh(const Vo_IndexedMesh<DX_V::PCT>& mesh, IDirect3DTexture9* frameTexture,
                       IDirect3DTexture9* overlay, int particleCount, int additive)
{
    if (!CurrentDevice)
        return D3DERR_INVALIDCALL;
    ApplyViewTransforms();
    SetMeshWorld(mesh);

    SetState(D3DRS_CULLMODE, D3DCULL_NONE);
    SetState(D3DRS_ALPHABLENDENABLE, TRUE);
    SetStage0(D3DTSS_COLOROP, D3DTOP_MODULATE);
    SetStage0(D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    SetStage0(D3DTSS_COLORARG1, D3DTA_TEXTURE);
    SetStage0(D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    SetState(D3DRS_DESTBLEND, overlay || additive == 0 ? D3DBLEND_INVSRCALPHA : D3DBLEND_ONE);

    const UINT requested = particleCount > 0 ? UINT(particleCount) : 0;
    DrawIndexedMeshWithTexture(mesh, frameTexture);
    HRESULT hr = DrawQuadChunks(mesh, requested);

    if (overlay) {
        SetStage0(D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        CurrentDevice->SetTexture(0, overlay);
        if (additive == 1)
            SetState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        const HRESULT second = DrawQuadChunks(mesh, requested);
        if (SUCCEEDED(hr))
            hr = second;
    }

    SetState(D3DRS_ALPHABLENDENABLE, FALSE);
    SetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    return hr;
}

HRESULT DrawMeshList(const TexturedMesh& mesh, Vo_Frame* const* frames, size_t frameCount)
{
    if (!CurrentDevice)
        return D3DERR_INVALIDCALL;
    ApplyViewTransforms();
    const bool alpha = mesh.AlphaBlend() != 0;
    if (alpha)
        SetState(D3DRS_ALPHABLENDENABLE, TRUE);
    CurrentDevice->SetTexture(0, mesh.Texture());
    CurrentDevice->SetIndices(mesh.IndexBuffer());
    mesh.BindNormalTexStream();

    HRESULT hr = S_OK;
    // Front faces of every frame first; with blending the back faces follow in a second round.
    const int rounds = alpha ? 2 : 1;
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < frameCount; ++i) {
            const Vo_Frame* frame = frames[i];
            if (!frame)
                continue;
            SetMeshWorld(*frame);
            const bool counterClockwise = (frame->Winding() != 0) == (round == 0);
            SetState(D3DRS_CULLMODE, counterClockwise ? D3DCULL_CCW : D3DCULL_CW);
            const HRESULT drawn = DrawIndexed<NormalTexVertex>(mesh, mesh.IndexedPrimitiveCount());
            if (SUCCEEDED(hr))
                hr = drawn;
        }
    }

    SetState(D3DRS_CULLMODE, D3DCULL_NONE);
    SetState(D3DRS_ALPHABLENDENABLE, FALSE);
    return hr;
}

HRESULT DrawMeshListTextured(const TexturedMesh& mesh)
{
    if (!CurrentDevice)
        return D3DERR_INVALIDCALL;
    ApplyViewTransforms();
    SetState(D3DRS_ALPHABLENDENABLE, TRUE);
    SetStage0(D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    SetStage0(D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    CurrentDevice->SetTexture(0, mesh.Texture());
    CurrentDevice->SetIndices(mesh.IndexBuffer());
    mesh.BindNormalTexStream();

    HRESULT hr = S_OK;
    for (const Vo_Frame* child : mesh.Children()) {
        if (!child)
            continue;
        SetMeshWorld(*child);
        for (DWORD cull : {DWORD(D3DCULL_CCW), DWORD(D3DCULL_CW)}) {
            SetState(D3DRS_CULLMODE, cull);
            const HRESULT drawn = DrawIndexed<NormalTexVertex>(mesh, mesh.IndexedPrimitiveCount());
            if (SUCCEEDED(hr))
                hr = drawn;
        }
    }

    SetState(D3DRS_CULLMODE, D3DCULL_NONE);
    SetState(D3DRS_ALPHABLENDENABLE, FALSE);
    return hr;
}

HRESULT DrawWithTextureFactor(TextureFactorDrawable* object, int value)
{
    if (!CurrentDevice || !object)
        return D3DERR_INVALIDCALL;
    object->PrepareStage(value);

    SetState(D3DRS_ALPHABLENDENABLE, TRUE);
    SetState(D3DRS_CULLMODE, D3DCULL_NONE);
    SetState(D3DRS_ZENABLE, D3DZB_FALSE);
    SetStage0(D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    SetStage0(D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    SetStage0(D3DTSS_COLORARG1, D3DTA_TEXTURE);
    SetStage0(D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    SetStage0(D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
    SetState(D3DRS_TEXTUREFACTOR, 0xFFFFFFFF);

    const Vo_IndexedMesh<DX_V::PCT>& mesh = object->Mesh();
    CurrentDevice->SetTexture(0, object->Texture());
    CurrentDevice->SetIndices(mesh.IndexBuffer());
    mesh.BindStream<TexVertex>();
    const HRESULT hr = DrawIndexed<TexVertex>(mesh, mesh.IndexedPrimitiveCount());

    SetStage0(D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    SetStage0(D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    SetState(D3DRS_ALPHABLENDENABLE, FALSE);
    SetStage0(D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    return hr;
}

HRESULT DrawOverlayQuad(const Vo_SimpleMesh<DX_V::PCT>* mesh)
{
    if (!mesh)
        return S_OK;
    if (!CurrentDevice)
        return D3DERR_INVALIDCALL;
    SetState(D3DRS_ALPHABLENDENABLE, TRUE);
    SetStage0(D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    SetStage0(D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    mesh->BindScreenColorStream();
    const HRESULT hr = DrawPlain<ScreenColorVertex>(*mesh, mesh->PrimitiveCount());
    SetStage0(D3DTSS_COLORARG1, D3DTA_TEXTURE);
    SetStage0(D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    return hr;
}

HRESULT DrawTexturedQuad(const TexturedQuad* quad)
{
    if (!CurrentDevice || !quad)
        return D3DERR_INVALIDCALL;
    SetState(D3DRS_ALPHABLENDENABLE, TRUE);
    SetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    SetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    SetState(D3DRS_ZENABLE, D3DZB_FALSE);
    SetStage0(D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    CurrentDevice->SetTexture(0, quad->Texture());
    quad->BindScreenTexStream();
    const HRESULT hr = DrawPlain<ScreenTexVertex>(*quad, quad->PrimitiveCount());
    SetStage0(D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    return hr;
}

HRESULT DrawColorQuadXYZ(const Vo_SimpleMesh<DX_V::PCT>* mesh)
{
    if (!CurrentDevice || !mesh)
        return D3DERR_INVALIDCALL;
    SetState(D3DRS_ALPHABLENDENABLE, TRUE);
    SetStage0(D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    SetStage0(D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    mesh->BindStream<ColorVertex>();
    const HRESULT hr = DrawPlain<ColorVertex>(*mesh, mesh->PrimitiveCount());
    SetStage0(D3DTSS_COLORARG1, D3DTA_TEXTURE);
    SetStage0(D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    return hr;
}
