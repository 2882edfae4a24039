#include "particles/generators/QuadVertices.h"

#include <cstring>
#include <utility>

#include "model/MediaColor.h"
#include "model/MediaQuad.h"

namespace {

void SetPosition(DX_V::PCT& vertex, const D3DXVECTOR3& p)
{
    vertex.x = p.x;
    vertex.y = p.y;
    vertex.z = p.z;
}

void SetWhiteWithDefaultLayout(QuadVertices& quad)
{
    SetQuadColor(quad, 0xFFFFFFFFu);
    SetQuadTexCoords(quad, 0.0f, 1.0f, 0.0f, 1.0f);
}

}  // namespace

void BuildAxisAlignedQuad(QuadVertices& quad, const D3DXVECTOR3& centre, float width, float height)
{
    const float left = centre.x - width / 2, right = centre.x + width / 2;
    const float bottom = centre.y + height / 2, top = centre.y - height / 2;
    SetPosition(quad.v[0], D3DXVECTOR3(left, bottom, centre.z));
    SetPosition(quad.v[1], D3DXVECTOR3(left, top, centre.z));
    SetPosition(quad.v[2], D3DXVECTOR3(right, bottom, centre.z));
    SetPosition(quad.v[3], D3DXVECTOR3(right, top, centre.z));
    SetWhiteWithDefaultLayout(quad);
}

void BuildOrientedQuad(QuadVertices& quad, const D3DXVECTOR3& centre, const D3DXVECTOR3& axisA,
                       const D3DXVECTOR3& axisB, float size)
{
    const float h = size / 2;
    const D3DXVECTOR3 a = axisA * h, b = axisB * h;
    SetPosition(quad.v[0], centre - a + b);
    SetPosition(quad.v[1], centre - a - b);
    SetPosition(quad.v[2], centre + a + b);
    SetPosition(quad.v[3], centre + a - b);
    SetWhiteWithDefaultLayout(quad);
}

void BuildStreakQuad(QuadVertices& quad, const D3DXVECTOR3& start, const D3DXVECTOR3& direction,
                     float length, float startWidth, float endWidth)
{
    // A streak of length 0 has no width direction; it collapses to its start instead of dividing
    // by zero.
    const D3DXVECTOR3 n = length != 0.0f ? D3DXVECTOR3(-direction.y, direction.x, 0.0f) / (2 * length)
                                         : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 end = start + direction;
    SetPosition(quad.v[0], start + n * startWidth);
    SetPosition(quad.v[1], start - n * startWidth);
    SetPosition(quad.v[2], end + n * endWidth);
    SetPosition(quad.v[3], end - n * endWidth);
    SetQuadColor(quad, 0xFFFFFFFFu);
}

void QuadFromCorners(QuadVertices& quad, const MediaQuad& corners)
{
    SetPosition(quad.v[0], corners.Corner(1).Value());
    SetPosition(quad.v[1], corners.Corner(0).Value());
    SetPosition(quad.v[2], corners.Corner(3).Value());
    SetPosition(quad.v[3], corners.Corner(2).Value());
    SetWhiteWithDefaultLayout(quad);
}

void SetQuadTexCoords(QuadVertices& quad, float uLow, float uHigh, float vLow, float vHigh)
{
    quad.v[0].u = uLow;
    quad.v[0].v = vHigh;
    quad.v[1].u = uLow;
    quad.v[1].v = vLow;
    quad.v[2].u = uHigh;
    quad.v[2].v = vHigh;
    quad.v[3].u = uHigh;
    quad.v[3].v = vLow;
}

void FlipQuadTexCoords(QuadVertices& quad, bool flipU, bool flipV)
{
    if (flipU) {
        std::swap(quad.v[0].u, quad.v[2].u);
        std::swap(quad.v[1].u, quad.v[3].u);
    }
    if (flipV) {
        std::swap(quad.v[0].v, quad.v[3].v);
        std::swap(quad.v[1].v, quad.v[2].v);
    }
}

void SmoothQuadEdge(QuadVertices& previous, QuadVertices& next)
{
    auto join = [](DX_V::PCT& a, DX_V::PCT& b) {
        const float x = (a.x + b.x) / 2, y = (a.y + b.y) / 2, z = (a.z + b.z) / 2;
        a.x = b.x = x;
        a.y = b.y = y;
        a.z = b.z = z;
    };
    join(next.v[0], previous.v[2]);
    join(next.v[1], previous.v[3]);
}

void SetQuadColor(QuadVertices& quad, uint32_t color)
{
    for (DX_V::PCT& vertex : quad.v)
        vertex.color = color;
}

uint32_t VertexColorFromUnits(unsigned long colour, float alpha)
{
    const uint32_t red = UnitToColorByte((colour & 0xFF) / 255.0f);
    const uint32_t green = UnitToColorByte(((colour >> 8) & 0xFF) / 255.0f);
    const uint32_t blue = UnitToColorByte(((colour >> 16) & 0xFF) / 255.0f);
    return static_cast<uint32_t>(UnitToColorByte(alpha)) << 24 | red << 16 | green << 8 | blue;
}

void WriteQuadVertices(void* vertices, unsigned q, const QuadVertices& quad)
{
    std::memcpy(static_cast<DX_V::PCT*>(vertices) + 4 * q, quad.v, sizeof(quad.v));
}
