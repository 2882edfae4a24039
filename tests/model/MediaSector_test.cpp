#include "model/MediaSector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

// The direction angle of a vector in screen degrees: 0 along +x, 90 along -y.
double ScreenAngle(const D3DXVECTOR3& v)
{
    double degrees = std::atan2(-v.y, v.x) * 180.0 / 3.14159265358979323846;
    return degrees < 0 ? degrees + 360.0 : degrees;
}

}  // namespace

TEST(MediaSectorTest, WithoutSpreadReturnsTheDirection)
{
    struct Case {
        unsigned int direction;
        D3DXVECTOR3 expected;
    };
    const Case cases[] = {
        {0, {1, 0, 0}},
        {90, {0, -1, 0}},  // up on the screen
        {180, {-1, 0, 0}},
        {270, {0, 1, 0}},
        {450, {0, -1, 0}},  // a full turn more
    };
    std::srand(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.direction);
        MediaSector sector;
        sector.ValueRef() = c.direction;
        const D3DXVECTOR3 v = sector.RandomDirection();
        EXPECT_NEAR(v.x, c.expected.x, 1e-6);
        EXPECT_NEAR(v.y, c.expected.y, 1e-6);
        EXPECT_EQ(v.z, 0.0f);
    }
}

TEST(MediaSectorTest, SpreadKeepsTheAngleInsideTheSector)
{
    MediaSector sector;
    sector.ValueRef() = 90;
    sector.Spread().ValueRef() = 30;
    std::srand(1);
    bool left = false, right = false;
    for (int draw = 0; draw < 500; ++draw) {
        const D3DXVECTOR3 v = sector.RandomDirection();
        const double angle = ScreenAngle(v);
        EXPECT_GE(angle, 60.0 - 1e-4);
        EXPECT_LE(angle, 120.0 + 1e-4);
        EXPECT_NEAR(v.x * v.x + v.y * v.y, 1.0, 1e-5);
        left |= angle > 95.0;
        right |= angle < 85.0;
    }
    EXPECT_TRUE(left && right);  // spread to both sides
}

TEST(MediaSectorTest, CopyTakesDirectionAndSpread)
{
    MediaSector sector;
    sector.ValueRef() = 45;
    sector.Spread().ValueRef() = 10;
    const MediaSector copy(sector);
    EXPECT_EQ(copy.Value(), 45u);
    EXPECT_EQ(copy.Spread().Value(), 10u);
}
