#include "runtime/Vo_SimpleMesh.h"

#include <cmath>

#include "model/D3DResourceMakers.h"
#include "runtime/Vo_IndexedMesh.h"

namespace {

// A screen-space vertex at a corner of a laid-out quad (the corner's z is its rhw).
template <class ScreenVertex>
void PlaceAtCorner(ScreenVertex& vertex, const QuadCorner& corner)
{
    vertex.x = corner.x;
    vertex.y = corner.y;
    vertex.z = 0.0f;
    vertex.rhw = corner.z;
}

const DWORD kQuadUsage = D3DUSAGE_WRITEONLY;
const D3DPOOL kQuadPool = D3DPOOL_MANAGED;

uint32_t WithAlpha(uint32_t color, uint8_t alpha)
{
    return (color & 0x00FFFFFFu) | (static_cast<uint32_t>(alpha) << 24);
}

uint32_t WithRgb(uint32_t color, uint32_t rgb)
{
    return (color & 0xFF000000u) | (rgb & 0x00FFFFFFu);
}

// Vertex order of the corner-alpha routines: bottom-left, bottom-right, top-left, top-right go
// to the strip's vertices 0, 2, 1, 3.
void PutCornerAlphas(uint32_t* colors[4], float bottomLeft, float bottomRight, float topLeft,
                     float topRight)
{
    *colors[ScreenQuad::kBottomLeft] = WithAlpha(*colors[ScreenQuad::kBottomLeft], AlphaByteFromFloat(bottomLeft));
    *colors[ScreenQuad::kBottomRight] = WithAlpha(*colors[ScreenQuad::kBottomRight], AlphaByteFromFloat(bottomRight));
    *colors[ScreenQuad::kTopLeft] = WithAlpha(*colors[ScreenQuad::kTopLeft], AlphaByteFromFloat(topLeft));
    *colors[ScreenQuad::kTopRight] = WithAlpha(*colors[ScreenQuad::kTopRight], AlphaByteFromFloat(topRight));
}

}  // namespace

uint8_t AlphaByteFromFloat(float value)
{
    // NaN fails both comparisons and ends at 0.
    if (value >= 1.0f)
        return 255;
    if (!(value > 0.0f))
        return 0;
    return static_cast<uint8_t>(value * 255.0f);
}

void FillGridVertices(const ScreenQuad& corners, int columns, int rows, TexVertex* vertices)
{
    if (columns < 1 || rows < 1 || !vertices)
        return;
    auto components = [](const QuadCorner& c, float out[5]) {
        out[0] = c.x; out[1] = c.y; out[2] = c.z; out[3] = c.u; out[4] = c.v;
    };
    float c[4][5];
    for (int k = 0; k < 4; ++k)
        components(corners.corners[k], c[k]);

    const float rowFactor = 1.0f / static_cast<float>(rows);
    const float columnFactor = 1.0f / static_cast<float>(columns);
    float leftStep[5], rightStep[5];
    for (int k = 0; k < 5; ++k) {
        leftStep[k] = (c[2][k] - c[0][k]) * rowFactor;
        rightStep[k] = (c[3][k] - c[1][k]) * rowFactor;
    }
    for (int j = 0; j <= rows; ++j) {
        float left[5], columnStep[5];
        for (int k = 0; k < 5; ++k) {
            left[k] = c[0][k] + static_cast<float>(j) * leftStep[k];
            const float right = c[1][k] + static_cast<float>(j) * rightStep[k];
            columnStep[k] = (right - left[k]) * columnFactor;
        }
        for (int i = 0; i <= columns; ++i) {
            float v[5];
            for (int k = 0; k < 5; ++k)
                v[k] = left[k] + static_cast<float>(i) * columnStep[k];
            vertices[i + (columns + 1) * j] = {v[0], v[1], v[2], v[3], v[4]};
        }
    }
}

template <class Vertex>
void Vo_SimpleMesh<Vertex>::AttachVertexBuffer(IDirect3DVertexBuffer9* buffer)
{
    m_vertexBuffer.Attach(buffer);
    m_vertexCount = 4;
    m_primitiveType = D3DPT_TRIANGLESTRIP;
    m_primitiveCount = 2;
}

