#include <gtest/gtest.h>

#include <cstdlib>

#include "model/MediaParam.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/Kad_Camera.h"
#include "runtime/ScreenView.h"
#include "tests/support/QueuedStream.h"
#include "support/CountingControl.h"

namespace {

// A laid-out view made current for the camera to write its zoom and pan into.
class CameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_view.Layout(1024, 768, 1280, 1024, ScreenView::kFit, false, 1280, 1024);
        CurrentScreenView = &m_view;
    }
    void TearDown() override { CurrentScreenView = nullptr; }

    // The camera matrix that ZoomPan gives for these values on the same layout.
    D3DXMATRIX Expected(float zoom, float panX, float panY) const
    {
        ScreenView reference;
        reference.Layout(1024, 768, 1280, 1024, ScreenView::kFit, false, 1280, 1024);
        reference.ZoomPan(zoom, panX, panY);
        return reference.Camera();
    }

    // A seed whose first rand() is even (hold) or odd (move).
    static unsigned SeedWithFirstDraw(bool even)
    {
        for (unsigned seed = 1;; ++seed) {
            std::srand(seed);
            if ((std::rand() % 2 == 0) == even)
                return seed;
        }
    }

    ScreenView m_view;
};

TEST_F(CameraTest, DefaultsAndRecordVersions)
{
    Kad_Camera camera;
    EXPECT_EQ(camera.On().Value(), 0);
    EXPECT_FLOAT_EQ(camera.Zoom().Result(), 1.2f);
    EXPECT_FLOAT_EQ(camera.SwaySpeed().Result(), 1.0f);
    EXPECT_EQ(camera.SwayMode().Value(), 0);
    EXPECT_EQ(camera.BorderPictureLink().GetPath(), L"common_res.dll");
    EXPECT_EQ(camera.BorderPictureLink().GetKey().Stamp(), 6);

    // Version 2 carries the border picture link.
    QueuedStream v2;
    v2.Push(QueuedStream::String{L"Kad_Camera"}).Push(QueuedStream::Int{2});
    v2.Push(QueuedStream::Long{1}).Push(QueuedStream::UInt{150}).Push(QueuedStream::UInt{100});
    v2.Push(QueuedStream::String{L"C:\\pictures\\frame.png"}).Push(QueuedStream::Int64{0x1234567890LL});
    std::unique_ptr<Kad_Camera> read = ReadCameraRecord(v2);
    ASSERT_TRUE(read);
    EXPECT_FALSE(v2.Failed());
    EXPECT_EQ(v2.Remaining(), 0u);
    EXPECT_EQ(read->On().Value(), 1);
    EXPECT_FLOAT_EQ(read->Zoom().Result(), 1.5f);
    EXPECT_FLOAT_EQ(read->SwaySpeed().Result(), 2.0f);
    EXPECT_EQ(read->BorderPictureLink().GetPath(), L"C:\\pictures\\frame.png");
    EXPECT_EQ(read->BorderPictureLink().GetKey().Stamp(), 0x1234567890LL);

    // Version 1 has no link: the module picture stays.
    QueuedStream v1;
    v1.Push(QueuedStream::String{L"Kad_Camera"}).Push(QueuedStream::Int{1});
    v1.Push(QueuedStream::Long{0}).Push(QueuedStream::UInt{120}).Push(QueuedStream::UInt{50});
    read = ReadCameraRecord(v1);
    EXPECT_FALSE(v1.Failed());
    EXPECT_EQ(v1.Remaining(), 0u);
    EXPECT_EQ(read->BorderPictureLink().GetPath(), L"common_res.dll");
    EXPECT_EQ(read->BorderPictureLink().GetKey().Stamp(), 6);
}

TEST_F(CameraTest, LoadingTellsObserversOnlyOfChangedRawValues)
{
    Kad_Camera camera;
    UIntCountingControl zoomWatch, speedWatch;
    zoomWatch.Attach(&camera.Zoom());
    speedWatch.Attach(&camera.SwaySpeed());
    QueuedStream stream;
    stream.Push(QueuedStream::Long{1}).Push(QueuedStream::UInt{120}).Push(QueuedStream::UInt{75});
    camera.LoadFields(stream, 1);
    EXPECT_EQ(zoomWatch.Changes(), 0);  // unchanged
    EXPECT_EQ(speedWatch.Changes(), 1);
    EXPECT_FLOAT_EQ(camera.SwaySpeed().Result(), 1.5f);
}

