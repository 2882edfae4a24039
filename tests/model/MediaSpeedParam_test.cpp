#include "model/MediaSpeedParam.h"

#include <gtest/gtest.h>

TEST(MediaSpeedParamTest, ClockStepsFromTheLastTime)
{
    struct Case {
        const char* name;
        float scale, offset;
        unsigned int raw;  // result = offset + scale x raw
        float from, to;
        float added, last;
    };
    const Case cases[] = {
        {"same time adds nothing", 0.01f, 0.0f, 100, 5.0f, 5.0f, 0.0f, 5.0f},
        {"backward jump adds nothing and restarts there", 0.01f, 0.0f, 100, 5.0f, 4.0f, 0.0f, 4.0f},
        {"step clamped to 0.2 before the rate", 0.01f, 0.0f, 200, 5.0f, 6.0f, 0.4f, 6.0f},
        {"short step scaled by the rate", 0.02f, 0.0f, 50, 5.0f, 5.125f, 0.125f, 5.125f},
        {"step under the clamp kept whole", 1.0f, 0.0f, 1, 5.0f, 5.1875f, 0.1875f, 5.1875f},
        {"negative rate runs backwards", 1.0f, -1.0f, 0, 5.0f, 5.125f, -0.125f, 5.125f},
        {"zero rate stands still", 0.0f, 0.0f, 100, 5.0f, 5.1f, 0.0f, 5.1f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MediaSpeedParam speed;
        speed.Rescale(c.scale, c.offset);
        speed.SetValue(c.raw);
        speed.Advance(c.from);
        const float before = speed.Accumulated();

        speed.Advance(c.to);

        EXPECT_FLOAT_EQ(speed.Accumulated() - before, c.added);
        EXPECT_FLOAT_EQ(speed.Step(), c.added);
        EXPECT_EQ(speed.Last(), c.last);
    }
}

TEST(MediaSpeedParamTest, FirstAdvanceCountsFromZeroAndIsClamped)
{
    MediaSpeedParam speed;
    EXPECT_EQ(speed.Accumulated(), 0.0f);
    EXPECT_EQ(speed.Last(), 0.0f);
    speed.SetValue(3);  // scale 1: rate 3
    speed.Advance(10.0f);
    EXPECT_FLOAT_EQ(speed.Accumulated(), 0.6f);
    speed.Advance(10.1f);
    EXPECT_FLOAT_EQ(speed.Accumulated(), 0.6f + 3.0f * (10.1f - 10.0f));
}

TEST(MediaSpeedParamTest, CopyKeepsTheClock)
{
    MediaSpeedParam speed;
    speed.Rescale(0.02f, 0.0f);
    speed.SetValue(50);
    speed.Advance(0.1f);
    speed.Advance(0.15f);

    MediaSpeedParam copy(speed);
    EXPECT_EQ(copy.Result(), 1.0f);
    EXPECT_EQ(copy.Step(), speed.Step());
    EXPECT_EQ(copy.Accumulated(), speed.Accumulated());
    EXPECT_EQ(copy.Last(), speed.Last());
    EXPECT_EQ(copy.Controls().size(), 1u);

    copy.Advance(0.25f);
    EXPECT_FLOAT_EQ(copy.Accumulated() - speed.Accumulated(), 0.1f);
}
