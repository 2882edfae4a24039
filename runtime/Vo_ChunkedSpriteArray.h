#pragma once
#include <d3dx9math.h>

#include <vector>

#include "runtime/TexturedMesh.h"

// Screen-space quads (ScreenTexVertex triangle lists) split into chunks of at most
// kMaxQuadsPerIndexBuffer quads, so each chunk's 16-bit indices stay below 65536. Quad i lives in
// chunk i / kMaxQuadsPerIndexBuffer at position i mod kMaxQuadsPerIndexBuffer.
class Vo_ChunkedSpriteArray {
public:
    // One empty chunk.
    Vo_ChunkedSpriteArray();

    // Rebuilds the chunks for n quads (every vertex at the origin, colour 0, standard texture
    // coordinates); every chunk takes chunk 0's texture. When n is a multiple of the chunk size
    // the last chunk holds no quad and no buffers. A negative count counts as 0.
    void Resize(int quadCount);

    // The quad's vertex buffer must be locked (LockAll). Quads outside 0..count-1, or in a chunk
    // that is not locked, are left alone.
    void SetQuad(int index, const D3DXVECTOR3& center, const D3DXVECTOR3& halfAxisX,
                 const D3DXVECTOR3& halfAxisY);
    void SetTexCoords(int index, float leftU, float rightU, float topV, float bottomV);
    void SetQuadColor(int index, uint32_t color);

    void LockAll();
    void UnlockAll();

    // Every chunk's texture (a reference each).
    void SetTexture(IDirect3DTexture9* texture);
    // Draws every chunk that holds quads.
    void Draw() const;

    int QuadCount() const { return m_quadCount; }
    const std::vector<TexturedMesh>& Chunks() const { return m_chunks; }

private:
    void BuildChunk(TexturedMesh& chunk, int quadCount);
    HRESULT CreateChunkBuffers(TexturedMesh& chunk, UINT vertexCount, UINT indexCount);
    // The first of the quad's four vertices, or null when the index or its chunk cannot be written.
    ScreenTexVertex* QuadVertices(int index);

    int m_quadCount = 0;
    std::vector<TexturedMesh> m_chunks;
};
