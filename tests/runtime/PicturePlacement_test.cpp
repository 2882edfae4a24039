#include <gtest/gtest.h>

#include <cmath>

#include "runtime/CurrentScreenView.h"
#include "runtime/PicturePlacement.h"
#include "runtime/ScreenView.h"
#include "support/KeptPicturePlacement.h"

namespace {

// Makes a view current and puts back the one before.
struct ViewScope {
    explicit ViewScope(ScreenView* view) : before(CurrentScreenView) { CurrentScreenView = view; }
    ~ViewScope() { CurrentScreenView = before; }
    ScreenView* before;
};

TEST(PicturePlacement, MapsBackBufferPointsIntoThePicture)
{
    const KeptPicturePlacement keptPlacement;
    // Before any placement the record holds a unit quad, and a point maps to itself.
    const PicturePlacement& record = GetPicturePlacement();
    EXPECT_EQ(record.pictureWidth, 0);
    EXPECT_EQ(record.placedQuad.corners[ScreenQuad::kTopLeft].u, 0.0f);
    EXPECT_EQ(record.placedQuad.corners[ScreenQuad::kBottomLeft].v, 1.0f);
    const D3DXVECTOR3 point(100, 200, 7);
    EXPECT_EQ(MapPointToPicture(point), point);

    // A 1024 x 768 picture filled into a 1280 x 1024 target on a back buffer of twice its
    // size: 32 picture pixels are cut at each side.
    ScreenView view;
    ViewScope scope(&view);
    view.Layout(1024, 768, 1280, 1024, ScreenView::kFill, false, 2560, 2048);
    ScreenQuad quad = FitQuadToAspect(1024, 768, 1280, 1024);
    ScaleQuadToBackBuffer(quad, 1280, 1024, 2560, 2048);
    SetPicturePlacement(quad, 1280, 1024, 1024, 768, 2560, 2048);
    EXPECT_FLOAT_EQ(record.scaleX, 2.0f);
    EXPECT_FLOAT_EQ(record.scaleY, 2.0f);

    const struct { D3DXVECTOR3 in, out; } cases[] = {
        {{1280, 1024, 3}, {512, 384, 3}},  // the centre stays the centre
        {{0, 1024, 0}, {32, 384, 0}},      // the left edge shows picture column 32
        {{2560, 0, 0}, {992, 0, 0}},       // the top right corner of the back buffer
        {{0, 64, 0}, {32, 24, 0}},         // the fitted quad's top edge is inside the picture
    };
    for (const auto& c : cases) {
        D3DXVECTOR3 p = MapPointToPicture(c.in);
        EXPECT_NEAR(p.x, c.out.x, 1e-3);
        EXPECT_NEAR(p.y, c.out.y, 1e-3);
        EXPECT_EQ(p.z, c.out.z);
    }
}

TEST(PicturePlacement, MissingPictureOrDegenerateQuadNeverGivesNaN)
{
    const KeptPicturePlacement keptPlacement;
    ScreenQuad quad = FitQuadToAspect(0, 0, 800, 600);
    SetPicturePlacement(quad, 800, 600, 0, 0, 800, 600);
    EXPECT_EQ(GetPicturePlacement().pictureWidth, 800);
    EXPECT_EQ(GetPicturePlacement().pictureHeight, 600);
    D3DXVECTOR3 p = MapPointToPicture(D3DXVECTOR3(400, 300, 0));
    EXPECT_FLOAT_EQ(p.x, 400);
    EXPECT_FLOAT_EQ(p.y, 300);

    ScreenQuad flat;
    InitScreenQuad(flat);
    SetPicturePlacement(flat, 0, 0, 0, 0, 800, 600);
    EXPECT_TRUE(std::isfinite(GetPicturePlacement().scaleX));
    const D3DXVECTOR3 point(5, 6, 7);
    EXPECT_EQ(MapPointToPicture(point), point);
}

}  // namespace
