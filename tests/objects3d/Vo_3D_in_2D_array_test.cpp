// Mesh arrays: the stream direction, each copy's random draws, its drift, wrap and sway, its
// tumble, the record, and copies drawn on a device where their frames put them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "objects3d/LeafAnimationClock.h"
#include "objects3d/ObjectLimits.h"
#include "objects3d/ObjectTesting.h"
#include "objects3d/StreamDirection.h"
#include "objects3d/StreamParams.h"
#include "objects3d/Vo_3D_in_2D_array.h"
#include "objects3d/Vo_3D_in_2D_array_Constructor.h"
#include "objects3d/Vo_LeafFallAnim.h"
#include "runtime/ScreenView.h"
#include "runtime/Vo_Frame.h"
#include "runtime/Vo_SlideContainer.h"
#include "runtime/Vo_SlideShow_Light.h"
#include "support/RegistryReading.h"
#include "support/SceneDeviceFixture.h"
#include "support/TestPaths.h"

namespace {

TEST(StreamDirection, AnglesInPictureCoordinates)
{
    const struct {
        unsigned angle;
        float dx, dy, sx, sy;
    } rows[] = {
        {0, 1, 0, 0, -1},   // right; the sway side is up
        {90, 0, -1, -1, 0}, // up
        {180, -1, 0, 0, 1},
        {270, 0, 1, 1, 0},  // down
        {360 + 90, 0, -1, -1, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.angle);
        StreamDirection d;
        d.SetAngle(r.angle);
        EXPECT_EQ(d.angle, r.angle);
        EXPECT_NEAR(d.direction.x, r.dx, 1e-5f);
        EXPECT_NEAR(d.direction.y, r.dy, 1e-5f);
        EXPECT_NEAR(d.side.x, r.sx, 1e-5f);
        EXPECT_NEAR(d.side.y, r.sy, 1e-5f);
    }
}

// The draws of rand() as a copy makes them, worked out from the same seed.
float Unit()
{
    return float(std::rand()) / 32767.0f;
}

TEST(Vo_LeafFallAnim, EachCopyDrawsItsOwnStart)
{
    const KeptPicturePlacement keptPlacement;
    PlaceObjectPicture(400, 300);
    StreamParams params;
    for (unsigned seed : {1u, 99u, 4242u}) {
        SCOPED_TRACE(seed);
        std::srand(seed);
        Vo_LeafFallAnim first(&params);
        Vo_LeafFallAnim second(&params);

        std::srand(seed);
        for (const Vo_LeafFallAnim* copy : {&first, &second}) {
            const float x = Unit() * 400.0f;
            const float y = Unit() * 300.0f;
            const float lateral = 2.0f * Unit() - 1.0f;
            const float speed = 0.07f + Unit() * 0.06f;
            EXPECT_FLOAT_EQ(copy->Position()._41, x);
            EXPECT_FLOAT_EQ(copy->Position()._42, y);
            EXPECT_FLOAT_EQ(copy->LateralFactor(), lateral);
            EXPECT_FLOAT_EQ(copy->SpeedFactor(), speed);
            for (int i = 0; i < 3; ++i) {
                const float sign = std::rand() % 2 ? -1.0f : 1.0f;
                const float rate = (7.0f + Unit() * 3.0f) * sign;
                EXPECT_FLOAT_EQ(copy->Tumble(i).rate, rate);
                EXPECT_FLOAT_EQ(copy->Tumble(i).angle, rate);
            }
            for (int i = 0; i < 2; ++i) {
                const float on = float(std::rand() % 2);
                const float sign = std::rand() % 2 ? -1.0f : 1.0f;
                const float rate = (3.0f + Unit() * 4.0f) * on * sign;
                EXPECT_FLOAT_EQ(copy->Orbit(i).rate, rate);
                const float magnitude = std::fabs(copy->Orbit(i).rate);
                EXPECT_TRUE(magnitude == 0.0f || (magnitude >= 3.0f && magnitude <= 7.0f)) << magnitude;
            }
        }
        EXPECT_NE(first.Position()._41, second.Position()._41);
    }
}

// One copy on a frame with a bounding sphere of radius 2 at (1, 2, 3).
struct OneCopy {
    StreamParams params;
    Vo_Frame frame;
    std::unique_ptr<Vo_LeafFallAnim> leaf;

