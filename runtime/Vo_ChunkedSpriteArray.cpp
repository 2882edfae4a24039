#include "runtime/Vo_ChunkedSpriteArray.h"

#include "model/CurrentDevice.h"

Vo_ChunkedSpriteArray::Vo_ChunkedSpriteArray() : m_chunks(1) {}

void Vo_ChunkedSpriteArray::Resize(int quadCount)
{
    if (quadCount < 0)
        quadCount = 0;
    UnlockAll();
    const int chunkSize = kMaxQuadsPerIndexBuffer;
    m_chunks.resize(static_cast<size_t>(quadCount / chunkSize + 1));
    for (size_t k = 0; k < m_chunks.size(); ++k) {
        int q = quadCount - chunkSize * static_cast<int>(k);
        if (q > chunkSize)
            q = chunkSize;
        BuildChunk(m_chunks[k], q);
        m_chunks[k].SetTexture(m_chunks[0].Texture());
    }
    m_quadCount = quadCount;
}

HRESULT Vo_ChunkedSpriteArray::CreateChunkBuffers(TexturedMesh& chunk, UINT vertexCount,
                                                  UINT indexCount)
{
    chunk.SetPrimitiveType(D3DPT_TRIANGLELIST);
    chunk.SetPrimitiveCount(0);
    chunk.SetVertexCount(0);
    chunk.SetIndexedPrimitiveCount(0);
    chunk.IndexBufferRef().Reset();
    HRESULT hr = CreateScreenTexVertexBuffer(chunk.VertexBufferRef(), vertexCount,
                                             D3DUSAGE_WRITEONLY, D3DPOOL_MANAGED);
    if (FAILED(hr))
        return hr;
    hr = CurrentDevice->CreateIndexBuffer(indexCount * sizeof(uint16_t), D3DUSAGE_WRITEONLY,
                                          D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                          chunk.IndexBufferRef().Receive(), nullptr);
    if (FAILED(hr)) {
        chunk.VertexBufferRef().Reset();
        return hr;
    }
    chunk.SetVertexCount(vertexCount);
    chunk.SetIndexedPrimitiveCount(indexCount / 3);
    return S_OK;
}

void Vo_ChunkedSpriteArray::BuildChunk(TexturedMesh& chunk, int quadCount)
{
    if (quadCount < 1) {
        // An empty chunk keeps no buffers from an earlier, larger count and draws nothing.
        chunk.VertexBufferRef().Reset();
        chunk.IndexBufferRef().Reset();
        chunk.SetVertexCount(0);
        chunk.SetIndexedPrimitiveCount(0);
        return;
    }
    const UINT q = static_cast<UINT>(quadCount);
    if (FAILED(CreateChunkBuffers(chunk, 4 * q, 6 * q)))
        return;
    if (FAILED(WriteQuadIndices(chunk.IndexBuffer(), quadCount))) {
        chunk.SetIndexedPrimitiveCount(0);
        return;
    }
    void* data = nullptr;
    if (FAILED(chunk.VertexBuffer()->Lock(0, 0, &data, 0)) || !data)
        return;
    static const float kUV[4][2] = {{0, 1}, {0, 0}, {1, 1}, {1, 0}};
    auto* v = static_cast<ScreenTexVertex*>(data);
    for (UINT i = 0; i < 4 * q; ++i)
        v[i] = {0.0f, 0.0f, 0.0f, 1.0f, 0u, kUV[i % 4][0], kUV[i % 4][1]};
    chunk.VertexBuffer()->Unlock();
}

void Vo_ChunkedSpriteArray::LockAll()
{
    for (TexturedMesh& chunk : m_chunks) {
        if (!chunk.VertexBuffer() || chunk.LockedVertices())
            continue;
        void* data = nullptr;
        if (SUCCEEDED(chunk.VertexBuffer()->Lock(0, 0, &data, 0)))
            chunk.SetLockedVertices(data);
    }
}

void Vo_ChunkedSpriteArray::UnlockAll()
{
    for (TexturedMesh& chunk : m_chunks) {
        if (chunk.VertexBuffer() && chunk.LockedVertices())
            chunk.VertexBuffer()->Unlock();
        chunk.SetLockedVertices(nullptr);
    }
}

ScreenTexVertex* Vo_ChunkedSpriteArray::QuadVertices(int index)
{
    if (index < 0 || index >= m_quadCount)
        return nullptr;
    const size_t chunkIndex = static_cast<size_t>(index / kMaxQuadsPerIndexBuffer);
    const UINT position = static_cast<UINT>(index % kMaxQuadsPerIndexBuffer);
    if (chunkIndex >= m_chunks.size())
        return nullptr;
    TexturedMesh& chunk = m_chunks[chunkIndex];
    if (!chunk.LockedVertices() || 4 * position + 4 > chunk.VertexCount())
        return nullptr;
    return static_cast<ScreenTexVertex*>(chunk.LockedVertices()) + 4 * position;
}

void Vo_ChunkedSpriteArray::SetQuad(int index, const D3DXVECTOR3& center,
                                    const D3DXVECTOR3& halfAxisX, const D3DXVECTOR3& halfAxisY)
{
    ScreenTexVertex* v = QuadVertices(index);
    if (!v)
        return;
    const D3DXVECTOR3 corners[4] = {center - halfAxisX + halfAxisY, center - halfAxisX - halfAxisY,
                                    center + halfAxisX + halfAxisY, center + halfAxisX - halfAxisY};
    for (int i = 0; i < 4; ++i) {
        v[i].x = corners[i].x;
        v[i].y = corners[i].y;
        v[i].z = corners[i].z;
        v[i].rhw = 1.0f;
    }
}

void Vo_ChunkedSpriteArray::SetTexCoords(int index, float leftU, float rightU, float topV,
                                         float bottomV)
{
    ScreenTexVertex* v = QuadVertices(index);
    if (!v)
        return;
    v[0].u = leftU;  v[0].v = bottomV;
    v[1].u = leftU;  v[1].v = topV;
    v[2].u = rightU; v[2].v = bottomV;
    v[3].u = rightU; v[3].v = topV;
}

void Vo_ChunkedSpriteArray::SetQuadColor(int index, uint32_t color)
{
    ScreenTexVertex* v = QuadVertices(index);
    if (!v)
        return;
    for (int i = 0; i < 4; ++i)
        v[i].color = color;
}

void Vo_ChunkedSpriteArray::SetTexture(IDirect3DTexture9* texture)
{
    for (TexturedMesh& chunk : m_chunks)
        chunk.SetTexture(texture);
}

void Vo_ChunkedSpriteArray::Draw() const
{
    if (!CurrentDevice)
        return;
    for (const TexturedMesh& chunk : m_chunks) {
        if (!chunk.VertexBuffer() || !chunk.IndexBuffer() || chunk.IndexedPrimitiveCount() == 0)
            continue;
        CurrentDevice->SetTexture(0, chunk.Texture());
        CurrentDevice->SetIndices(chunk.IndexBuffer());
        chunk.BindScreenTexStream();
        CurrentDevice->DrawIndexedPrimitive(chunk.PrimitiveType(), 0, 0, chunk.VertexCount(), 0,
                                            chunk.IndexedPrimitiveCount());
    }
}
