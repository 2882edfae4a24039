#include "model/D3DResourceMakers.h"

#include <d3dx9.h>

#include <cstring>

#include "model/CurrentDevice.h"

namespace {

constexpr DWORD kMeshFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;  // NormalTexVertex

// Turns a loaded .x mesh into a record: NormalTexVertex clone with fresh normals, optimised,
// copied into managed buffers, with its bounding sphere. The record changes only on success.
HRESULT FillRecordFromMesh(ID3DXMesh* loaded, ID3DXBuffer* adjacency, uint32_t stride,
                           MeshRecord& record)
{
    ComRef<ID3DXMesh> clone;
    HRESULT hr = loaded->CloneMeshFVF(D3DXMESH_SYSTEMMEM, kMeshFvf, CurrentDevice, clone.Receive());
    if (FAILED(hr))
        return hr;
    if (clone->GetOptions() & D3DXMESH_32BIT)
        return E_FAIL;
    D3DXComputeNormals(clone.Get(), nullptr);

    // Wine's d3dx9 answers E_NOTIMPL for the vertex-cache reordering; the mesh is drawable
    // without any optimisation, so a refusal only costs speed. Try without that step then.
    const DWORD* adjacent = adjacency ? static_cast<const DWORD*>(adjacency->GetBufferPointer()) : nullptr;
    if (FAILED(clone->OptimizeInplace(D3DXMESHOPT_COMPACT | D3DXMESHOPT_ATTRSORT | D3DXMESHOPT_VERTEXCACHE,
                                      adjacent, nullptr, nullptr, nullptr)))
        clone->OptimizeInplace(D3DXMESHOPT_COMPACT | D3DXMESHOPT_ATTRSORT, adjacent, nullptr, nullptr,
                               nullptr);

    MeshRecord made;
    made.vertexCount = clone->GetNumVertices();
    made.faceCount = clone->GetNumFaces();
    hr = CopyMeshIndices(made.indexBuffer, clone.Get());
    if (FAILED(hr))
        return hr;
    hr = CopyMeshVertices(made.vertexBuffer, clone.Get(), stride);
    if (FAILED(hr))
        return hr;

    void* vertices = nullptr;
    hr = clone->LockVertexBuffer(D3DLOCK_READONLY, &vertices);
    if (FAILED(hr))
        return hr;
    D3DXVECTOR3 centre(0.0f, 0.0f, 0.0f);
    D3DXComputeBoundingSphere(static_cast<const D3DXVECTOR3*>(vertices), made.vertexCount,
                              D3DXGetFVFVertexSize(kMeshFvf), &centre, &made.boundingRadius);
    clone->UnlockVertexBuffer();
    made.boundingCentre[0] = centre.x;
    made.boundingCentre[1] = centre.y;
    made.boundingCentre[2] = centre.z;
    record = made;
    return S_OK;
}

}  // namespace

HRESULT LoadMeshFromMemory(const uint8_t* bytes, uint32_t size, uint32_t stride, MeshRecord& record)
{
    // The copy reads stride bytes per vertex from 32-byte vertices: any other stride over-reads
    // or splits vertices.
    if (!CurrentDevice || !bytes || !size || stride != kMeshVertexStride)
        return E_INVALIDARG;
    ComRef<ID3DXBuffer> adjacency, materials, effects;
    ComRef<ID3DXMesh> mesh;
    DWORD materialCount = 0;
    HRESULT hr = D3DXLoadMeshFromXInMemory(bytes, size, D3DXMESH_SYSTEMMEM, CurrentDevice,
                                           adjacency.Receive(), materials.Receive(), effects.Receive(),
                                           &materialCount, mesh.Receive());
    if (FAILED(hr) || !mesh)
        return FAILED(hr) ? hr : E_FAIL;
    return FillRecordFromMesh(mesh.Get(), adjacency.Get(), stride, record);
}

HRESULT LoadMeshFromFile(const vo_string& path, uint32_t stride, MeshRecord& record)
{
    if (!CurrentDevice || path.empty() || stride != kMeshVertexStride)
        return E_INVALIDARG;
    ComRef<ID3DXBuffer> adjacency, materials, effects;
    ComRef<ID3DXMesh> mesh;
    DWORD materialCount = 0;
    HRESULT hr = D3DXLoadMeshFromXW(path.c_str(), D3DXMESH_SYSTEMMEM, CurrentDevice, adjacency.Receive(),
                                    materials.Receive(), effects.Receive(), &materialCount,
                                    mesh.Receive());
    if (FAILED(hr) || !mesh)
        return FAILED(hr) ? hr : E_FAIL;
    return FillRecordFromMesh(mesh.Get(), adjacency.Get(), stride, record);
}

HRESULT LoadMeshFromResource(ModuleHandle module, int32_t id, uint32_t stride, MeshRecord& record)
{
    const uint8_t* bytes = nullptr;
    uint32_t size = 0;
    if (!LockModuleResource(module, id, kPictureResourceType, bytes, size))
        return E_FAIL;
    return LoadMeshFromMemory(bytes, size, stride, record);
}

HRESULT CopyMeshIndices(ComRef<IDirect3DIndexBuffer9>& indexBuffer, ID3DXMesh* mesh)
{
    indexBuffer.Reset();
    if (!mesh || !CurrentDevice)
        return E_INVALIDARG;
    // 32-bit indices would be cut in half by a 16-bit copy.
    if ((mesh->GetOptions() & D3DXMESH_32BIT) || mesh->GetNumVertices() > 65536 || !mesh->GetNumFaces())
        return E_INVALIDARG;
    const UINT bytes = mesh->GetNumFaces() * 3 * sizeof(uint16_t);
    ComRef<IDirect3DIndexBuffer9> made;
    HRESULT hr = CurrentDevice->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                                  D3DPOOL_MANAGED, made.Receive(), nullptr);
    if (FAILED(hr))
        return hr;
    void* from = nullptr;
    void* to = nullptr;
    if (FAILED(hr = mesh->LockIndexBuffer(D3DLOCK_READONLY, &from)))
        return hr;
    if (SUCCEEDED(hr = made->Lock(0, 0, &to, 0))) {
        std::memcpy(to, from, bytes);
        made->Unlock();
    }
    mesh->UnlockIndexBuffer();
    if (FAILED(hr))
        return hr;
    indexBuffer = std::move(made);
    return S_OK;
}

HRESULT CopyMeshVertices(ComRef<IDirect3DVertexBuffer9>& vertexBuffer, ID3DXMesh* mesh, uint32_t stride)
{
    vertexBuffer.Reset();
    if (!mesh || !CurrentDevice)
        return E_INVALIDARG;
    if (stride != mesh->GetNumBytesPerVertex() || !mesh->GetNumVertices())
        return E_INVALIDARG;
    const UINT bytes = stride * mesh->GetNumVertices();
    ComRef<IDirect3DVertexBuffer9> made;
    HRESULT hr = CurrentDevice->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED,
                                                   made.Receive(), nullptr);
    if (FAILED(hr))
        return hr;
    void* from = nullptr;
    void* to = nullptr;
    if (FAILED(hr = mesh->LockVertexBuffer(D3DLOCK_READONLY, &from)))
        return hr;
    if (SUCCEEDED(hr = made->Lock(0, 0, &to, 0))) {
        std::memcpy(to, from, bytes);
        made->Unlock();
    }
    mesh->UnlockVertexBuffer();
    if (FAILED(hr))
        return hr;
    vertexBuffer = std::move(made);
    return S_OK;
}