    OneCopy()
    {
        frame.Bounds()[0] = 2.0f;
        leaf = std::make_unique<Vo_LeafFallAnim>(&params);
    }
    void At(float clock)
    {
        LeafAnimationClock = clock;
        leaf->Apply(frame);
    }
};

TEST(Vo_LeafFallAnim, DriftsAlongTheDirectionAtItsSpeed)
{
    const KeptPicturePlacement keptPlacement;
    PlaceObjectPicture(400, 300);
    OneCopy copy;
    copy.params.direction.SetAngle(270);  // down
    copy.params.speed.ValueRef() = 20;
    copy.leaf->SetPosition(100.0f, 100.0f);
    // The first step is at most 0.2 s, however late the first frame comes.
    copy.At(10.0f);
    EXPECT_FLOAT_EQ(copy.leaf->Step(), 0.2f);
    const float perSecond = 20.0f * copy.leaf->SpeedFactor() * 50.0f;
    EXPECT_NEAR(copy.leaf->Position()._41, 100.0f, 1e-4f);
    EXPECT_NEAR(copy.leaf->Position()._42, 100.0f + perSecond * 0.2f, 1e-3f);
    copy.At(10.1f);
    EXPECT_NEAR(copy.leaf->Step(), 0.1f, 1e-5f);
    EXPECT_NEAR(copy.leaf->Position()._42, 100.0f + perSecond * 0.3f, 1e-3f);

    // Sway pushes it sideways by sway x 0.02 x its lateral factor.
    copy.params.sway.ValueRef() = 50;
    copy.leaf->SetPosition(100.0f, 100.0f);
    copy.At(10.2f);
    const float k = 50.0f * 0.02f * copy.leaf->LateralFactor();
    EXPECT_NEAR(copy.leaf->Position()._41, 100.0f + perSecond * 0.1f * k, 1e-3f);  // side of "down" is +x
    EXPECT_NEAR(copy.leaf->Position()._42, 100.0f + perSecond * 0.1f, 1e-3f);
}

TEST(Vo_LeafFallAnim, WrapsAtTheEdgesWithoutMovingInThatFrame)
{
    const KeptPicturePlacement keptPlacement;
    PlaceObjectPicture(400, 300);
    const struct {
        unsigned angle;
        float x, y;           // beyond the edge it moves toward
        bool xFixed;          // which coordinate the wrap sets
        float fixedValue;
    } rows[] = {
        {270, 50.0f, 311.0f, false, -10.0f},   // down, past the bottom: reappears above the top
        {90, 50.0f, -11.0f, false, 310.0f},    // up, past the top
        {0, 411.0f, 50.0f, true, -10.0f},      // right, past the right edge
        {180, -11.0f, 50.0f, true, 410.0f},    // left
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.angle);
        OneCopy copy;
        copy.params.size.ValueRef() = 20;
        copy.params.direction.SetAngle(r.angle);
        copy.leaf->SetPosition(r.x, r.y);
        copy.At(0.1f);
        const float x = copy.leaf->Position()._41, y = copy.leaf->Position()._42;
        if (r.xFixed) {
            EXPECT_FLOAT_EQ(x, r.fixedValue);
            EXPECT_TRUE(y >= 0.0f && y <= 300.0f) << y;
        } else {
            EXPECT_FLOAT_EQ(y, r.fixedValue);
            EXPECT_TRUE(x >= 0.0f && x <= 400.0f) << x;
        }
    }
    // Just inside the margin of half a size it keeps going.
    OneCopy copy;
    copy.params.size.ValueRef() = 20;
    copy.params.direction.SetAngle(270);
    copy.leaf->SetPosition(50.0f, 309.0f);
    copy.At(0.1f);
    EXPECT_GT(copy.leaf->Position()._42, 309.0f);
    EXPECT_FLOAT_EQ(copy.leaf->Position()._41, 50.0f);
}

