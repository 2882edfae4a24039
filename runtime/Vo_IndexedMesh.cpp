#include "runtime/Vo_IndexedMesh.h"

#include "model/CurrentDevice.h"

template class Vo_IndexedMesh<DX_V::PCT>;
template class Vo_SpriteArrayT<DX_V::PCT>;

HRESULT CreateSpriteBuffers(Vo_IndexedMesh<DX_V::PCT>& mesh, UINT vertexCount, UINT indexCount)
{
    HRESULT hr = CreatePCTVertexBuffer(mesh.VertexBufferRef(), vertexCount, D3DUSAGE_WRITEONLY,
                                       D3DPOOL_MANAGED);
    mesh.SetVertexCount(SUCCEEDED(hr) ? vertexCount : 0);
    mesh.SetPrimitiveType(D3DPT_TRIANGLELIST);
    mesh.SetPrimitiveCount(0);
    mesh.SetIndexedPrimitiveCount(indexCount / 3);
    mesh.IndexBufferRef().Reset();
    if (FAILED(hr))
        return hr;
    return CurrentDevice->CreateIndexBuffer(indexCount * sizeof(uint16_t), D3DUSAGE_WRITEONLY,
                                            D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                            mesh.IndexBufferRef().Receive(), nullptr);
}

HRESULT WriteQuadIndices(IDirect3DIndexBuffer9* indices, int quadCount)
{
    if (quadCount < 1)
        return S_FALSE;
    if (quadCount > kMaxQuadsPerIndexBuffer)
        return E_INVALIDARG;
    if (!indices)
        return E_POINTER;
    const UINT bytes = static_cast<UINT>(quadCount) * 6 * sizeof(uint16_t);
    D3DINDEXBUFFER_DESC desc;
    if (FAILED(indices->GetDesc(&desc)) || desc.Size < bytes)
        return E_INVALIDARG;
    void* data = nullptr;
    HRESULT hr = indices->Lock(0, bytes, &data, 0);
    if (FAILED(hr))
        return hr;
    auto* out = static_cast<uint16_t*>(data);
    for (int k = 0; k < quadCount; ++k) {
        const uint16_t base = static_cast<uint16_t>(4 * k);
        *out++ = base;
        *out++ = static_cast<uint16_t>(base + 1);
        *out++ = static_cast<uint16_t>(base + 2);
        *out++ = static_cast<uint16_t>(base + 2);
        *out++ = static_cast<uint16_t>(base + 1);
        *out++ = static_cast<uint16_t>(base + 3);
    }
    indices->Unlock();
    return S_OK;
}

HRESULT FillQuadIndexBuffer(Vo_IndexedMesh<DX_V::PCT>& mesh, int quadCount)
{
    if (quadCount < 1)
        return S_FALSE;
    if (quadCount > kMaxQuadsPerIndexBuffer)
        return E_INVALIDARG;
    const UINT n = static_cast<UINT>(quadCount);
    HRESULT hr = CreateSpriteBuffers(mesh, 4 * n, 6 * n);
    if (FAILED(hr))
        return hr;
    return WriteQuadIndices(mesh.IndexBuffer(), quadCount);
}

HRESULT MakeSpriteQuadBuffers(Vo_IndexedMesh<DX_V::PCT>& mesh, int quadCount)
{
    if (quadCount < 1) {
        mesh.VertexBufferRef().Reset();
        mesh.IndexBufferRef().Reset();
        mesh.SetVertexCount(0);
        mesh.SetIndexedPrimitiveCount(0);
        return S_FALSE;
    }
    // 4n must stay a valid vertex count and byte size.
    if (quadCount > (1 << 22))
        return E_INVALIDARG;
    const int chunk = quadCount < kMaxQuadsPerIndexBuffer ? quadCount : kMaxQuadsPerIndexBuffer;
    HRESULT hr = CreateSpriteBuffers(mesh, 4 * UINT(quadCount), 6 * UINT(chunk));
    if (SUCCEEDED(hr))
        hr = WriteQuadIndices(mesh.IndexBuffer(), chunk);
    if (FAILED(hr)) {
        mesh.VertexBufferRef().Reset();
        mesh.IndexBufferRef().Reset();
        mesh.SetVertexCount(0);
        mesh.SetIndexedPrimitiveCount(0);
    }
    return hr;
}

void DrawIndexedMeshWithTexture(const Vo_IndexedMesh<DX_V::PCT>& mesh, IDirect3DTexture9* texture)
{
    if (!CurrentDevice)
        return;
    CurrentDevice->SetTexture(0, texture);
    CurrentDevice->SetIndices(mesh.IndexBuffer());
    mesh.BindColorTexStream();
}
