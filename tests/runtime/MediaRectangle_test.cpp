#include <gtest/gtest.h>

#include "model/MediaRectangle.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/PicturePlacement.h"
#include "runtime/ScreenView.h"
#include "support/KeptPicturePlacement.h"

namespace {

TEST(MediaRectangle, HitTestMapsTargetPointsIntoThePictureEdgesIncluded)
{
    const KeptPicturePlacement keptPlacement;
    // A 1024 x 768 picture fitted into a 640 x 512 target on a 1280 x 1024 back buffer.
    ScreenView view;
    view.Layout(1024, 768, 640, 512, ScreenView::kFit, false, 1280, 1024);
    CurrentScreenView = &view;
    ScreenQuad quad = FitQuadToAspect(1024, 768, 640, 512);
    ScaleQuadToBackBuffer(quad, 640, 512, 1280, 1024);
    SetPicturePlacement(quad, 640, 512, 1024, 768, 1280, 1024);

    MediaRectangle rect;
    rect.Left().ValueRef() = 100;
    rect.Right().ValueRef() = 200;
    rect.Top().ValueRef() = 50;
    rect.Bottom().ValueRef() = 150;
    // Target x 62.5 is picture x 100; target y 16 + 31.25 is picture y 50 (the picture is 480
    // high at top 16 in the target).
    const struct { float x, y; bool hit; } cases[] = {
        {62.5f, 47.25f, true},     // the top-left corner exactly
        {125.0f, 109.75f, true},   // the bottom-right corner exactly
        {90.0f, 80.0f, true},
        {62.0f, 80.0f, false},     // just left of the left edge
        {90.0f, 110.0f, false},    // just below the bottom edge
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        EXPECT_EQ(rect.HitTest(c.x, c.y), c.hit);
    }
    CurrentScreenView = nullptr;
}

}  // namespace
