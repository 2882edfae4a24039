// The lake's arithmetic: where the water band lies and what it mirrors, the haze band, the tint
// values and the ripple matrix.
#include "lights/LakeGeometry.h"
#include "model/UINTSclaleTo.h"
#include "runtime/ScreenQuad.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The horizon as the layer reads its stored raw value.
float Horizon(unsigned raw) { return ScaleRawToFloat(raw, -0.005f, 0.5f); }

struct SplitCase {
    unsigned horizonRaw;
    float h;
};

// A picture of 1024 x 768: bottom y 768 with v 1, top y 0 with v 0.
TEST(LakeGeometry, SplitAtHorizonMirrorsTheBandAboveIt)
{
    const SplitCase cases[] = {{0, 0.5f}, {63, 0.185f}, {100, 0.0f}, {120, -0.1f}};
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.horizonRaw);
        const float h = Horizon(c.horizonRaw);
        EXPECT_NEAR(h, c.h, 1e-6f);
        float bottomY = 768.0f, bottomV = 1.0f, topY = 0.0f, topV = 0.0f;
        SplitCornerPairAtHorizon(bottomY, bottomV, topY, topV, h);
        EXPECT_NEAR(bottomY, 768.0f, 1e-3f);
        EXPECT_NEAR(topY, 768.0f - h * 768.0f, 1e-3f);
        EXPECT_NEAR(bottomV, 1.0f - 2.0f * h, 1e-6f);
        EXPECT_NEAR(topV, 1.0f - h, 1e-6f);
        // The picture row at the horizon lies at the horizon: the texture row at v = 1 - h is
        // picture row (1 - h) x 768, which is where the top corner now sits.
        EXPECT_NEAR(topV * 768.0f, topY, 1e-3f);
    }
}

// The whole quad: both sides split alike, x, z and u untouched.
TEST(LakeGeometry, SplitQuadAtHorizonKeepsXZAndU)
{
    ScreenQuad quad;
    InitBackBufferQuad(quad, 1024.0f, 768.0f);
    const ScreenQuad before = quad;
    SplitQuadAtHorizon(quad, Horizon(63));
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(quad.corners[i].x, before.corners[i].x);
        EXPECT_EQ(quad.corners[i].z, before.corners[i].z);
        EXPECT_EQ(quad.corners[i].u, before.corners[i].u);
    }
    for (int bottom : {ScreenQuad::kBottomLeft, ScreenQuad::kBottomRight}) {
        EXPECT_NEAR(quad.corners[bottom].y, 768.0f, 1e-3f);
        EXPECT_NEAR(quad.corners[bottom].v, 0.63f, 1e-6f);
    }
    for (int top : {ScreenQuad::kTopLeft, ScreenQuad::kTopRight}) {
        EXPECT_NEAR(quad.corners[top].y, 768.0f * 0.815f, 1e-3f);
        EXPECT_NEAR(quad.corners[top].v, 0.815f, 1e-6f);
    }
}

// Not the whole picture: a rectangle from y 100 to 500 whose texture still spans 0 to 1.
TEST(LakeGeometry, SplitWorksOnAnOffsetRectangle)
{
    float bottomY = 500.0f, bottomV = 1.0f, topY = 100.0f, topV = 0.0f;
    SplitCornerPairAtHorizon(bottomY, bottomV, topY, topV, 0.25f);
    EXPECT_FLOAT_EQ(bottomY, 500.0f);
    EXPECT_FLOAT_EQ(topY, 400.0f);
    EXPECT_FLOAT_EQ(bottomV, 0.5f);
    EXPECT_FLOAT_EQ(topV, 0.75f);
}

