// The quad builders against corner positions worked out by hand, and the colour conversion of the
// generators against its rounding rule.
#include <gtest/gtest.h>

#include "model/MediaQuad.h"
#include "particles/generators/QuadVertices.h"

namespace {

void ExpectVertex(const DX_V::PCT& v, float x, float y, float z, float u, float w)
{
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
    EXPECT_FLOAT_EQ(v.u, u);
    EXPECT_FLOAT_EQ(v.v, w);
}

TEST(QuadVerticesTest, AxisAlignedQuadHasTheDefaultLayoutAndWhite)
{
    QuadVertices quad;
    BuildAxisAlignedQuad(quad, D3DXVECTOR3(10, 20, 3), 4, 6);
    ExpectVertex(quad.v[0], 8, 23, 3, 0, 1);
    ExpectVertex(quad.v[1], 8, 17, 3, 0, 0);
    ExpectVertex(quad.v[2], 12, 23, 3, 1, 1);
    ExpectVertex(quad.v[3], 12, 17, 3, 1, 0);
    for (const DX_V::PCT& v : quad.v)
        EXPECT_EQ(v.color, 0xFFFFFFFFu);
}

TEST(QuadVerticesTest, OrientedQuadSpansHalfTheSizeAlongEachAxis)
{
    QuadVertices quad;
    // Axes turned by 90 degrees: A = (0, 1), B = (-1, 0).
    BuildOrientedQuad(quad, D3DXVECTOR3(100, 50, 0), D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(-1, 0, 0), 10);
    ExpectVertex(quad.v[0], 95, 45, 0, 0, 1);  // c - hA + hB
    ExpectVertex(quad.v[1], 105, 45, 0, 0, 0);  // c - hA - hB
    ExpectVertex(quad.v[2], 95, 55, 0, 1, 1);  // c + hA + hB
    ExpectVertex(quad.v[3], 105, 55, 0, 1, 0);  // c + hA - hB
}

TEST(QuadVerticesTest, StreakQuadIsABandAlongItsDirectionAndKeepsTextureCoordinates)
{
    QuadVertices quad;
    SetQuadTexCoords(quad, 0.25f, 0.75f, 0.1f, 0.9f);
    // Along +x, 20 long, 4 wide at the start and 8 at the end: n = (0, 20) / 40 = (0, 0.5).
    BuildStreakQuad(quad, D3DXVECTOR3(10, 10, 0), D3DXVECTOR3(20, 0, 0), 20, 4, 8);
    ExpectVertex(quad.v[0], 10, 12, 0, 0.25f, 0.9f);
    ExpectVertex(quad.v[1], 10, 8, 0, 0.25f, 0.1f);
    ExpectVertex(quad.v[2], 30, 14, 0, 0.75f, 0.9f);
    ExpectVertex(quad.v[3], 30, 6, 0, 0.75f, 0.1f);
    EXPECT_EQ(quad.v[2].color, 0xFFFFFFFFu);
}

TEST(QuadVerticesTest, QuadFromCornersTakesCornersOneZeroThreeTwo)
{
    MediaQuad corners;
    for (int i = 0; i < 4; ++i)
        corners.Corner(i).ValueRef() = D3DXVECTOR3(float(i), float(10 * i), 0);
    QuadVertices quad;
    QuadFromCorners(quad, corners);
    ExpectVertex(quad.v[0], 1, 10, 0, 0, 1);
    ExpectVertex(quad.v[1], 0, 0, 0, 0, 0);
    ExpectVertex(quad.v[2], 3, 30, 0, 1, 1);
    ExpectVertex(quad.v[3], 2, 20, 0, 1, 0);
}

TEST(QuadVerticesTest, FlippingBothWaysTurnsTheTextureHalfATurn)
{
    QuadVertices quad;
    BuildAxisAlignedQuad(quad, D3DXVECTOR3(0, 0, 0), 2, 2);
    FlipQuadTexCoords(quad, true, false);
    ExpectVertex(quad.v[0], -1, 1, 0, 1, 1);
    ExpectVertex(quad.v[1], -1, -1, 0, 1, 0);
    FlipQuadTexCoords(quad, false, true);
    // Both flips: every vertex has the coordinates of the opposite corner.
    EXPECT_FLOAT_EQ(quad.v[0].u, 1);
    EXPECT_FLOAT_EQ(quad.v[0].v, 0);
    EXPECT_FLOAT_EQ(quad.v[3].u, 0);
    EXPECT_FLOAT_EQ(quad.v[3].v, 1);
    EXPECT_FLOAT_EQ(quad.v[1].u, 1);
    EXPECT_FLOAT_EQ(quad.v[1].v, 1);
    EXPECT_FLOAT_EQ(quad.v[2].u, 0);
    EXPECT_FLOAT_EQ(quad.v[2].v, 0);
}

TEST(QuadVerticesTest, SmoothingJoinsTwoStreaksAtTheMidpoints)
{
    QuadVertices previous, next;
    BuildStreakQuad(previous, D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(10, 0, 0), 10, 2, 2);
    BuildStreakQuad(next, D3DXVECTOR3(10, 2, 0), D3DXVECTOR3(10, 0, 0), 10, 2, 2);
    SmoothQuadEdge(previous, next);
    // previous 2 = (10, 1), next 0 = (10, 3); previous 3 = (10, -1), next 1 = (10, 1).
    EXPECT_FLOAT_EQ(previous.v[2].y, 2);
    EXPECT_FLOAT_EQ(next.v[0].y, 2);
    EXPECT_FLOAT_EQ(previous.v[3].y, 0);
    EXPECT_FLOAT_EQ(next.v[1].y, 0);
    EXPECT_FLOAT_EQ(next.v[2].y, 3);
}

TEST(QuadVerticesTest, VertexColoursRoundEachChannelAndSwapRedAndBlue)
{
    struct Case {
        unsigned long colour;
        float alpha;
        uint32_t expected;
    } cases[] = {
        {0x00FFFFFF, 1.0f, 0xFFFFFFFF},
        {0x000000FF, 0.5f, 0x80FF0000},   // 0.5 x 255 + 0.5 = 128
        {0x00FF0000, 0.0f, 0x000000FF},   // blue in the third byte becomes the low byte
        {0x00123456, 2.0f, 0xFF563412},   // alpha above 1 is 255
        {0x00808080, -1.0f, 0x00808080},  // below 0 is 0
        {0x00000000, 100.0f / 255.0f, 0x64000000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VertexColorFromUnits(c.colour, c.alpha), c.expected) << std::hex << c.colour;
}

TEST(QuadVerticesTest, WritesLandAtFourVerticesPerQuad)
{
    DX_V::PCT buffer[12] = {};
    QuadVertices quad;
    BuildAxisAlignedQuad(quad, D3DXVECTOR3(1, 1, 0), 2, 2);
    SetQuadColor(quad, 0x11223344);
    WriteQuadVertices(buffer, 2, quad);
    EXPECT_EQ(buffer[7].color, 0u);
    EXPECT_EQ(buffer[8].color, 0x11223344u);
    EXPECT_FLOAT_EQ(buffer[11].x, 2);
    EXPECT_FLOAT_EQ(buffer[11].y, 0);
}

}  // namespace
