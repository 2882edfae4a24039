#pragma once
#include <d3dx9math.h>

#include <cstdint>

#include "runtime/VertexTypes.h"

class MediaQuad;

// One textured, coloured quad as a generator writes it into a geometry slot: vertex k of quad q
// lands at vertex 4q + k, and the slot's indices 0, 1, 2, 2, 1, 3 make vertices 0-1 one edge and
// 2-3 the opposite edge.
struct QuadVertices {
    DX_V::PCT v[4];
};

// The builders set every vertex colour to opaque white; BuildStreakQuad leaves the texture
// coordinates as they were, the others give the default layout (0, 1), (0, 0), (1, 1), (1, 0).
void BuildAxisAlignedQuad(QuadVertices& quad, const D3DXVECTOR3& centre, float width, float height);
// c - hA + hB, c - hA - hB, c + hA + hB, c + hA - hB with h = size / 2.
void BuildOrientedQuad(QuadVertices& quad, const D3DXVECTOR3& centre, const D3DXVECTOR3& axisA,
                       const D3DXVECTOR3& axisB, float size);
// A band from start along direction, startWidth wide at the start and endWidth at the end, the
// widths measured across the direction relative to its length.
void BuildStreakQuad(QuadVertices& quad, const D3DXVECTOR3& start, const D3DXVECTOR3& direction,
                     float length, float startWidth, float endWidth);
// Corners 1, 0, 3, 2 of the stored quad.
void QuadFromCorners(QuadVertices& quad, const MediaQuad& corners);

void SetQuadTexCoords(QuadVertices& quad, float uLow, float uHigh, float vLow, float vHigh);
void FlipQuadTexCoords(QuadVertices& quad, bool flipU, bool flipV);
// Joins two consecutive streaks: next's vertex 0 and previous's vertex 2 meet at their midpoint,
// as do next's vertex 1 and previous's vertex 3.
void SmoothQuadEdge(QuadVertices& previous, QuadVertices& next);
void SetQuadColor(QuadVertices& quad, uint32_t color);

// The vertex colour of a stored 0x00BBGGRR colour whose channels went through floating point:
// each channel is byte / 255 and the alpha a value in 0..1 (factors included), converted back to
// bytes as UnitToColorByte does.
uint32_t VertexColorFromUnits(unsigned long colour, float alpha);

// Copies the four vertices of quad q into a locked slot.
void WriteQuadVertices(void* vertices, unsigned q, const QuadVertices& quad);
