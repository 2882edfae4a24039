#pragma once
#include <cstdint>

// The seven vertex layouts of the drawing routines. Each carries its flexible-vertex-format code;
// the stream stride is sizeof, which the asserts below pin, since a layout whose size drifts from
// its FVF would make the device read every vertex after the first from the wrong place.
namespace DX_V {

// XYZ | TEX1: picture quad, border quads, world quads, grids.
struct TexVertex {
    static constexpr uint32_t kFVF = 0x102;
    float x, y, z;
    float u, v;
};

// XYZ | TEX2: two-texture meshes.
struct TwoTexVertex {
    static constexpr uint32_t kFVF = 0x202;
    float x, y, z;
    float u0, v0;
    float u1, v1;
};

// XYZ | DIFFUSE | TEX1: sprites and coloured meshes.
struct PCT {
    static constexpr uint32_t kFVF = 0x142;
    float x, y, z;
    uint32_t color;
    float u, v;
};

// XYZ | NORMAL | TEX1: .x meshes.
struct NormalTexVertex {
    static constexpr uint32_t kFVF = 0x112;
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

// XYZRHW | DIFFUSE: fade overlay and screen colour quads.
struct ScreenColorVertex {
    static constexpr uint32_t kFVF = 0x44;
    float x, y, z, rhw;
    uint32_t color;
};

// XYZRHW | DIFFUSE | TEX1: splash, textured screen quads, chunked sprites.
struct ScreenTexVertex {
    static constexpr uint32_t kFVF = 0x144;
    float x, y, z, rhw;
    uint32_t color;
    float u, v;
};

// XYZ | DIFFUSE: coloured quads in picture space.
struct ColorVertex {
    static constexpr uint32_t kFVF = 0x42;
    float x, y, z;
    uint32_t color;
};

static_assert(sizeof(TexVertex) == 20, "TexVertex stride");
static_assert(sizeof(TwoTexVertex) == 28, "TwoTexVertex stride");
static_assert(sizeof(PCT) == 24, "PCT stride");
static_assert(sizeof(NormalTexVertex) == 32, "NormalTexVertex stride");
static_assert(sizeof(ScreenColorVertex) == 20, "ScreenColorVertex stride");
static_assert(sizeof(ScreenTexVertex) == 28, "ScreenTexVertex stride");
static_assert(sizeof(ColorVertex) == 16, "ColorVertex stride");

}  // namespace DX_V

using DX_V::ColorVertex;
using DX_V::NormalTexVertex;
using DX_V::ScreenColorVertex;
using DX_V::ScreenTexVertex;
using DX_V::TexVertex;
using DX_V::TwoTexVertex;
