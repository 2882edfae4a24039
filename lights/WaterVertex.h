#pragma once
#include <cstdint>

// A vertex of the lit water mesh: position, normal, diffuse colour and one texture coordinate
// pair (XYZ | NORMAL | DIFFUSE | TEX1).
struct WaterVertex {
    static constexpr uint32_t kFVF = 0x152;
    float x, y, z;
    float nx, ny, nz;
    uint32_t colour;
    float u, v;
};
static_assert(sizeof(WaterVertex) == 36, "the stream stride of FVF 0x152");