TEST(LakeGeometry, HazeHeightIsTheReflectionOffsetAndZeroWithoutWater)
{
    struct Case {
        float h;
        unsigned offset;
        int expected;
    };
    const Case cases[] = {{0.5f, 7, 7}, {0.5f, 0, 0}, {0.0f, 7, 0}, {0.25f, 12, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.h);
        EXPECT_EQ(LakeHazeHeight(c.h * 768.0f, 768, c.offset, c.h), c.expected);
    }
    // The stored scene's horizon: the split band over the picture height gives h back to within
    // single precision, so the haze is the offset or one pixel less after truncation.
    const float h = Horizon(63);
    float bottomY = 768.0f, bottomV = 1.0f, topY = 0.0f, topV = 0.0f;
    SplitCornerPairAtHorizon(bottomY, bottomV, topY, topV, h);
    const int e = LakeHazeHeight(bottomY - topY, 768, 7, h);
    EXPECT_GE(e, 6);
    EXPECT_LE(e, 7);
}

TEST(LakeGeometry, TintAlphaBytesAtTheDefaults)
{
    const float tintAlpha = ScaleRawToFloat(31, 0.008f, 0.0f);
    const float fade = ScaleRawToFloat(58, 0.01f, 0.0f);
    const LakeTintAlphas alphas = LakeTintAlphaBytes(tintAlpha, fade);
    EXPECT_EQ(alphas.bottom, 63);
    EXPECT_EQ(alphas.horizon, 26);
    // No fade: the whole band has one alpha; full fade: clear at the horizon.
    EXPECT_EQ(LakeTintAlphaBytes(tintAlpha, 0.0f).horizon, 63);
    EXPECT_EQ(LakeTintAlphaBytes(tintAlpha, 1.0f).horizon, 0);
}

TEST(LakeGeometry, TintColourSwapsRedAndBlue)
{
    EXPECT_EQ(LakeTintVertexRgb(0x00660000u), 0x000066u);  // the stored scene's dark blue
    EXPECT_EQ(LakeTintVertexRgb(0x00408000u), 0x008040u);  // the default green
    EXPECT_EQ(LakeTintVertexRgb(0x00123456u), 0x563412u);
    EXPECT_EQ(LakeTintVertexRgb(0xFF000000u), 0x000000u);  // the unused high byte never leaks in
}

TEST(LakeGeometry, WaveMatrixTurnsWithTheClock)
{
    const LakeWaveMatrix still = LakeWaveMatrixAt(0.0f);
    EXPECT_FLOAT_EQ(still.m00, 0.04f);
    EXPECT_FLOAT_EQ(still.m01, 0.0f);
    EXPECT_FLOAT_EQ(still.m10, 0.0f);
    EXPECT_FLOAT_EQ(still.m11, 0.04f);
    // Clock 1/3: angle 1.5 radians.
    const LakeWaveMatrix turned = LakeWaveMatrixAt(1.0f / 3.0f);
    EXPECT_NEAR(turned.m00, 0.04f * std::cos(1.5f), 1e-6f);
    EXPECT_NEAR(turned.m01, -0.04f * std::sin(1.5f), 1e-6f);
    EXPECT_NEAR(turned.m10, 0.04f * std::sin(1.5f), 1e-6f);
    EXPECT_NEAR(turned.m11, 0.04f * std::cos(1.5f), 1e-6f);
    // Always a rotation scaled by 0.04.
    EXPECT_NEAR(turned.m00 * turned.m11 - turned.m01 * turned.m10, 0.0016f, 1e-7f);
}

TEST(LakeGeometry, LakeVerticesFormTwoTrianglesWithTiledRipples)
{
    EXPECT_EQ(kLakeVertexCorners, (std::array<int, 6>{1, 0, 2, 1, 2, 3}));
    const auto coords = LakeRippleCoords(3.0f);
    // Each vertex's ripple coordinate follows its corner: 0.01 on the horizon (top) and the left
    // edge, the tiling on the bottom and right edges.
    for (size_t i = 0; i < coords.size(); ++i) {
        SCOPED_TRACE(i);
        const int corner = kLakeVertexCorners[i];
        const bool right = corner >= 2, bottom = corner == 0 || corner == 2;
        EXPECT_FLOAT_EQ(coords[i].u, right ? 3.0f : 0.01f);
        EXPECT_FLOAT_EQ(coords[i].v, bottom ? 3.0f : 0.01f);
    }
}

}  // namespace
