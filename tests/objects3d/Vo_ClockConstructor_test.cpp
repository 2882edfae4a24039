// The clock: hand angles for set times, where the hands' tips end up in the picture, the square
// kept around the centre, the frames handed to the face and hands, its record, and the clock
// drawn on a device at three o'clock.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "objects3d/AC_ClockArrow.h"
#include "objects3d/AC_Static.h"
#include "objects3d/LocalClockTime.h"
#include "objects3d/ObjectTesting.h"
#include "objects3d/Vo_3DObjArray.h"
#include "objects3d/Vo_ClockConstructor.h"
#include "runtime/ScreenView.h"
#include "runtime/Vo_Frame.h"
#include "runtime/Vo_SlideContainer.h"
#include "runtime/Vo_SlideShow_Light.h"
#include "support/BuildFolderSceneFixture.h"
#include "support/RegistryReading.h"
#include "support/TestPaths.h"

namespace {

const float kPi = 3.14159265f;

// The time the clock reads while a test sets it.
LocalClockTime s_time;
bool s_timeReadable = true;

bool ReadSetTime(LocalClockTime& time)
{
    if (!s_timeReadable)
        return false;
    time = s_time;
    return true;
}

// Sets the clock's time for the life of the object, then puts the system's clock back.
class SetClockTime {
public:
    SetClockTime(int hour, int minute, int second = 0)
    {
        s_time = {hour, minute, second};
        s_timeReadable = true;
        m_before = SetLocalClockSource(&ReadSetTime);
    }
    ~SetClockTime() { SetLocalClockSource(m_before); }

private:
    LocalClockSource m_before;
};

struct SetTime {
    int hour, minute, second;
    float hourAngle, minuteAngle;  // degrees clockwise from twelve
};

const SetTime kTimes[] = {
    {3, 0, 0, 90.0f, 0.0f},
    {12, 30, 0, 15.0f, 180.0f},
    {9, 45, 0, 292.5f, 270.0f},
    {0, 0, 0, 0.0f, 0.0f},
    {12, 0, 0, 0.0f, 0.0f},
    {15, 30, 0, 105.0f, 180.0f},
    {23, 59, 30, 359.5f, 357.0f},
};

TEST(AC_ClockArrow, HandAnglesForSetTimes)
{
    for (const SetTime& t : kTimes) {
        SCOPED_TRACE(testing::Message() << t.hour << ":" << t.minute << ":" << t.second);
        const LocalClockTime time{t.hour, t.minute, t.second};
        EXPECT_NEAR(AC_ClockArrow::HourAngle(time), t.hourAngle, 1e-4f);
        EXPECT_NEAR(AC_ClockArrow::MinuteAngle(time), t.minuteAngle, 1e-4f);
    }
}

// A clock of size 400 at (100, 80) in a 200 x 160 picture, one copy.
std::unique_ptr<Vo_3DObjArray> MakeClock(unsigned count = 1)
{
    PlaceObjectPicture(200, 160);
    Vo_ClockConstructor description;
    description.Count().ValueRef() = count;
    std::unique_ptr<Vo_ABObj> object(description.CreateObject());
    return std::unique_ptr<Vo_3DObjArray>(dynamic_cast<Vo_3DObjArray*>(object.release()));
}

TEST(Vo_ClockConstructor, HandTipsPointAtTheTimeInThePicture)
{
    const KeptPicturePlacement keptPlacement;
    std::unique_ptr<Vo_3DObjArray> clock = MakeClock();
    ASSERT_TRUE(clock);
    ASSERT_EQ(clock->Roots().size(), 1u);
    const Vo_Frame* root = clock->Roots().front();
    ASSERT_EQ(root->Children().size(), 2u);
    for (const SetTime& t : kTimes) {
        SCOPED_TRACE(testing::Message() << t.hour << ":" << t.minute << ":" << t.second);
        SetClockTime now(t.hour, t.minute, t.second);
        clock->Update(1.0f);
        // The tip of the square (z = 50) on each hand: the hour hand reaches a quarter of the
        // size from the centre, the minute hand 0.32 of it; twelve is up (picture y falls).
        const struct {
            const Vo_Frame* frame;
            float angle, length;
        } hands[] = {{root->Children()[0], t.hourAngle, 100.0f}, {root->Children()[1], t.minuteAngle, 128.0f}};
        for (const auto& hand : hands) {
            const float radians = hand.angle * kPi / 180.0f;
            const D3DXVECTOR3 tip = WorldPoint(hand.frame->World(), 0.0f, 0.0f, 50.0f);
            EXPECT_NEAR(tip.x, 100.0f + hand.length * std::sin(radians), 0.01f);
            EXPECT_NEAR(tip.y, 80.0f - hand.length * std::cos(radians), 0.01f);
            EXPECT_NEAR(tip.z, 0.0f, 0.01f);
        }
        // The face's corner (-50, 0, 50) is the square's top-left corner.
        const D3DXVECTOR3 corner = WorldPoint(root->World(), -50.0f, 0.0f, 50.0f);
        EXPECT_NEAR(corner.x, -100.0f, 0.01f);
        EXPECT_NEAR(corner.y, -120.0f, 0.01f);
    }
}

TEST(Vo_ClockConstructor, HandsStayWhenTheTimeCannotBeRead)
{
    const KeptPicturePlacement keptPlacement;
    std::unique_ptr<Vo_3DObjArray> clock = MakeClock();
    ASSERT_TRUE(clock);
    SetClockTime now(3, 0);
    clock->Update(1.0f);
    const Vo_Frame* hour = clock->Roots().front()->Children()[0];
    const D3DXVECTOR3 before = WorldPoint(hour->World(), 0.0f, 0.0f, 50.0f);
    s_timeReadable = false;
    clock->Update(2.0f);
    const D3DXVECTOR3 after = WorldPoint(hour->World(), 0.0f, 0.0f, 50.0f);
    EXPECT_FLOAT_EQ(after.x, before.x);
    EXPECT_FLOAT_EQ(after.y, before.y);
    EXPECT_NEAR(after.x, 200.0f, 0.01f);
}

TEST(Vo_ClockConstructor, SquareFollowsTheCentreAndTheSize)
{
    const KeptPicturePlacement keptPlacement;
    PlaceObjectPicture(201, 161);
    Vo_ClockConstructor clock;
    // The centre starts at the picture's middle, truncated.
    EXPECT_EQ(clock.Rectangle().CenterX().Value(), 100);
    EXPECT_EQ(clock.Rectangle().CenterY().Value(), 80);
    EXPECT_EQ(clock.Size().Value(), 400u);
    EXPECT_EQ(clock.MeshLink().GetKey(), Vo_MeshFile(70, L"common_res.dll").GetKey());
    EXPECT_EQ(clock.PictureLink().GetKey(), Vo_ImageFileLink(71, L"common_res.dll").GetKey());
    EXPECT_EQ(clock.HandsPicture().GetKey(), Vo_ImageFileLink(72, L"common_res.dll").GetKey());

    // Whatever edges were stored, a copy's placement sets them from the centre and size; an odd
    // size gives (size - 1) / 2 on each side.
    clock.Rectangle().Left().ValueRef() = 5;
    clock.Size().ValueRef() = 41;
    AC_Static placement(&clock);
    EXPECT_EQ(clock.Rectangle().Left().Value(), 80);
    EXPECT_EQ(clock.Rectangle().Right().Value(), 120);
    EXPECT_EQ(clock.Rectangle().Top().Value(), 60);
    EXPECT_EQ(clock.Rectangle().Bottom().Value(), 100);
    EXPECT_FLOAT_EQ(placement.Scaling()._11, 41.0f);
    EXPECT_FLOAT_EQ(placement.Translation()._41, 100.0f);

    clock.Size().SetValue(10);
    EXPECT_EQ(clock.Rectangle().Left().Value(), 95);
    EXPECT_EQ(clock.Rectangle().Bottom().Value(), 85);
    EXPECT_FLOAT_EQ(placement.Scaling()._22, 10.0f);

    // A moved centre reaches the translation when the rectangle tells its change.
    clock.Rectangle().CenterX().ValueRef() = 30;
    clock.Rectangle().NotifyControls(nullptr);
    EXPECT_EQ(clock.Rectangle().Left().Value(), 25);
    EXPECT_EQ(clock.Rectangle().Right().Value(), 35);
    EXPECT_FLOAT_EQ(placement.Translation()._41, 30.0f);

    ScreenQuad quad;
    clock.GetScreenQuad(&quad);
    EXPECT_FLOAT_EQ(quad.corners[ScreenQuad::kBottomLeft].x, 25.0f);
    EXPECT_FLOAT_EQ(quad.corners[ScreenQuad::kBottomLeft].y, 85.0f);
    EXPECT_FLOAT_EQ(quad.corners[ScreenQuad::kTopRight].x, 35.0f);
    EXPECT_FLOAT_EQ(quad.corners[ScreenQuad::kTopRight].y, 75.0f);
}

TEST(Vo_ClockConstructor, FaceListsRootsAndHandsListsTheirChildrenNewestFirst)
{
    const KeptPicturePlacement keptPlacement;
    std::unique_ptr<Vo_3DObjArray> clock = MakeClock(2);
    ASSERT_TRUE(clock);
    const std::vector<Vo_Frame*> roots(clock->Roots().begin(), clock->Roots().end());
    ASSERT_EQ(roots.size(), 2u);
    ASSERT_EQ(clock->Instances().size(), 2u);
    EXPECT_EQ(clock->Instances()[0].Frames(), roots);
    const std::vector<Vo_Frame*> hands = {roots[1]->Children()[0], roots[1]->Children()[1],
                                          roots[0]->Children()[0], roots[0]->Children()[1]};
    EXPECT_EQ(clock->Instances()[1].Frames(), hands);
    EXPECT_EQ(clock->Instances()[0].Mesh().AlphaBlend(), 1);
    EXPECT_EQ(clock->Instances()[1].Mesh().AlphaBlend(), 1);

    // Copies of one clock show the same time at the same place.
    SetClockTime now(9, 45);
    clock->Update(1.0f);
    for (int hand = 0; hand < 2; ++hand) {
        const D3DXVECTOR3 a = WorldPoint(roots[0]->Children()[hand]->World(), 0, 0, 50);
        const D3DXVECTOR3 b = WorldPoint(roots[1]->Children()[hand]->World(), 0, 0, 50);
        EXPECT_FLOAT_EQ(a.x, b.x);
        EXPECT_FLOAT_EQ(a.y, b.y);
    }
}

TEST(Vo_ClockConstructor, RecordThroughTheRegistry)
{
    const KeptPicturePlacement keptPlacement;
    PlaceObjectPicture(200, 160);
    QueuedStream s;
    using Q = QueuedStream;
    for (int32_t value : {1, 2, 3, 4, 150, 60})
        s.Push(Q::Long{value});
    PushLink(s, L"C:\\hands.png", 11);
    PushObjectRecord(s, 2, 101, L"C:\\face.png", 12, L"C:\\clock.x", 13, 75);
    auto clock = ReadObjectThroughRegistry<Vo_ClockConstructor>(L"Vo_ClockConstructor", s, 1);
    ASSERT_TRUE(clock);
    EXPECT_EQ(clock->Rectangle().Left().Value(), 1);
    EXPECT_EQ(clock->Rectangle().Bottom().Value(), 4);
    EXPECT_EQ(clock->Rectangle().CenterX().Value(), 150);
    EXPECT_EQ(clock->Rectangle().CenterY().Value(), 60);
    EXPECT_EQ(clock->HandsPicture().GetKey(), Vo_ImageFileLink(11, L"C:\\hands.png").GetKey());
    EXPECT_EQ(clock->Count().Value(), 2u);
    EXPECT_EQ(clock->Size().Value(), 101u);
    EXPECT_EQ(clock->PictureLink().GetKey(), Vo_ImageFileLink(12, L"C:\\face.png").GetKey());
    EXPECT_EQ(clock->MeshLink().GetKey(), Vo_MeshFile(13, L"C:\\clock.x").GetKey());
    EXPECT_EQ(clock->Speed().Value(), 75u);
    EXPECT_EQ(clock->Name(), L"Object");

    // The runtime copy takes the square around the centre: 101 is odd, 50 on each side.
    std::unique_ptr<Vo_ABObj> object(clock->CreateObject());
    const auto& copy = static_cast<const Vo_ClockConstructor&>(static_cast<Vo_3DObjArray&>(*object).Description());
    EXPECT_EQ(copy.Rectangle().Left().Value(), 100);
    EXPECT_EQ(copy.Rectangle().Right().Value(), 200);
    EXPECT_EQ(copy.Rectangle().Top().Value(), 10);
    EXPECT_EQ(copy.HandsPicture().GetKey(), clock->HandsPicture().GetKey());
}

// The clock document on a device: the blue face fills the target, the red hands cross it. The
// clock's mesh comes from common_res.dll in the build folder.
class ClockOnDeviceTest : public BuildFolderSceneFixture {
protected:
    void Play(int hour, int minute)
    {
        LoadOneSlide(L"ClockSlide.bin", 1);
        ASSERT_FALSE(HasFatalFailure());
        SetClockTime now(hour, minute);
        for (float time : {100.0f, 100.1f})
            DrawFrame(time);
    }

