#pragma once
#include <cstdint>

#include "model/ComRef.h"

struct IDirect3DVertexBuffer9;
struct IDirect3DIndexBuffer9;

// A mesh ready for drawing: vertices in the NormalTexVertex layout, 16-bit triangle indices and
// the bounding sphere of the positions. Copies share the buffers with a reference each; an empty
// record has no buffers and all numbers 0.
struct MeshRecord {
    ComRef<IDirect3DVertexBuffer9> vertexBuffer;
    ComRef<IDirect3DIndexBuffer9> indexBuffer;
    uint32_t vertexCount = 0;
    uint32_t faceCount = 0;
    float boundingRadius = 0.0f;
    float boundingCentre[3] = {0.0f, 0.0f, 0.0f};  // laid out as a D3DXVECTOR3
};
