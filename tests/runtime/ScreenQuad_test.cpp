#include <gtest/gtest.h>

#include "runtime/ScreenQuad.h"
#include "runtime/TexturedQuad.h"
#include "runtime/Vo_SimpleMesh.h"

namespace {

TEST(ScreenQuad, FitKeepsTheAspectAndCentresOnTheFreeAxis)
{
    const struct {
        const char* name;
        unsigned pw, ph;
        int w, h;
        float left, top, right, bottom;
    } cases[] = {
        {"letterbox", 1024, 768, 1280, 1024, 0, 32, 1280, 992},
        {"pillarbox", 512, 1024, 1280, 1024, 384, 0, 896, 1024},
        {"same aspect", 640, 512, 1280, 1024, 0, 0, 1280, 1024},
        // No picture: laid out as if it had the target's size.
        {"no picture", 0, 0, 800, 600, 0, 0, 800, 600},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScreenQuad q = FitQuadToAspect(c.pw, c.ph, c.w, c.h);
        EXPECT_FLOAT_EQ(q.corners[ScreenQuad::kBottomLeft].x, c.left);
        EXPECT_FLOAT_EQ(q.corners[ScreenQuad::kBottomLeft].y, c.bottom);
        EXPECT_FLOAT_EQ(q.corners[ScreenQuad::kTopLeft].x, c.left);
        EXPECT_FLOAT_EQ(q.corners[ScreenQuad::kTopLeft].y, c.top);
        EXPECT_FLOAT_EQ(q.corners[ScreenQuad::kBottomRight].x, c.right);
        EXPECT_FLOAT_EQ(q.corners[ScreenQuad::kBottomRight].y, c.bottom);
        EXPECT_FLOAT_EQ(q.corners[ScreenQuad::kTopRight].x, c.right);
        EXPECT_FLOAT_EQ(q.corners[ScreenQuad::kTopRight].y, c.top);
    }
}

TEST(ScreenQuad, SplashQuadIsACentredSquareOfTwoThirdsTheHeight)
{
    const struct { int w, h; float side, left, top; } cases[] = {
        {1280, 1024, 682.6667f, 298.6667f, 170.6667f},
        {800, 600, 400, 200, 100},
        {64, 64, 42.6667f, 10.6667f, 10.6667f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.w);
        ScreenQuad q = TexturedQuad::SplashQuad(c.w, c.h);
        EXPECT_NEAR(q.corners[ScreenQuad::kTopLeft].x, c.left, 1e-3);
        EXPECT_NEAR(q.corners[ScreenQuad::kTopLeft].y, c.top, 1e-3);
        EXPECT_NEAR(q.corners[ScreenQuad::kBottomRight].x - c.left, c.side, 1e-3);
        EXPECT_NEAR(q.corners[ScreenQuad::kBottomRight].y - c.top, c.side, 1e-3);
        EXPECT_EQ(q.corners[ScreenQuad::kTopLeft].z, 1.0f);  // becomes rhw 1
        EXPECT_EQ(q.corners[ScreenQuad::kBottomRight].u, 1.0f);
        EXPECT_EQ(q.corners[ScreenQuad::kBottomRight].v, 1.0f);
    }
}

TEST(ScreenQuad, GridInterpolatesAllFiveComponentsRowByRow)
{
    // Corner records in quad order; row 0 runs from corner 0 to corner 1, the last row from
    // corner 2 to corner 3.
    ScreenQuad c;
    c.corners[0] = {0, 0, 0, 0, 0};
    c.corners[1] = {0, 100, 2, 0, 1};
    c.corners[2] = {200, 0, 4, 1, 0};
    c.corners[3] = {200, 100, 6, 1, 1};
    TexVertex v[9] = {};
    FillGridVertices(c, 2, 2, v);
    const TexVertex expected[9] = {
        {0, 0, 0, 0, 0},     {0, 50, 1, 0, 0.5f},     {0, 100, 2, 0, 1},
        {100, 0, 2, 0.5f, 0}, {100, 50, 3, 0.5f, 0.5f}, {100, 100, 4, 0.5f, 1},
        {200, 0, 4, 1, 0},   {200, 50, 5, 1, 0.5f},   {200, 100, 6, 1, 1},
    };
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(v[i].x, expected[i].x);
        EXPECT_FLOAT_EQ(v[i].y, expected[i].y);
        EXPECT_FLOAT_EQ(v[i].z, expected[i].z);
        EXPECT_FLOAT_EQ(v[i].u, expected[i].u);
        EXPECT_FLOAT_EQ(v[i].v, expected[i].v);
    }

    // A grid without cells would divide by zero: nothing is written.
    TexVertex untouched[2] = {{9, 9, 9, 9, 9}, {9, 9, 9, 9, 9}};
    FillGridVertices(c, 0, 1, untouched);
    FillGridVertices(c, 1, 0, untouched);
    EXPECT_EQ(untouched[0].x, 9.0f);
}

TEST(ScreenQuad, AlphaBytesClampAndTreatNaNAsZero)
{
    const struct { float in; int out; } cases[] = {
        {0.5f, 127}, {1.0f, 255}, {0.0f, 0}, {0.999f, 254},
        {1.5f, 255}, {-0.2f, 0}, {NAN, 0}, {INFINITY, 255}, {-INFINITY, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(AlphaByteFromFloat(c.in), c.out);
    }
}

}  // namespace