    // The clock's centre is the target's centre (32, 32); the hands are 2.56 target pixels wide,
    // the hour hand reaches 64 pixels from it, the minute hand 82 (up, at the full hour) and both
    // 13 to 16 pixels back.
    void CheckHands(uint32_t right, uint32_t left)
    {
        const uint32_t red = 0xFF0000, blue = 0x0000FF;
        auto at = [&](unsigned x, unsigned y) { return PixelAt(x, y) & 0x00FFFFFF; };
        EXPECT_TRUE(ColorsNear(at(48, 32), right, 3)) << std::hex << at(48, 32);
        EXPECT_TRUE(ColorsNear(at(60, 31), right, 3)) << std::hex << at(60, 31);
        EXPECT_TRUE(ColorsNear(at(8, 32), left, 3)) << std::hex << at(8, 32);
        EXPECT_TRUE(ColorsNear(at(32, 8), red, 3)) << std::hex << at(32, 8);
        EXPECT_TRUE(ColorsNear(at(32, 58), blue, 3)) << std::hex << at(32, 58);
        EXPECT_TRUE(ColorsNear(at(50, 50), blue, 3)) << std::hex << at(50, 50);
        if (HasFailure())
            SaveTarget(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
};

TEST_F(ClockOnDeviceTest, AtThreeTheHourHandPointsRight)
{
    Play(3, 0);
    if (!HasFatalFailure())
        CheckHands(0xFF0000, 0x0000FF);
}

TEST_F(ClockOnDeviceTest, AtNineTheHourHandPointsLeft)
{
    Play(9, 0);
    if (!HasFatalFailure())
        CheckHands(0x0000FF, 0xFF0000);
}

}  // namespace
