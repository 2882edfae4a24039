#pragma once
#include <array>
#include <cstdint>

struct ScreenQuad;

// The arithmetic of the lake layer that needs no device: where the water band lies and which part
// of the picture it mirrors, the tint and haze values, and the turning ripple matrix. The layer
// calls these on its quads and meshes; keeping them apart lets them be checked number by number.

// One side of a rectangle quad: the bottom corner (y = B, v = 1) and the top corner above it
// (y = T < B, v = 0). Split at the horizon, the pair spans the lowest fraction h of the rectangle
// and shows the band of the same height above the horizon upside down: the bottom corner stays at
// B with v = 1 - 2h, the top corner moves to B - h (B - T) with v = 1 - h. The steps are the
// layer's own single-precision sequence, so stored scenes place the horizon on the same pixel row.
// h is at most 0.5 for every stored horizon value (0.5 - 0.005 x raw).
void SplitCornerPairAtHorizon(float& bottomY, float& bottomV, float& topY, float& topV, float h);
// Both sides of an axis-aligned rectangle quad split as above; x, z and u stay as they are.
void SplitQuadAtHorizon(ScreenQuad& quad, float h);

// Height in pixels of the haze band above the horizon: ((bandHeight / pictureHeight) x offset / h)
// truncated, in single precision; 0 when h is 0 (no water band, nothing to haze over) or when
// the picture has no height.
int LakeHazeHeight(float bandHeight, unsigned pictureHeight, unsigned reflectionOffset, float h);

// Alpha bytes of the water tint: tintAlpha at the picture's bottom edge, tintAlpha x (1 - fade)
// at the horizon (the haze band's horizon corners take the same), each trunc(x 255).
struct LakeTintAlphas {
    uint8_t bottom;
    uint8_t horizon;
};
LakeTintAlphas LakeTintAlphaBytes(float tintAlpha, float fade);

// The stored tint colour 0x00BBGGRR as a vertex colour 0x00RRGGBB.
uint32_t LakeTintVertexRgb(uint32_t storedColour);

// The bump-environment matrix of the ripple texture at a wave clock value: a rotation scaled by
// 0.04, turning 4.5 radians per clock unit.
struct LakeWaveMatrix {
    float m00, m01, m10, m11;
};
LakeWaveMatrix LakeWaveMatrixAt(float clock);

// The lake mesh's six vertices as corners of its quad (bottom-left 0, top-left 1, bottom-right 2,
// top-right 3): top-left, bottom-left, bottom-right and top-left, bottom-right, top-right.
constexpr std::array<int, 6> kLakeVertexCorners = {1, 0, 2, 1, 2, 3};

// The ripple texture's coordinates of the six vertices for a tiling t: 0.01 at the horizon and
// the left edge, t at the bottom and right edges.
struct LakeRippleCoord {
    float u, v;
};
std::array<LakeRippleCoord, 6> LakeRippleCoords(float tiling);
