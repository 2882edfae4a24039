#include "host/ErrorBox.h"

#include <gtest/gtest.h>

TEST(ErrorBoxTest, FirstPlacementIsCentredWithSpeedsFromTheBounds)
{
    ErrorBox box;
    EXPECT_FALSE(box.Placed());
    PlaceErrorBox(box, RECT{0, 0, 1000, 600}, false);
    EXPECT_TRUE(box.Placed());
    EXPECT_FLOAT_EQ(box.x, 350);
    EXPECT_FLOAT_EQ(box.y, 225);
    EXPECT_FLOAT_EQ(box.width, 300);
    EXPECT_FLOAT_EQ(box.height, 150);
    EXPECT_FLOAT_EQ(box.vx, 100);
    EXPECT_FLOAT_EQ(box.vy, 30);

    // Bounds in client coordinates of a window on a second display need not start at 0.
    ErrorBox offset;
    PlaceErrorBox(offset, RECT{-800, 100, 0, 700}, false);
    EXPECT_FLOAT_EQ(offset.x, -550);
    EXPECT_FLOAT_EQ(offset.y, 325);
}

TEST(ErrorBoxTest, PreviewBoxFillsTheWindowAndStays)
{
    ErrorBox box;
    PlaceErrorBox(box, RECT{0, 0, 152, 112}, true);
    const RECT r = box.Rect();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 152);
    EXPECT_EQ(r.bottom, 112);
    EXPECT_FALSE(StepErrorBox(box, RECT{0, 0, 152, 112}, 1.0f, nullptr, nullptr));
}

TEST(ErrorBoxTest, BoxBouncesOffTheRightEdgeAfterThreeAndAHalfSeconds)
{
    const RECT bounds = {0, 0, 1000, 6000};  // tall, so only the horizontal motion matters here
    ErrorBox box;
    PlaceErrorBox(box, bounds, false);
    box.vy = 0;

    RECT before, after;
    ASSERT_TRUE(StepErrorBox(box, bounds, 3.4f, &before, &after));
    EXPECT_EQ(before.left, 350);
    EXPECT_EQ(after.left, 690);
    EXPECT_GT(box.vx, 0);
    // The next step would reach past 700: the speed turns and the box moves back.
    ASSERT_TRUE(StepErrorBox(box, bounds, 0.2f, &before, &after));
    EXPECT_LT(box.vx, 0);
    EXPECT_EQ(after.left, 670);
    EXPECT_EQ(after.right - after.left, 300);
}

TEST(ErrorBoxTest, BoxBouncesOffTheTopAndLeft)
{
    const RECT bounds = {0, 0, 1000, 600};
    ErrorBox box{10, 10, 300, 150, -100, -30};
    RECT before, after;
    ASSERT_TRUE(StepErrorBox(box, bounds, 0.5f, &before, &after));
    EXPECT_GT(box.vx, 0);
    EXPECT_GT(box.vy, 0);
    EXPECT_EQ(after.left, 60);
    EXPECT_EQ(after.top, 25);
}

TEST(ErrorBoxTest, NoRepaintWhileTheWholePixelPositionStays)
{
    const RECT bounds = {0, 0, 1000, 600};
    ErrorBox box{100.2f, 100.2f, 300, 150, 1, 1};
    EXPECT_FALSE(StepErrorBox(box, bounds, 0.1f, nullptr, nullptr));
    EXPECT_FALSE(StepErrorBox(box, bounds, 0.0f, nullptr, nullptr));
    EXPECT_TRUE(StepErrorBox(box, bounds, 1.0f, nullptr, nullptr));
}
