// Butterflies: the value chasers, the frames handed to bodies and wings, the frozen flight at
// speed 0, turning back toward the rectangle, containment over two minutes of flight with a
// fixed seed, the record's versions, and butterflies drawn on a device.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "objects3d/AC_Butterfly.h"
#include "objects3d/AC_ButterflyWing.h"
#include "objects3d/ObjectTesting.h"
#include "objects3d/ValueChaser.h"
#include "objects3d/Vo_3DObjArray.h"
#include "objects3d/Vo_ButterflyConstructor.h"
#include "runtime/ScreenView.h"
#include "runtime/Vo_Frame.h"
#include "runtime/Vo_SlideContainer.h"
#include "runtime/Vo_SlideShow_Light.h"
#include "support/CountingControl.h"
#include "support/BuildFolderSceneFixture.h"
#include "support/RegistryReading.h"
#include "support/TestPaths.h"

namespace {

TEST(ValueChaser, StepsTowardTheTargetAndStopsThere)
{
    const struct {
        ValueChaser start;
        float dt;
        float value;
    } steps[] = {
        {{0, 10, 4}, 1, 4},     // on its way
        {{8, 10, 4}, 1, 10},    // stops at the target
        {{0, -10, -4}, 2, -8},  // downward
        {{-8, -10, -4}, 1, -10},
        {{5, 5, 4}, 1, 5},      // there already
        {{0, 10, 4}, 0, 0},     // no step
    };
    for (const auto& s : steps) {
        ValueChaser c = s.start;
        c.Step(s.dt);
        EXPECT_FLOAT_EQ(c.value, s.value) << s.start.value << " -> " << s.start.target;
    }

    const struct {
        ValueChaser start;
        float target, rate;
        float expectedRate;
    } targets[] = {
        {{0, 0, 50}, 25, 0, 50},      // rate 0 keeps the speed, toward the target
        {{0, 0, 50}, -25, 0, -50},
        {{0, 0, -50}, 25, 0, 50},
        {{10, 0, 50}, 0, 350, -350},  // a new speed, pointed down
        {{10, 0, 50}, 10, 0, -50},    // at the target: the sign says down
        {{10, 0, 50}, 20, -7, 7},
    };
    for (const auto& t : targets) {
        ValueChaser c = t.start;
        c.SetTarget(t.target, t.rate);
        EXPECT_FLOAT_EQ(c.target, t.target);
        EXPECT_FLOAT_EQ(c.rate, t.expectedRate) << t.start.value << " -> " << t.target;
    }
}

std::unique_ptr<Vo_3DObjArray> MakeButterflies(const Vo_ButterflyConstructor& description)
{
    std::unique_ptr<Vo_ABObj> object(const_cast<Vo_ButterflyConstructor&>(description).CreateObject());
    return std::unique_ptr<Vo_3DObjArray>(dynamic_cast<Vo_3DObjArray*>(object.release()));
}

AC_Butterfly& FlightOf(const Vo_Frame* root)
{
    return *dynamic_cast<AC_Butterfly*>(root->Animator());
}

TEST(Vo_ButterflyConstructor, DefaultsAndTheFramesOfBodiesAndWings)
{
    const KeptPicturePlacement keptPlacement;
    PlaceObjectPicture(400, 300);
    Vo_ButterflyConstructor description;
    EXPECT_EQ(description.BodyPicture().GetKey(), Vo_ImageFileLink(6, L"common_res.dll").GetKey());
    EXPECT_EQ(description.BodyMesh().GetKey(), Vo_MeshFile(68, L"common_res.dll").GetKey());
    EXPECT_EQ(description.MeshLink().GetKey(), Vo_MeshFile(69, L"common_res.dll").GetKey());
    EXPECT_EQ(description.Size().Value(), 100u);
    EXPECT_EQ(description.Speed().Value(), 50u);
    EXPECT_EQ(description.Reserved1().Value(), 50u);
    EXPECT_FLOAT_EQ(description.WingScale(), 1.0f);

    description.Count().ValueRef() = 3;
    description.SetWingScale(1.5f);
    std::unique_ptr<Vo_3DObjArray> butterflies = MakeButterflies(description);
    ASSERT_TRUE(butterflies);
    const std::vector<Vo_Frame*> roots(butterflies->Roots().begin(), butterflies->Roots().end());
    ASSERT_EQ(roots.size(), 3u);
    ASSERT_EQ(butterflies->Instances().size(), 2u);
    EXPECT_EQ(butterflies->Instances()[0].Frames(), roots);
    std::vector<Vo_Frame*> wings;
    for (auto root = roots.rbegin(); root != roots.rend(); ++root)
        wings.insert(wings.end(), (*root)->Children().begin(), (*root)->Children().end());
    EXPECT_EQ(butterflies->Instances()[1].Frames(), wings);
    EXPECT_EQ(butterflies->Instances()[0].Mesh().AlphaBlend(), 0);
    EXPECT_EQ(butterflies->Instances()[1].Mesh().AlphaBlend(), 1);

    // The wings carry the butterfly's own wing animators and the copy's wing scale.
    const Vo_Frame* root = roots[0];
    ASSERT_EQ(root->Children().size(), 2u);
    EXPECT_EQ(root->Children()[0]->Animator(), FlightOf(root).Wing1());
    EXPECT_EQ(root->Children()[1]->Animator(), FlightOf(root).Wing2());
    EXPECT_FLOAT_EQ(root->Children()[0]->Local()._11, 1.5f);
    EXPECT_FLOAT_EQ(root->Children()[1]->Local()._33, 1.5f);
}

// Every frame's world matrix, root and wings of every butterfly.
std::vector<D3DXMATRIX> Worlds(const Vo_3DObjArray& butterflies)
{
    std::vector<D3DXMATRIX> worlds;
    for (const Vo_Frame* root : butterflies.Roots()) {
        worlds.push_back(root->World());
        for (const Vo_Frame* wing : root->Children())
            worlds.push_back(wing->World());
    }
    return worlds;
}

TEST(Vo_ButterflyConstructor, AtSpeedZeroTheFlightFreezes)
{
    const KeptPicturePlacement keptPlacement;
    PlaceObjectPicture(400, 300);
    std::srand(7);
    Vo_ButterflyConstructor description;
    description.Count().ValueRef() = 4;
    description.Speed().ValueRef() = 0;
    std::unique_ptr<Vo_3DObjArray> butterflies = MakeButterflies(description);
    ASSERT_TRUE(butterflies);
    std::vector<D3DXVECTOR3> start;
    for (const Vo_Frame* root : butterflies->Roots())
        start.push_back(FlightOf(root).Position());
    butterflies->Update(0.5f);
    const std::vector<D3DXMATRIX> first = Worlds(*butterflies);
    for (float time : {0.6f, 1.0f, 3.0f, 10.0f}) {
        butterflies->Update(time);
        const std::vector<D3DXMATRIX> now = Worlds(*butterflies);
        ASSERT_EQ(now.size(), first.size());
        for (size_t i = 0; i < now.size(); ++i)
            EXPECT_EQ(now[i], first[i]) << "frame " << i << " at " << time;
    }
    size_t i = 0;
    for (const Vo_Frame* root : butterflies->Roots()) {
        AC_Butterfly& flight = FlightOf(root);
        EXPECT_EQ(flight.Position(), start[i++]);
        EXPECT_FLOAT_EQ(flight.Flap(), 0.0f);
        EXPECT_FLOAT_EQ(flight.Forward().value, 50.0f);
        EXPECT_FLOAT_EQ(flight.Vertical().value, 50.0f);
        // Flap exactly 0: neither wing is wound counter-clockwise.
        EXPECT_EQ(flight.Wing1()->Winding(), 0);
        EXPECT_EQ(flight.Wing2()->Winding(), 0);
    }
}

TEST(Vo_ButterflyConstructor, BesideTheRectangleItTurnsBackAndSpeedsUp)
{
    const KeptPicturePlacement keptPlacement;
    PlaceObjectPicture(400, 300);
    Vo_ButterflyConstructor description;
    description.SetRelativeRect(0.25f, 0.75f, 0.0f, 1.0f);
    std::unique_ptr<Vo_3DObjArray> butterflies = MakeButterflies(description);
    ASSERT_TRUE(butterflies);
    Vo_Frame* root = butterflies->Roots().front();
    AC_Butterfly& flight = FlightOf(root);

    const struct {
        float x;
        float heading;
    } sides[] = {{50.0f, 0.0f}, {350.0f, -180.0f}};
    for (const auto& side : sides) {
        SCOPED_TRACE(side.x);
        flight.Heading() = {90.0f, 90.0f, 350.0f};
        flight.Forward() = {50.0f, 50.0f, 350.0f};
        flight.SetPosition(D3DXVECTOR3(side.x, 150.0f, 0.0f));
        butterflies->Update(10.0f);
        butterflies->Update(10.0f);  // no time passes: only the targets change
        EXPECT_FLOAT_EQ(flight.Heading().target, side.heading);
        EXPECT_FLOAT_EQ(std::fabs(flight.Heading().rate), 350.0f);
        EXPECT_GT(flight.Heading().rate * (side.heading - 90.0f), 0.0f) << "turns toward the target";
        EXPECT_FLOAT_EQ(flight.Forward().target, 300.0f);
        EXPECT_GT(flight.Forward().rate, 0.0f);
    }
}

// One frame of flight from a known state, worked out by hand. The picture is 400 x 300 and the
// rectangle 0.25 to 0.75 each way (x 100..300, y 75..225); size 200; speed 50, so 0.02 s give a
// step of 0.02 and the clock 0.02 (no manoeuvre yet).
// Start: position (200, 60), flap -40 going down at -160, heading 120 turning to 110 at -350,
// bank 10, forward 40, vertical 50.
// - heading error 10 > 5: bank target -25, its rate 50 turned to -50;
// - flap -40 + 0.02 x 7 x -160 = -62.4 < -55: flap speed 100; body bob -3 x -62.4 / 45 = 4.16;
// - motion: (40 cos 120, 50, -40 sin 120) x 0.02 = (-0.4, 1, -0.69), z dropped: (199.6, 61, 0);
// - chasers: heading 120 - 350 x 0.02 = 113, bank 10 - 50 x 0.02 = 9, vertical and forward stay;
// - y 61 < 75: glide requested, vertical target 100 at +250; the wings are below half the lower
//   limit (-62.4 < -27.5): it glides at once, flap speed -|100| / 100 = -1;
// - world = scale 2 x bob x Rz(10) x Rx(10) x Rx((1 - 40 / 100) x 15 = 9) x Ry(120)
//   x local (scale 0.5 x Ry(90)) x translation (199.6, 61, 0), multiplied out from these
//   factors (row vectors, rotation matrices as D3DX lays them out) to five places, outside D3DX;
// - wing 1 = Rz(-62.4) x world, wing 2 = Rz(-62.4) x mirror in x x world; flap < 0 winds wing 2.
TEST(Vo_ButterflyConstructor, OneFrameOfFlightFromAKnownState)
{
    PlaceObjectPicture(400, 300);
    Vo_ButterflyConstructor description;
    description.SetRelativeRect(0.25f, 0.75f, 0.25f, 0.75f);
    description.Size().ValueRef() = 200;
    std::unique_ptr<Vo_3DObjArray> butterflies = MakeButterflies(description);
    ASSERT_TRUE(butterflies);
    ASSERT_EQ(butterflies->Roots().size(), 1u);
    Vo_Frame* root = butterflies->Roots().front();
    AC_Butterfly& flight = FlightOf(root);
    flight.SetPosition(D3DXVECTOR3(200.0f, 60.0f, 0.0f));
    flight.SetFlap(-40.0f);
    flight.SetFlapSpeed(-160.0f);
    flight.Heading() = {120.0f, 110.0f, -350.0f};
    flight.Bank() = {10.0f, 10.0f, 50.0f};
    flight.Forward() = {40.0f, 40.0f, 350.0f};
    flight.Vertical() = {50.0f, 50.0f, 250.0f};

    butterflies->Update(0.02f);

    EXPECT_NEAR(flight.Flap(), -62.4f, 1e-4f);
    EXPECT_FLOAT_EQ(flight.FlapSpeed(), -1.0f);
    EXPECT_EQ(flight.GlideState(), 1);
    EXPECT_EQ(flight.RequestedGlideState(), 1);
    EXPECT_NEAR(flight.Position().x, 199.6f, 1e-4f);
    EXPECT_NEAR(flight.Position().y, 61.0f, 1e-4f);
    EXPECT_EQ(flight.Position().z, 0.0f);
    const struct {
        const char* name;
        const ValueChaser& chaser;
        ValueChaser expected;
    } chasers[] = {
        {"heading", flight.Heading(), {113.0f, 110.0f, -350.0f}},
        {"bank", flight.Bank(), {9.0f, -25.0f, -50.0f}},
        {"forward", flight.Forward(), {40.0f, 40.0f, 350.0f}},
        {"vertical", flight.Vertical(), {50.0f, 100.0f, 250.0f}},
    };
    for (const auto& c : chasers) {
        EXPECT_NEAR(c.chaser.value, c.expected.value, 1e-4f) << c.name;
        EXPECT_FLOAT_EQ(c.chaser.target, c.expected.target) << c.name;
        EXPECT_FLOAT_EQ(c.chaser.rate, c.expected.rate) << c.name;
    }

    const float worlds[3][16] = {
        {-0.88114f, 0.16419f, 0.44344f, 0, -0.00993f, 0.93115f, -0.36449f, 0,  // body
         -0.47276f, -0.32557f, -0.81884f, 0, 199.57935f, 62.93680f, -0.75814f, 1},
        {-0.39943f, -0.74912f, 0.52846f, 0, -0.78546f, 0.57690f, 0.22411f, 0,  // wing 1
         -0.47276f, -0.32557f, -0.81884f, 0, 199.57935f, 62.93680f, -0.75814f, 1},
        {0.41702f, -0.90126f, 0.11757f, 0, 0.77627f, 0.28590f, -0.56185f, 0,  // wing 2
         -0.47276f, -0.32557f, -0.81884f, 0, 199.57935f, 62.93680f, -0.75814f, 1},
    };
    ASSERT_EQ(root->Children().size(), 2u);
    const Vo_Frame* frames[3] = {root, root->Children()[0], root->Children()[1]};
    for (int f = 0; f < 3; ++f)
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(static_cast<const float*>(frames[f]->World())[i], worlds[f][i], 2e-4f)
                << "frame " << f << ", element " << i / 4 + 1 << i % 4 + 1;
    EXPECT_EQ(flight.Wing1()->Winding(), 0);
    EXPECT_EQ(flight.Wing2()->Winding(), 1);
}

// A frame that picks a manoeuvre: speed 100 turns 0.13 s into a step of 0.26, past the 0.25 of
// clock between manoeuvres. The C runtime's generator seeded with 1 gives 41, then 18467:
// 41 % 5 = 1 asks for a glide and a vertical target of 100 + 18467 / 32767 x 50 = 128.1793,
// toward which the rate 250 points up. In the same frame the flap 20 + 0.26 x 7 x 100 = 202
// passes the upper limit 55 (flap speed -160), and the bank, at its target 0, gets the target 0
// again with its rate turned to -50.
TEST(Vo_ButterflyConstructor, AManoeuvreFromTheSeededTable)
{
    PlaceObjectPicture(400, 300);
    Vo_ButterflyConstructor description;
    description.SetRelativeRect(0.25f, 0.75f, 0.25f, 0.75f);
    description.Speed().ValueRef() = 100;
    std::unique_ptr<Vo_3DObjArray> butterflies = MakeButterflies(description);
    ASSERT_TRUE(butterflies);
    AC_Butterfly& flight = FlightOf(butterflies->Roots().front());
    flight.SetPosition(D3DXVECTOR3(200.0f, 150.0f, 0.0f));
    flight.SetFlap(20.0f);
    flight.Heading() = {0.0f, 0.0f, 350.0f};

    std::srand(1);
    butterflies->Update(0.13f);

    EXPECT_EQ(flight.RequestedGlideState(), 1);
    EXPECT_EQ(flight.GlideState(), 0) << "the glide begins in a later frame";
    EXPECT_NEAR(flight.Vertical().target, 128.1793f, 1e-3f);
    EXPECT_FLOAT_EQ(flight.Vertical().rate, 250.0f);
    EXPECT_NEAR(flight.Flap(), 202.0f, 1e-3f);
    EXPECT_FLOAT_EQ(flight.FlapSpeed(), -160.0f);
    EXPECT_FLOAT_EQ(flight.Bank().target, 0.0f);
    EXPECT_FLOAT_EQ(flight.Bank().rate, -50.0f);
    // Heading 0 at forward 50, vertical 50: (13, 13) further, inside the rectangle.
    EXPECT_NEAR(flight.Position().x, 213.0f, 1e-3f);
    EXPECT_NEAR(flight.Position().y, 163.0f, 1e-3f);
}

TEST(Vo_ButterflyConstructor, StaysNearItsRectangleForTwoMinutes)
{
    const KeptPicturePlacement keptPlacement;
    PlaceObjectPicture(400, 300);
    std::srand(12345);
    Vo_ButterflyConstructor description;
    description.SetRelativeRect(0.25f, 0.75f, 0.25f, 0.75f);
    description.Count().ValueRef() = 8;
    std::unique_ptr<Vo_3DObjArray> butterflies = MakeButterflies(description);
    ASSERT_TRUE(butterflies);
    int inside = 0, samples = 0;
    float worst = 0.0f;
    for (int frame = 1; frame <= 120 * 30; ++frame) {
        butterflies->Update(float(frame) / 30.0f);
        for (const Vo_Frame* root : butterflies->Roots()) {
            const D3DXVECTOR3& p = FlightOf(root).Position();
            // How far outside the rectangle (100..300, 75..225), 0 inside.
            const float dx = std::max({100.0f - p.x, p.x - 300.0f, 0.0f});
            const float dy = std::max({75.0f - p.y, p.y - 225.0f, 0.0f});
            worst = std::max({worst, dx, dy});
            inside += dx == 0.0f && dy == 0.0f;
            ++samples;
        }
    }
    // The edges only steer: at up to 300 pixels a second a butterfly overshoots before it has
    // turned, but it comes back, and it never gets further than this from the rectangle.
    EXPECT_LT(worst, 150.0f);
    EXPECT_GT(double(inside) / samples, 0.3) << inside << " of " << samples;
}

TEST(Vo_ButterflyConstructor, RecordVersionsAndReservedValues)
{
    const KeptPicturePlacement keptPlacement;
    PlaceObjectPicture(400, 300);
    for (int32_t version : {1, 2}) {
        SCOPED_TRACE(version);
        QueuedStream s;
        PushLink(s, L"C:\\body.png", 3);
        PushLink(s, L"C:\\body.x", 4);
        s.Push(QueuedStream::UInt{70}).Push(QueuedStream::UInt{20});
        if (version >= 2)
            s.Push(QueuedStream::Float{0.75f});
        PushObjectRecord(s, 5, 150, L"C:\\wing.png", 8, L"C:\\wing.x", 9, 60);
        auto butterfly = ReadObjectThroughRegistry<Vo_ButterflyConstructor>(L"Vo_ButterflyConstructor", s, version);
        ASSERT_TRUE(butterfly);
        EXPECT_EQ(butterfly->BodyPicture().GetKey(), Vo_ImageFileLink(3, L"C:\\body.png").GetKey());
        EXPECT_EQ(butterfly->BodyMesh().GetKey(), Vo_MeshFile(4, L"C:\\body.x").GetKey());
        EXPECT_EQ(butterfly->Reserved1().Value(), 70u);
        EXPECT_EQ(butterfly->Reserved2().Value(), 20u);
        EXPECT_FLOAT_EQ(butterfly->WingScale(), version >= 2 ? 0.75f : 1.0f);
        EXPECT_EQ(butterfly->Count().Value(), 5u);
        EXPECT_EQ(butterfly->Size().Value(), 150u);
        EXPECT_EQ(butterfly->PictureLink().GetKey(), Vo_ImageFileLink(8, L"C:\\wing.png").GetKey());
        EXPECT_EQ(butterfly->MeshLink().GetKey(), Vo_MeshFile(9, L"C:\\wing.x").GetKey());
        EXPECT_EQ(butterfly->Speed().Value(), 60u);
    }

    // The reserved values tell their observers when they change.
    Vo_ButterflyConstructor butterfly;
    UIntCountingControl watcher;
    watcher.Attach(&butterfly.Reserved1());
    QueuedStream s;
    PushLink(s, L"", 0);
    PushLink(s, L"", 0);
    s.Push(QueuedStream::UInt{51}).Push(QueuedStream::UInt{50});
    PushObjectRecord(s, 1, 100, L"", 0, L"", 0);
    butterfly.LoadFields(s, 1);
    EXPECT_FALSE(s.Failed());
    EXPECT_EQ(watcher.Changes(), 1);
}

// Butterflies of the blue picture over the red one, frozen (speed 0) with their wings half
// raised, on a device. The meshes come from common_res.dll in the build folder.
using ButterflyOnDeviceTest = BuildFolderSceneFixture;

TEST_F(ButterflyOnDeviceTest, DrawnWhereTheButterflyIs)
{
    LoadOneSlide(L"ButterflySlide.bin", 1);
    ASSERT_FALSE(HasFatalFailure());
    auto* butterflies = ObjectAt<Vo_3DObjArray>(0);
    ASSERT_TRUE(butterflies);
    ASSERT_EQ(butterflies->Roots().size(), 1u);
    ASSERT_TRUE(butterflies->Instances()[0].HasMesh()) << "the body mesh from the module";
    ASSERT_TRUE(butterflies->Instances()[1].HasMesh()) << "the wing mesh from the module";
    // Heading 90 spreads the wings to both sides of the picture; half raised.
    AC_Butterfly& flight = FlightOf(butterflies->Roots().front());
    flight.Heading() = {90.0f, 90.0f, 350.0f};
    flight.SetFlap(40.0f);
    for (float time : {100.0f, 100.1f})
        DrawFrame(time);
    ASSERT_FALSE(HasFatalFailure());
    // The butterfly sits at the picture's centre (4, 4), target pixel 32; size 20 makes each
    // wing 4 picture pixels (32 target pixels) long, so the corners stay red.
    const std::vector<uint32_t> pixels = ReadBack();
    int blue = 0;
    for (unsigned y = 0; y < kSize; ++y)
        for (unsigned x = 0; x < kSize; ++x) {
            const uint32_t pixel = pixels[y * kSize + x] & 0x00FFFFFF;
            blue += ColorsNear(pixel, 0x0000FF, 3);
            const bool corner = (x < 6 || x >= kSize - 6) && (y < 6 || y >= kSize - 6);
            if (corner)
                EXPECT_TRUE(ColorsNear(pixel, 0xFF0000, 3)) << x << ", " << y << ": " << std::hex << pixel;
        }
    EXPECT_GT(blue, 200);
    if (HasFailure())
        SaveTarget("butterfly");
}

}  // namespace
