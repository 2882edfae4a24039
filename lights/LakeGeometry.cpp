#include "lights/LakeGeometry.h"

#include "runtime/ScreenQuad.h"

#include <cmath>

void SplitCornerPairAtHorizon(float& bottomY, float& bottomV, float& topY, float& topV, float h)
{
    const float g = 1.0f - h;
    const float k = 1.0f - (1.0f - 2.0f * h) / g;
    const float oldTopV = topV;
    topY = bottomY - (bottomY - topY) * g;
    topV = oldTopV - (oldTopV - bottomV) * g;
    const float y = topY - (topY - bottomY) * k;
    bottomV = topV - (topV - oldTopV) * k;
    // The pair now spans [top, y]; moving it down by bottom - y puts its lower corner back on
    // the bottom edge.
    const float d = bottomY - y;
    topY += d;
    bottomY = y + d;
}

void SplitQuadAtHorizon(ScreenQuad& quad, float h)
{
    QuadCorner* c = quad.corners;
    SplitCornerPairAtHorizon(c[ScreenQuad::kBottomLeft].y, c[ScreenQuad::kBottomLeft].v, c[ScreenQuad::kTopLeft].y,
                             c[ScreenQuad::kTopLeft].v, h);
    SplitCornerPairAtHorizon(c[ScreenQuad::kBottomRight].y, c[ScreenQuad::kBottomRight].v,
                             c[ScreenQuad::kTopRight].y, c[ScreenQuad::kTopRight].v, h);
}

int LakeHazeHeight(float bandHeight, unsigned pictureHeight, unsigned reflectionOffset, float h)
{
    // No water band, or no picture to measure it against (a layer whose picture is missing).
    if (h == 0.0f || pictureHeight == 0)
        return 0;
    return int(bandHeight / float(pictureHeight) * float(reflectionOffset) / h);
}

LakeTintAlphas LakeTintAlphaBytes(float tintAlpha, float fade)
{
    const float horizon = tintAlpha * (1.0f - fade);
    return {uint8_t(tintAlpha * 255.0f), uint8_t(horizon * 255.0f)};
}

uint32_t LakeTintVertexRgb(uint32_t storedColour)
{
    const uint32_t r = storedColour & 0xFF, g = (storedColour >> 8) & 0xFF, b = (storedColour >> 16) & 0xFF;
    return r << 16 | g << 8 | b;
}

LakeWaveMatrix LakeWaveMatrixAt(float clock)
{
    const float half = clock * 0.5f;
    const float angle = half * 9.0f;
    const float c = std::cos(angle), s = std::sin(angle);
    return {0.04f * c, -0.04f * s, 0.04f * s, 0.04f * c};
}

std::array<LakeRippleCoord, 6> LakeRippleCoords(float t)
{
    return {{{0.01f, 0.01f}, {0.01f, t}, {t, t}, {0.01f, 0.01f}, {t, t}, {t, 0.01f}}};
}