template <class Vertex>
void* Vo_SimpleMesh<Vertex>::LockVertices(UINT count, UINT stride)
{
    if (!m_vertexBuffer)
        return nullptr;
    D3DVERTEXBUFFER_DESC desc;
    if (FAILED(m_vertexBuffer->GetDesc(&desc)) || desc.Size < count * stride)
        return nullptr;
    void* data = nullptr;
    if (FAILED(m_vertexBuffer->Lock(0, 0, &data, 0)) || !data)
        return nullptr;
    m_lockedVertices = data;
    return data;
}

template <class Vertex>
void Vo_SimpleMesh<Vertex>::UnlockVertices()
{
    if (m_vertexBuffer && m_lockedVertices)
        m_vertexBuffer->Unlock();
    m_lockedVertices = nullptr;
}

template <class Vertex>
template <class Layout>
HRESULT Vo_SimpleMesh<Vertex>::CreateQuadBuffer()
{
    ComRef<IDirect3DVertexBuffer9> buffer;
    m_vertexBuffer.Reset();
    HRESULT hr = CreateVertexBufferOf<Layout>(buffer, 4, kQuadUsage, kQuadPool);
    if (FAILED(hr))
        return hr;
    AttachVertexBuffer(buffer.Detach());
    return S_OK;
}

template <class Vertex>
HRESULT Vo_SimpleMesh<Vertex>::CreateWorldQuad()
{
    return CreateQuadBuffer<TexVertex>();
}

template <class Vertex>
HRESULT Vo_SimpleMesh<Vertex>::BuildWorldQuad(const float values[20])
{
    HRESULT hr = CreateWorldQuad();
    if (FAILED(hr))
        return hr;
    auto* v = LockQuad<TexVertex>();
    if (!v)
        return E_FAIL;
    for (int i = 0; i < 4; ++i) {
        const float* f = values + 5 * i;
        v[i] = {f[0], f[1], f[2], f[3], f[4]};
    }
    UnlockVertices();
    return S_OK;
}

template <class Vertex>
void Vo_SimpleMesh<Vertex>::SetWorldCorners(const float positions[12])
{
    auto* v = LockQuad<TexVertex>();
    if (!v)
        return;
    for (int i = 0; i < 4; ++i) {
        v[i].x = positions[3 * i];
        v[i].y = positions[3 * i + 1];
        v[i].z = positions[3 * i + 2];
    }
    UnlockVertices();
}

template <class Vertex>
HRESULT Vo_SimpleMesh<Vertex>::SetQuadWithColor(uint32_t color, const ScreenQuad& quad)
{
    HRESULT hr = CreateQuadBuffer<ScreenColorVertex>();
    if (FAILED(hr))
        return hr;
    auto* v = LockQuad<ScreenColorVertex>();
    if (!v)
        return E_FAIL;
    for (int i = 0; i < 4; ++i) {
        const QuadCorner& c = quad.corners[i];
        v[i] = {c.x, c.y, 0.0f, c.z, color};
    }
    UnlockVertices();
    return S_OK;
}

template <class Vertex>
void Vo_SimpleMesh<Vertex>::SetScreenCorners(const ScreenQuad& quad)
{
    auto* v = LockQuad<ScreenColorVertex>();
    if (!v)
        return;
    for (int i = 0; i < 4; ++i)
        PlaceAtCorner(v[i], quad.corners[i]);
    UnlockVertices();
}

template <class Vertex>
template <class Layout>
void Vo_SimpleMesh<Vertex>::SetQuadCornerAlphas(float bottomLeft, float bottomRight, float topLeft,
                                                float topRight)
{
    Layout* v = LockQuad<Layout>();
    if (!v)
        return;
    uint32_t* colors[4] = {&v[0].color, &v[1].color, &v[2].color, &v[3].color};
    PutCornerAlphas(colors, bottomLeft, bottomRight, topLeft, topRight);
    UnlockVertices();
}

template <class Vertex>
void Vo_SimpleMesh<Vertex>::SetCornerAlphas(float bottomLeft, float bottomRight, float topLeft,
                                            float topRight)
{
    SetQuadCornerAlphas<ScreenColorVertex>(bottomLeft, bottomRight, topLeft, topRight);
}