TEST(Vo_LeafFallAnim, AtSpeedZeroItStaysButTumbles)
{
    const KeptPicturePlacement keptPlacement;
    PlaceObjectPicture(400, 300);
    OneCopy copy;
    copy.params.speed.ValueRef() = 0;
    copy.params.size.ValueRef() = 8;
    copy.leaf->SetPosition(100.0f, 50.0f);
    const float rate = copy.leaf->Tumble(0).rate;
    copy.At(0.1f);
    copy.At(0.2f);
    EXPECT_FLOAT_EQ(copy.leaf->Position()._41, 100.0f);
    EXPECT_FLOAT_EQ(copy.leaf->Position()._42, 50.0f);
    EXPECT_NEAR(copy.leaf->Tumble(0).angle, rate + rate * 0.2f * 100.0f * 0.4f, 1e-3f);
    // Orbits follow the sway, which is 0 here.
    EXPECT_FLOAT_EQ(copy.leaf->Orbit(0).angle, copy.leaf->Orbit(0).rate);
    // The copy is scaled so that its sphere of radius 2 becomes 8 across: a factor of 2.
    const D3DXMATRIX& w = copy.frame.World();
    EXPECT_NEAR(std::sqrt(w._11 * w._11 + w._12 * w._12 + w._13 * w._13), 2.0f, 1e-4f);

    // Size 0 scales it to nothing; so does a frame without a sphere.
    copy.params.size.ValueRef() = 0;
    copy.At(0.3f);
    EXPECT_FLOAT_EQ(copy.frame.World()._11, 0.0f);
    copy.params.size.ValueRef() = 8;
    copy.frame.Bounds()[0] = 0.0f;
    copy.At(0.4f);
    EXPECT_FLOAT_EQ(copy.frame.World()._22, 0.0f);
    EXPECT_TRUE(std::isfinite(copy.frame.World()._41));
}

TEST(Vo_LeafFallAnim, SwaySideIsDrawnAgainOnlyWithATurnRate)
{
    const KeptPicturePlacement keptPlacement;
    PlaceObjectPicture(400, 300);
    std::srand(5);
    OneCopy still;
    const float lateral = still.leaf->LateralFactor();
    for (int i = 1; i <= 300; ++i)
        still.At(float(i) * 0.1f);
    EXPECT_EQ(still.leaf->LateralFactor(), lateral);

    OneCopy turning;
    turning.params.turnRate.ValueRef() = 100;  // re-drawn every 0.2 s at speed 50
    std::vector<float> seen{turning.leaf->LateralFactor()};
    for (int i = 1; i <= 300; ++i) {
        turning.At(float(i) * 0.1f);
        const float now = turning.leaf->LateralFactor();
        if (now != seen.back())
            seen.push_back(now);
        EXPECT_TRUE(now >= -1.0f && now <= 1.0f);
    }
    EXPECT_GT(seen.size(), 20u);
}

void PushBlob(QueuedStream& s, const std::wstring& name, std::vector<uint8_t> bytes)
{
    FileBlob blob;
    blob.SetName(name);  // before the bytes: a new name drops them
    blob.SetData(uint32_t(bytes.size()), bytes.data());
    s.Push(QueuedStream::Blob{blob});
}

TEST(Vo_3D_in_2D_array_Constructor, RecordThroughTheRegistry)
{
    const KeptPicturePlacement keptPlacement;
    PlaceObjectPicture(400, 300);
    QueuedStream s;
    using Q = QueuedStream;
    s.Push(Q::String{L"Leaves"}).Push(Q::UInt{12});
    PushBlob(s, L"C:\\leaf.x", {1, 2, 3});
    PushBlob(s, L"C:\\leaf.png", {4, 5});
    for (uint32_t value : {30u, 20u, 10u, 5u, 80u, 270u})
        s.Push(Q::UInt{value});
    s.Push(Q::String{L"Vo_ABObj_Constructor"}).Push(Q::Int{1}).Push(Q::String{L"Leaves again"});
    auto array = ReadObjectThroughRegistry<Vo_3D_in_2D_array_Constructor>(L"Vo_3D_in_2D_array_Constructor", s, 1);
    ASSERT_TRUE(array);
    EXPECT_EQ(array->Name(), L"Leaves again");
    EXPECT_EQ(array->Count().Value(), 12u);
    EXPECT_EQ(array->MeshFile().Name(), L"C:\\leaf.x");
    EXPECT_EQ(array->MeshFile().Size(), 3u);
    EXPECT_EQ(array->PictureFile().Name(), L"C:\\leaf.png");
    const StreamParams& m = array->Motion();
    EXPECT_EQ(m.size.Value(), 30u);
    EXPECT_EQ(m.speed.Value(), 20u);
    EXPECT_EQ(m.sway.Value(), 10u);
    EXPECT_EQ(m.turnRate.Value(), 5u);
    EXPECT_EQ(m.spin.Value(), 80u);
    EXPECT_EQ(m.direction.angle, 270u);
    EXPECT_NEAR(m.direction.direction.y, 1.0f, 1e-5f);

    // Without a device the copies are made all the same, with nothing to draw.
    std::unique_ptr<Vo_ABObj> object(array->CreateObject());
    auto* runtime = dynamic_cast<Vo_3D_in_2D_array*>(object.get());
    ASSERT_TRUE(runtime);
    EXPECT_EQ(runtime->Mesh().Children().size(), 12u);
    EXPECT_EQ(runtime->Mesh().VertexBuffer(), nullptr);
    runtime->Update(1.0f);
    EXPECT_FLOAT_EQ(LeafAnimationClock, 1.0f);

    // A stored count beyond any scene is cut to the limit.
    array->Count().ValueRef() = 0xFFFFFFFFu;
    object.reset(array->CreateObject());
    EXPECT_EQ(static_cast<Vo_3D_in_2D_array&>(*object).Mesh().Children().size(), kMaxObjectCopies);
}

