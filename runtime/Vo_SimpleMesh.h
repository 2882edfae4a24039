#pragma once
#include <d3d9.h>

#include <cstdint>

#include "model/ComRef.h"
#include "runtime/ScreenQuad.h"
#include "runtime/VertexTypes.h"
#include "runtime/Vo_Frame.h"

template <class Vertex>
class Vo_IndexedMesh;

// A frame with one vertex buffer, a primitive type and counts. The template argument names the
// usual layout, but the buffer may hold vertices of any of the seven layouts; each routine says
// which one it writes. Copies share the buffer (a reference each).
//
// The quad routines lock the buffer, write and unlock. A missing buffer, one too small for four
// vertices of the routine's layout, or a failed lock writes nothing.
template <class Vertex>
class Vo_SimpleMesh : public Vo_Frame {
public:
    Vo_SimpleMesh() = default;

    // Takes over a buffer reference holding four vertices: a strip of two triangles.
    void AttachVertexBuffer(IDirect3DVertexBuffer9* buffer);

    // Stream bindings (no vertex shader, the layout's FVF, stream 0 with its stride).
    template <class Layout>
    void BindStream() const;
    void BindWorldStream() const { BindStream<TexVertex>(); }
    void BindColorTexStream() const { BindStream<DX_V::PCT>(); }
    void BindNormalTexStream() const { BindStream<NormalTexVertex>(); }
    void BindScreenColorStream() const { BindStream<ScreenColorVertex>(); }
    void BindScreenTexStream() const { BindStream<ScreenTexVertex>(); }

    // TexVertex quads.
    HRESULT CreateWorldQuad();
    HRESULT BuildWorldQuad(const float values[20]);
    void SetWorldCorners(const float positions[12]);

    // ScreenColorVertex quads: rhw := the quad's z.
    HRESULT SetQuadWithColor(uint32_t color, const ScreenQuad& quad);
    void SetScreenCorners(const ScreenQuad& quad);
    // Alpha bytes of the bottom-left, bottom-right, top-left and top-right vertices; RGB kept.
    void SetCornerAlphas(float bottomLeft, float bottomRight, float topLeft, float topRight);

    // ColorVertex quads in picture space, z 0.
    HRESULT SetColorQuadXYZ(uint32_t color, const ScreenQuad& quad);
    void SetCornersXYZ(const ScreenQuad& quad);
    void SetRgbXYZ(uint32_t color);
    void SetCornerAlphasXYZ(float bottomLeft, float bottomRight, float topLeft, float topRight);

    // ScreenTexVertex quads.
    void SetTexturedCorners(const ScreenQuad& quad);
    // Alpha of all four colours := trunc(factor x alpha), RGB kept.
    void SetQuadAlpha(uint8_t alpha, float factor);

    // holder := a copy of the source resampled to a square of 128 << n texels (n limited to
    // 0..5, since a stored n outside it would shift past the int or ask for a huge texture).
    static void CreateTargetTexture(int n, ComRef<IDirect3DTexture9>& holder,
                                    IDirect3DTexture9* source);

    // Fills the (columns + 1) x (rows + 1) TexVertex grid of a mesh whose buffers exist by
    // interpolating all five components between the corners: row 0 runs from corner 0 to
    // corner 1, the last row from corner 2 to corner 3.
    static void BuildGrid(const ScreenQuad& corners, Vo_IndexedMesh<Vertex>& mesh, int columns,
                          int rows);

    IDirect3DVertexBuffer9* VertexBuffer() const { return m_vertexBuffer.Get(); }
    ComRef<IDirect3DVertexBuffer9>& VertexBufferRef() { return m_vertexBuffer; }
    void* LockedVertices() const { return m_lockedVertices; }
    void SetLockedVertices(void* vertices) { m_lockedVertices = vertices; }
    UINT VertexCount() const { return m_vertexCount; }
    void SetVertexCount(UINT count) { m_vertexCount = count; }
    D3DPRIMITIVETYPE PrimitiveType() const { return m_primitiveType; }
    void SetPrimitiveType(D3DPRIMITIVETYPE type) { m_primitiveType = type; }
    UINT PrimitiveCount() const { return m_primitiveCount; }
    void SetPrimitiveCount(UINT count) { m_primitiveCount = count; }

protected:
    // Locks the whole buffer when it holds at least `count` vertices of the given stride.
    void* LockVertices(UINT count, UINT stride);
    void UnlockVertices();
    // The four vertices of a quad of the given layout, locked; null when the buffer is too small.
    template <class Layout>
    Layout* LockQuad()
    {
        return static_cast<Layout*>(LockVertices(4, sizeof(Layout)));
    }
    // Corner alphas for either coloured layout (screen or picture coordinates).
    template <class Layout>
    void SetQuadCornerAlphas(float bottomLeft, float bottomRight, float topLeft, float topRight);
    // A new four-vertex buffer of the layout, attached as a strip.
    template <class Layout>
    HRESULT CreateQuadBuffer();

private:
    ComRef<IDirect3DVertexBuffer9> m_vertexBuffer;
    void* m_lockedVertices = nullptr;
    UINT m_vertexCount = 0;
    D3DPRIMITIVETYPE m_primitiveType = D3DPT_TRIANGLESTRIP;
    UINT m_primitiveCount = 0;
};

// The byte that a float in 0..1 becomes: trunc(value x 255), clamped to 0..255, NaN as 0.
uint8_t AlphaByteFromFloat(float value);

// Fills the vertices of a (columns + 1) x (rows + 1) grid; nothing for a count below 1.
void FillGridVertices(const ScreenQuad& corners, int columns, int rows, TexVertex* vertices);

extern template class Vo_SimpleMesh<DX_V::PCT>;

#include "model/CurrentDevice.h"
#include "runtime/VertexBuffers.h"

template <class Vertex>
template <class Layout>
void Vo_SimpleMesh<Vertex>::BindStream() const
{
    BindVertexStream(CurrentDevice, m_vertexBuffer.Get(), sizeof(Layout), Layout::kFVF);
}
