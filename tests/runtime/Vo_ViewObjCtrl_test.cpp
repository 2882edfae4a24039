#include "runtime/Vo_ViewObjCtrl.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "model/NumericFunctions.h"
#include "runtime/PicturePlacement.h"
#include "runtime/ScreenQuad.h"
#include "runtime/Vo_ABObj.h"
#include "runtime/Vo_TimeLineControl.h"
#include "support/KeptPicturePlacement.h"
#include "support/QueuedStream.h"

namespace {

class PlacedDescription : public Vo_ViewObjCtrl {
public:
    PlacedDescription() = default;
    PlacedDescription(const PlacedDescription&) = default;
    Vo_ABObj* CreateObject() override { return nullptr; }
};

// The picture that layouts record process-wide; the rectangle follows the one laid out last.
void PlacePicture(int width, int height)
{
    ScreenQuad quad;
    InitScreenQuad(quad);
    SetPicturePlacement(quad, width, height, width, height, width, height);
}

TEST(Vo_ViewObjCtrl, RelativeRectangleToPixelsAndBack)
{
    const KeptPicturePlacement keptPlacement;
    struct Row {
        int width, height;
        float minX, maxX, minY, maxY;
        int left, right, top, bottom;
        float snappedMinX;
    };
    const Row rows[] = {
        {1024, 768, 0.25f, 0.75f, 0.0f, 1.0f, 256, 768, 0, 768, 0.25f},
        // 33.33 truncates to 33 and the observer snaps x-min to 33 / 100.
        {100, 100, 0.3333f, 1.0f, 0.0f, 1.0f, 33, 100, 0, 100, 0.33f},
        // Truncation goes toward zero on both sides.
        {100, 50, -0.015f, 0.999f, 0.5f, 0.51f, -1, 99, 25, 25, -0.01f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.width << " x " << row.height << " from " << row.minX);
        PlacePicture(row.width, row.height);
        PlacedDescription description;
        description.SetRelativeRect(row.minX, row.maxX, row.minY, row.maxY);
        // The clone works its pixels out from the picture laid out now.
        PlacedDescription clone(description);
        EXPECT_EQ(clone.GetMinXPixels(), row.left);
        EXPECT_EQ(clone.GetMaxXPixels(), row.right);
        EXPECT_EQ(clone.GetMinYPixels(), row.top);
        EXPECT_EQ(clone.GetMaxYPixels(), row.bottom);
        EXPECT_FLOAT_EQ(clone.MinX(), row.snappedMinX);

        ScreenQuad quad;
        clone.GetScreenQuad(&quad);
        const float w = float(row.width);
        const float h = float(row.height);
        EXPECT_FLOAT_EQ(quad.corners[0].x, clone.MinX() * w);
        EXPECT_FLOAT_EQ(quad.corners[0].y, clone.MaxY() * h);
        EXPECT_FLOAT_EQ(quad.corners[1].y, clone.MinY() * h);
        EXPECT_FLOAT_EQ(quad.corners[2].x, clone.MaxX() * w);
        EXPECT_FLOAT_EQ(quad.corners[3].x, clone.MaxX() * w);
        EXPECT_FLOAT_EQ(quad.corners[3].y, clone.MinY() * h);
    }
}

TEST(Vo_ViewObjCtrl, EdgeChangesWriteBackOnlyWithAPicture)
{
    const KeptPicturePlacement keptPlacement;
    PlacePicture(200, 100);
    PlacedDescription description;
    description.PixelRect().Left().SetValue(50);
    EXPECT_FLOAT_EQ(description.MinX(), 0.25f);
    description.PixelRect().Bottom().SetValue(80);
    EXPECT_FLOAT_EQ(description.MaxY(), 0.8f);

    // A picture without size: the edges change, the relative rectangle stays finite and as it was.
    PlacePicture(0, 0);
    ASSERT_EQ(GetPicturePlacement().pictureWidth, 0);
    description.PixelRect().Right().SetValue(10);
    description.PixelRect().Top().SetValue(3);
    EXPECT_FLOAT_EQ(description.MaxX(), 1.0f);
    EXPECT_FLOAT_EQ(description.MinY(), 0.0f);
    PlacedDescription clone(description);
    EXPECT_TRUE(std::isfinite(clone.MinX()));
    EXPECT_FLOAT_EQ(clone.MinX(), 0.25f);
    EXPECT_EQ(clone.GetMaxXPixels(), 0);

    // Malformed relative values give defined pixels, not undefined conversions.
    PlacePicture(100, 100);
    PlacedDescription odd;
    odd.SetRelativeRect(std::numeric_limits<float>::quiet_NaN(), 1e30f, -1e30f, 1.0f);
    odd.UpdatePixelRect();
    EXPECT_EQ(odd.GetMinXPixels(), 0);
    EXPECT_EQ(odd.GetMaxXPixels(), INT_MAX);
    EXPECT_EQ(odd.GetMinYPixels(), INT_MIN);
}

TEST(Vo_ViewObjCtrl, SpeedClockClampsAndRestarts)
{
    const KeptPicturePlacement keptPlacement;
    PlacePicture(100, 100);
    PlacedDescription description;
    const float dt = 1.0f / 60.0f;
    float t = 0.0f;
    description.UpdateSpeed(t);
    for (int i = 1; i <= 6; ++i) {
        t += dt;
        description.UpdateSpeed(t);
        EXPECT_NEAR(description.ScaledStep(), dt, 1e-6f);
        EXPECT_NEAR(description.ClampedStep(), dt, 1e-6f);
    }
    EXPECT_NEAR(description.AccumulatedTime(), 0.1f, 1e-5f);

    // A pause of 5 s adds only 0.2 and clamps the step to 0.1.
    description.UpdateSpeed(t + 5.0f);
    EXPECT_FLOAT_EQ(description.ScaledStep(), 0.2f);
    EXPECT_FLOAT_EQ(description.ClampedStep(), 0.1f);
    EXPECT_NEAR(description.AccumulatedTime(), 0.3f, 1e-5f);
    // Exactly at the bounds the step passes unchanged; a backward step counts by its size.
    description.UpdateSpeed(t + 5.0f - 0.1f);
    EXPECT_NEAR(description.ClampedStep(), 0.1f, 1e-5f);

    // Speed raw 100 runs the clock at twice the time.
    description.Speed().SetValue(100);
    description.UpdateSpeed(t + 5.0f);
    EXPECT_NEAR(description.ScaledStep(), 0.2f, 1e-5f);

    description.Timeline().Mode().SetValue(Vo_TimeLineControl::kCycling);
    description.Timeline().AdvanceLocalTime(description.Timeline().States(), 3.0f);
    description.Restart();
    EXPECT_EQ(description.AccumulatedTime(), 0.0f);
    EXPECT_EQ(description.LastTime(), 0.0f);
    EXPECT_EQ(description.Timeline().States().LastTime(), 0.0f);
    EXPECT_EQ(description.Timeline().GetState(), 1);
    // After a restart the first update is measured from 0, so it takes the clamped steps.
    description.UpdateSpeed(42.0f);
    EXPECT_FLOAT_EQ(description.ClampedStep(), 0.1f);
    EXPECT_FLOAT_EQ(description.ScaledStep(), 0.4f);
}

TEST(Vo_ViewObjCtrl, RandomPointsDrawXFirstInsideTheRectangle)
{
    const KeptPicturePlacement keptPlacement;
    PlacePicture(400, 200);
    PlacedDescription description;
    description.SetRelativeRect(0.25f, 0.75f, 0.5f, 1.0f);

    srand(77);
    const float x = RandomBetween(100.0f, 300.0f);
    const float y = RandomBetween(100.0f, 200.0f);
    srand(77);
    const D3DXVECTOR3 point = description.RandomPointInRect();
    EXPECT_EQ(point.x, x);
    EXPECT_EQ(point.y, y);
    EXPECT_EQ(point.z, 0.0f);

    srand(78);
    const float nx = RandomBetween(110.0f, 290.0f);
    const float ny = RandomBetween(105.0f, 195.0f);
    srand(78);
    const D3DXVECTOR3 inset = description.RandomPointNear(10.0f, 5.0f);
    EXPECT_EQ(inset.x, nx);
    EXPECT_EQ(inset.y, ny);
}

void PushViewRecord(QueuedStream& stream, int version)
{
    stream.Push(QueuedStream::String{L"Vo_ViewObjCtrl"}).Push(QueuedStream::Int{version});
    for (int v : {10, 20, 30, 40, 15, 35})
        stream.Push(QueuedStream::Long{v});
    for (float f : {0.1f, 0.6f, 0.2f, 0.9f})
        stream.Push(QueuedStream::Float{f});
    stream.Push(QueuedStream::Bool{true});
    if (version >= 2)
        stream.Push(QueuedStream::UInt{75});
    stream.Push(QueuedStream::String{L"Vo_ABObj_Constructor"})
        .Push(QueuedStream::Int{1})
        .Push(QueuedStream::String{L"placed"});
}

TEST(Vo_ViewObjCtrl, RecordByVersion)
{
    const KeptPicturePlacement keptPlacement;
    PlacePicture(100, 100);
    for (int version : {1, 2}) {
        SCOPED_TRACE(version);
        QueuedStream stream;
        PushViewRecord(stream, version);
        PlacedDescription description;
        description.Load(stream);
        EXPECT_FALSE(stream.Failed());
        EXPECT_EQ(stream.Remaining(), 0u);
        EXPECT_EQ(description.GetMinXPixels(), 10);
        EXPECT_EQ(description.GetMaxYPixels(), 40);
        EXPECT_EQ(description.PixelRect().CenterY().Value(), 35);
        // Stored pixels are written without telling the observers.
        EXPECT_FLOAT_EQ(description.MinX(), 0.1f);
        EXPECT_FLOAT_EQ(description.MaxY(), 0.9f);
        EXPECT_EQ(description.Flag(), 1);
        EXPECT_EQ(description.Speed().Value(), version >= 2 ? 75u : 50u);
        EXPECT_EQ(description.Name(), L"placed");

        PlacedDescription clone(description);
        EXPECT_EQ(clone.GetMinXPixels(), 10);
        EXPECT_EQ(clone.GetMaxXPixels(), 60);
        EXPECT_EQ(clone.Flag(), 1);
        EXPECT_EQ(clone.Speed().Value(), version >= 2 ? 75u : 50u);
    }
}

}  // namespace
