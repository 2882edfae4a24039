#include <gtest/gtest.h>

#include <cmath>

#include "brushes/BrushDirection.h"

namespace {

const float kTolerance = 1e-6f;

struct AngleCase {
    unsigned int angle;
    float x, y;
};

// The waves and direction-based brushes turn clockwise on screen: (cos a, -sin a).
TEST(BrushDirectionTest, DirectionTable)
{
    const AngleCase cases[] = {
        {0, 1, 0},
        {90, 0, -1},
        {270, 0, 1},
        {450, 0, -1},   // 360 - 450 is -90 as a signed difference: the same as 90
        {400, 0.766044f, -0.642788f},  // the same as 40
        {180, -1, 0},
    };
    for (const AngleCase& c : cases) {
        D3DXVECTOR4 d = DirectionFromAngle(c.angle);
        EXPECT_NEAR(d.x, c.x, kTolerance) << c.angle;
        EXPECT_NEAR(d.y, c.y, kTolerance) << c.angle;
        EXPECT_NEAR(d.z, 0, kTolerance);
        EXPECT_NEAR(d.w, 0, kTolerance);
    }
}

struct AxisCase {
    unsigned int angle;
    bool longitudinal;
    float x, y;
};

// Across the wave the axis is (sin a, cos a); along it, the reversed direction.
TEST(BrushDirectionTest, DisplacementAxisTable)
{
    const AxisCase cases[] = {
        {0, false, 0, 1},
        {0, true, -1, 0},
        {90, false, 1, 0},
        {90, true, 0, 1},
        {270, false, -1, 0},
        {450, false, 1, 0},
    };
    for (const AxisCase& c : cases) {
        D3DXVECTOR4 axis = DisplacementAxisFromAngle(c.angle, c.longitudinal);
        EXPECT_NEAR(axis.x, c.x, kTolerance) << c.angle << " " << c.longitudinal;
        EXPECT_NEAR(axis.y, c.y, kTolerance) << c.angle << " " << c.longitudinal;
        if (c.longitudinal) {
            D3DXVECTOR4 d = DirectionFromAngle(c.angle);
            EXPECT_NEAR(axis.x, -d.x, kTolerance);
            EXPECT_NEAR(axis.y, -d.y, kTolerance);
        }
    }
}

// The water brush turns the other way.
TEST(BrushDirectionTest, CounterDirectionTable)
{
    const AngleCase cases[] = {{0, 1, 0}, {40, 0.766044f, 0.642788f}, {90, 0, 1}, {270, 0, -1}};
    for (const AngleCase& c : cases) {
        D3DXVECTOR4 d = CounterDirectionFromAngle(c.angle);
        EXPECT_NEAR(d.x, c.x, kTolerance) << c.angle;
        EXPECT_NEAR(d.y, c.y, kTolerance) << c.angle;
    }
}

}  // namespace
