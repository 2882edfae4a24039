#include "model/MediaDirection.h"

#include <gtest/gtest.h>

namespace {

void ExpectNear(const D3DXVECTOR4& actual, const D3DXVECTOR4& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-6);
    EXPECT_NEAR(actual.y, expected.y, 1e-6);
    EXPECT_NEAR(actual.z, expected.z, 1e-6);
    EXPECT_NEAR(actual.w, expected.w, 1e-6);
}

}  // namespace

TEST(MediaDirectionTest, AxesRotateWithTheAngle)
{
    struct Case {
        unsigned int angle;
        D3DXVECTOR4 x, y;
    };
    const Case cases[] = {
        {0, {1, 0, 0, 0}, {0, 1, 0, 0}},
        {90, {0, 1, 0, 0}, {-1, 0, 0, 0}},
        {180, {-1, 0, 0, 0}, {0, -1, 0, 0}},
        {270, {0, -1, 0, 0}, {1, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        const MediaDirection direction(c.angle);
        ExpectNear(direction.XAxis(), c.x);
        ExpectNear(direction.YAxis(), c.y);
    }
    ExpectNear(MediaDirection().XAxis(), {1, 0, 0, 0});
}

TEST(MediaDirectionTest, AxesFollowTheAngleOnlyAtConstruction)
{
    MediaDirection loaded;
    loaded.SetValue(90);  // as a record reader sets it
    ExpectNear(loaded.XAxis(), {1, 0, 0, 0});

    // The copy that scene objects work on computes its axes from the loaded angle.
    const MediaDirection copy(loaded);
    EXPECT_EQ(copy.Value(), 90u);
    ExpectNear(copy.XAxis(), {0, 1, 0, 0});
    ExpectNear(copy.YAxis(), {-1, 0, 0, 0});

    loaded.UpdateAxes();
    ExpectNear(loaded.YAxis(), {-1, 0, 0, 0});
}