// Copies of the blue picture on the quad fixture over the red picture, on a device.
class MeshArrayOnDeviceTest : public SceneDeviceFixture {};

TEST_F(MeshArrayOnDeviceTest, CopiesAreDrawnWhereTheirFramesAre)
{
    LoadDocument(AssembledTestDocument(L"MeshArraySlide.bin"));
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(m_root->Slides().size(), 1u);
    m_root->ActivateSlides();
    m_root->SetPicturePosition(ScreenView::kStretch);
    auto& objects = m_root->Slides()[0]->DrawnObjects();
    ASSERT_EQ(objects.size(), 1u);
    auto* array = dynamic_cast<Vo_3D_in_2D_array*>(objects[0].Get());
    ASSERT_TRUE(array);
    ASSERT_NE(array->Mesh().VertexBuffer(), nullptr) << "the embedded mesh";
    ASSERT_NE(array->Mesh().Texture(), nullptr) << "the embedded picture";
    ASSERT_EQ(array->Mesh().Children().size(), 1u);
    Vo_Frame* copy = array->Mesh().Children()[0];
    auto* leaf = dynamic_cast<Vo_LeafFallAnim*>(copy->Animator());
    ASSERT_TRUE(leaf);

    // Standing still (speed, sway and spin 0): move the copy so that its centre lands on the
    // picture's centre, whatever its orbit put it beside its position.
    array->Update(1.0f);
    const D3DXVECTOR3 centre = WorldPoint(copy->World(), 0.0f, 0.0f, 0.0f);
    leaf->SetPosition(leaf->Position()._41 + 4.0f - centre.x, leaf->Position()._42 + 4.0f - centre.y);
    for (float time : {100.0f, 100.1f}) {
        ASSERT_EQ(m_root->FrameMove(time), S_OK);
        ASSERT_EQ(Device()->BeginScene(), D3D_OK);
        m_root->Render(0);
        Device()->EndScene();
    }
    const D3DXVECTOR3 placed = WorldPoint(copy->World(), 0.0f, 0.0f, 0.0f);
    EXPECT_NEAR(placed.x, 4.0f, 1e-3f);
    EXPECT_NEAR(placed.y, 4.0f, 1e-3f);
    // Size 4: the unit quad (sphere radius 1.41) grows to about 2.8 picture pixels, 22 target
    // pixels, around the centre; the tumbles of 7 to 10 degrees hardly shrink it.
    for (unsigned y = 24; y <= 40; y += 4)
        for (unsigned x = 24; x <= 40; x += 4)
            EXPECT_TRUE(ColorsNear(PixelAt(x, y) & 0x00FFFFFF, 0x0000FF, 3)) << x << ", " << y;
    for (unsigned c : {2u, 61u}) {
        EXPECT_TRUE(ColorsNear(PixelAt(c, c) & 0x00FFFFFF, 0xFF0000, 3)) << c;
        EXPECT_TRUE(ColorsNear(PixelAt(c, 63 - c) & 0x00FFFFFF, 0xFF0000, 3)) << c;
    }
    if (HasFailure())
        SaveTarget("mesh_array");
}

}  // namespace