template <class Vertex>
HRESULT Vo_SimpleMesh<Vertex>::SetColorQuadXYZ(uint32_t color, const ScreenQuad& quad)
{
    HRESULT hr = CreateQuadBuffer<ColorVertex>();
    if (FAILED(hr))
        return hr;
    auto* v = LockQuad<ColorVertex>();
    if (!v)
        return E_FAIL;
    for (int i = 0; i < 4; ++i)
        v[i] = {quad.corners[i].x, quad.corners[i].y, 0.0f, color};
    UnlockVertices();
    return S_OK;
}

template <class Vertex>
void Vo_SimpleMesh<Vertex>::SetCornersXYZ(const ScreenQuad& quad)
{
    auto* v = LockQuad<ColorVertex>();
    if (!v)
        return;
    for (int i = 0; i < 4; ++i) {
        v[i].x = quad.corners[i].x;
        v[i].y = quad.corners[i].y;
        v[i].z = 0.0f;
    }
    UnlockVertices();
}

template <class Vertex>
void Vo_SimpleMesh<Vertex>::SetRgbXYZ(uint32_t color)
{
    auto* v = LockQuad<ColorVertex>();
    if (!v)
        return;
    for (int i = 0; i < 4; ++i)
        v[i].color = WithRgb(v[i].color, color);
    UnlockVertices();
}

template <class Vertex>
void Vo_SimpleMesh<Vertex>::SetCornerAlphasXYZ(float bottomLeft, float bottomRight, float topLeft,
                                               float topRight)
{
    SetQuadCornerAlphas<ColorVertex>(bottomLeft, bottomRight, topLeft, topRight);
}

template <class Vertex>
void Vo_SimpleMesh<Vertex>::SetTexturedCorners(const ScreenQuad& quad)
{
    auto* v = LockQuad<ScreenTexVertex>();
    if (!v)
        return;
    for (int i = 0; i < 4; ++i) {
        PlaceAtCorner(v[i], quad.corners[i]);
        v[i].u = quad.corners[i].u;
        v[i].v = quad.corners[i].v;
    }
    UnlockVertices();
}

template <class Vertex>
void Vo_SimpleMesh<Vertex>::SetQuadAlpha(uint8_t alpha, float factor)
{
    auto* v = LockQuad<ScreenTexVertex>();
    if (!v)
        return;
    float scaled = factor * static_cast<float>(alpha);
    uint8_t byte = scaled >= 255.0f ? 255 : (scaled > 0.0f ? static_cast<uint8_t>(scaled) : 0);
    for (int i = 0; i < 4; ++i)
        v[i].color = WithAlpha(v[i].color, byte);
    UnlockVertices();
}

template <class Vertex>
void Vo_SimpleMesh<Vertex>::BuildGrid(const ScreenQuad& corners, Vo_IndexedMesh<Vertex>& mesh,
                                      int columns, int rows)
{
    if (columns < 1 || rows < 1)
        return;
    const UINT count = static_cast<UINT>(columns + 1) * static_cast<UINT>(rows + 1);
    auto* v = static_cast<TexVertex*>(mesh.LockVertices(count, sizeof(TexVertex)));
    if (!v)
        return;
    FillGridVertices(corners, columns, rows, v);
    mesh.UnlockVertices();
}

template <class Vertex>
void Vo_SimpleMesh<Vertex>::CreateTargetTexture(int n, ComRef<IDirect3DTexture9>& holder,
                                                IDirect3DTexture9* source)
{
    if (n < 0)
        n = 0;
    if (n > 5)
        n = 5;
    const uint32_t side = 128u << n;
    D3DFORMAT format = D3DFMT_A8R8G8B8;
    D3DSURFACE_DESC desc;
    if (source && SUCCEEDED(source->GetLevelDesc(0, &desc)))
        format = desc.Format;
    CopyTexture(side, side, format, source, holder);
}

template class Vo_SimpleMesh<DX_V::PCT>;
// The textured quad makes its ScreenTexVertex buffer through this.
template HRESULT Vo_SimpleMesh<DX_V::PCT>::CreateQuadBuffer<ScreenTexVertex>();
