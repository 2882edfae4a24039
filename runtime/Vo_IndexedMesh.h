#pragma once
#include "runtime/Vo_SimpleMesh.h"

// A simple mesh with a 16-bit index buffer. Copies share both buffers (a reference each).
template <class Vertex>
class Vo_IndexedMesh : public Vo_SimpleMesh<Vertex> {
public:
    Vo_IndexedMesh() = default;

    IDirect3DIndexBuffer9* IndexBuffer() const { return m_indexBuffer.Get(); }
    ComRef<IDirect3DIndexBuffer9>& IndexBufferRef() { return m_indexBuffer; }
    UINT IndexedPrimitiveCount() const { return m_indexedPrimitiveCount; }
    void SetIndexedPrimitiveCount(UINT count) { m_indexedPrimitiveCount = count; }
    uint16_t* LockedIndices() const { return m_lockedIndices; }
    void SetLockedIndices(uint16_t* indices) { m_lockedIndices = indices; }

private:
    ComRef<IDirect3DIndexBuffer9> m_indexBuffer;
    UINT m_indexedPrimitiveCount = 0;
    uint16_t* m_lockedIndices = nullptr;
};

// Quads for sprites: a triangle list of DX_V::PCT quads, 4 vertices and 6 indices per quad.
template <class Vertex>
class Vo_SpriteArrayT : public Vo_IndexedMesh<Vertex> {
public:
    Vo_SpriteArrayT() = default;
};

// The most quads one 16-bit index buffer holds here: 4 x 16383 vertices stay below 65536.
constexpr int kMaxQuadsPerIndexBuffer = 16383;

// A DX_V::PCT vertex buffer of vertexCount and a managed, write-only 16-bit index buffer of
// indexCount: triangle list, primitive count 0, indexed primitive count indexCount / 3.
HRESULT CreateSpriteBuffers(Vo_IndexedMesh<DX_V::PCT>& mesh, UINT vertexCount, UINT indexCount);

// Writes the indices 4k, 4k + 1, 4k + 2, 4k + 2, 4k + 1, 4k + 3 of each of n quads into the index
// buffer of `indices`. Nothing for n < 1, and E_INVALIDARG for more quads than 16-bit indices
// address without wrapping (kMaxQuadsPerIndexBuffer).
HRESULT WriteQuadIndices(IDirect3DIndexBuffer9* indices, int quadCount);

// CreateSpriteBuffers (4n, 6n) and the quad indices. For n < 1 nothing is made; for n above
// kMaxQuadsPerIndexBuffer nothing is made and E_INVALIDARG returned.
HRESULT FillQuadIndexBuffer(Vo_IndexedMesh<DX_V::PCT>& mesh, int quadCount);

// Buffers for n sprite quads of any number: a DX_V::PCT vertex buffer of 4n vertices and the
// indices of min(n, kMaxQuadsPerIndexBuffer) quads, which DrawSpriteMesh reuses for every chunk
// of quads. For n < 1 the buffers are let go and S_FALSE returned.
HRESULT MakeSpriteQuadBuffers(Vo_IndexedMesh<DX_V::PCT>& mesh, int quadCount);

// Texture 0, the index buffer and the DX_V::PCT stream of the mesh.
void DrawIndexedMeshWithTexture(const Vo_IndexedMesh<DX_V::PCT>& mesh, IDirect3DTexture9* texture);

extern template class Vo_IndexedMesh<DX_V::PCT>;
extern template class Vo_SpriteArrayT<DX_V::PCT>;