TEST_F(CameraTest, CopyTakesValuesClockAndSwayState)
{
    Kad_Camera source;
    source.On().ValueRef() = 1;
    source.Zoom().Rescale(0.02f, 1.0f);
    source.Zoom().SetValue(10, nullptr);
    source.SwaySpeed().SetValue(100, nullptr);
    source.BorderPictureLink().Assign(L"edge.png", 42);
    source.ResetSway();
    std::srand(SeedWithFirstDraw(false));
    source.Update(0.1f);
    source.Update(0.2f);

    Kad_Camera copy;
    copy.CopyFrom(source);
    EXPECT_EQ(copy.On().Value(), 1);
    EXPECT_FLOAT_EQ(copy.Zoom().Result(), 1.2f);
    EXPECT_FLOAT_EQ(copy.Zoom().Scale(), 0.02f);
    EXPECT_FLOAT_EQ(copy.SwaySpeed().Result(), 2.0f);
    EXPECT_FLOAT_EQ(copy.SwaySpeed().Accumulated(), source.SwaySpeed().Accumulated());
    EXPECT_FLOAT_EQ(copy.SwaySpeed().Last(), 0.2f);
    EXPECT_EQ(copy.SwayMode().Value(), 1);
    EXPECT_EQ(copy.BorderPictureLink().GetPath(), L"edge.png");
    EXPECT_EQ(copy.BorderPictureLink().GetKey().Stamp(), 42);
    EXPECT_EQ(copy.Sway().targetX, source.Sway().targetX);
    EXPECT_EQ(copy.Sway().endTime, source.Sway().endTime);
}

TEST_F(CameraTest, OffOrNeverShownLeavesTheViewUnzoomed)
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    const struct { const char* name; int on; bool shown; } cases[] = {
        {"off", 0, true},
        {"on but never shown", 1, false},
        {"off and never shown", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Kad_Camera camera;
        camera.On().ValueRef() = c.on;
        if (c.shown)
            camera.ResetSway();
        m_view.ZoomPan(2.0f, 1.0f, 1.0f);
        camera.Update(0.1f);
        EXPECT_TRUE(m_view.Camera() == identity);
    }
}

TEST_F(CameraTest, FirstUpdateAfterShowStartsASegmentAtTheClock)
{
    // An even draw holds for half a clock second at pan (0, 0) with the zoom applied.
    Kad_Camera hold;
    hold.On().ValueRef() = 1;
    hold.ResetSway();
    std::srand(SeedWithFirstDraw(true));
    hold.Update(0.1f);
    EXPECT_FLOAT_EQ(hold.Sway().startTime, 0.1f);
    EXPECT_FLOAT_EQ(hold.Sway().endTime, 0.6f);
    EXPECT_EQ(hold.Sway().targetX, 0.0f);
    EXPECT_TRUE(m_view.Camera() == Expected(hold.Zoom().Result(), 0, 0));

    // An odd draw then takes target x, target y and the length, in this order.
    const unsigned seed = SeedWithFirstDraw(false);
    std::srand(seed);
    std::rand();
    const int rx = std::rand(), ry = std::rand(), rl = std::rand();
    std::srand(seed);
    Kad_Camera move;
    move.On().ValueRef() = 1;
    move.ResetSway();
    move.Update(0.2f);
    const Kad_Camera::SwayState& s = move.Sway();
    EXPECT_FLOAT_EQ(s.startTime, 0.2f);
    EXPECT_EQ(s.startX, 0.0f);
    EXPECT_FLOAT_EQ(s.targetX, rx / 32767.0f * 2 - 1);
    EXPECT_FLOAT_EQ(s.targetY, ry / 32767.0f * 2 - 1);
    EXPECT_FLOAT_EQ(s.endTime, 0.2f + 5 + rl / 32767.0f * 2);
    EXPECT_GE(s.endTime - s.startTime, 5.0f);
    EXPECT_LE(s.endTime - s.startTime, 7.0f);
    // At the segment's start the pan is still the start.
    EXPECT_TRUE(m_view.Camera() == Expected(move.Zoom().Result(), 0, 0));

    // Halfway through, the pan is midway between start and target.
    float px, py;
    move.SwayPan(s.startTime + (s.endTime - s.startTime) / 2, px, py);
    EXPECT_NEAR(px, s.targetX / 2, 1e-5);
    EXPECT_NEAR(py, s.targetY / 2, 1e-5);
    move.SwayPan(s.endTime, px, py);
    EXPECT_NEAR(px, s.targetX, 1e-5);
    EXPECT_NEAR(py, s.targetY, 1e-5);
}

// Real time from the first segment to the next pick, stepping the frame clock by 0.05 s.
float FirstSegmentRealTime(unsigned speedRaw, unsigned seed)
{
    Kad_Camera camera;
    camera.On().ValueRef() = 1;
    camera.SwaySpeed().SetValue(speedRaw, nullptr);
    camera.ResetSway();
    std::srand(seed);
    float t = 0.05f;
    camera.Update(t);
    const float firstStart = camera.Sway().startTime;
    const float firstPickTime = t;
    while (camera.Sway().startTime == firstStart && t < 100.0f) {
        t += 0.05f;
        camera.Update(t);
    }
    return t - firstPickTime;
}

TEST_F(CameraTest, DoubleSwaySpeedHalvesSegmentsInRealTime)
{
    for (bool hold : {true, false}) {
        SCOPED_TRACE(hold ? "hold" : "move");
        const unsigned seed = SeedWithFirstDraw(hold);
        const float normal = FirstSegmentRealTime(50, seed);
        const float doubled = FirstSegmentRealTime(100, seed);
        EXPECT_NEAR(doubled, normal / 2, 0.06f) << normal << " " << doubled;
        if (hold) {
            EXPECT_NEAR(normal, 0.5f, 0.06f);
        }
    }
}

}  // namespace
