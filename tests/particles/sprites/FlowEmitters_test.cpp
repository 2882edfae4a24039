// The flow and rain emitters with their boundary controls, moved frame by frame without a device.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "model/ClassReaderRegistries.h"
#include "particles/sprites/ParticleGeomArray.h"
#include "tests/particles/sprites/ParticleTesting.h"
#include "particles/sprites/Vo_BoundControl.h"
#include "particles/sprites/Vo_FlowConstructor.h"
#include "particles/sprites/Vo_RainConstructor.h"
#include "runtime/Vo_TimeLineControl.h"
#include "support/QueuedStream.h"
#include "support/RegistryReading.h"

namespace {

const int kWidth = 400;
const int kHeight = 300;
// The rectangle x 0.25..0.75, y 0.3..0.7 of the 400 x 300 picture in pixels.
const float kLeft = 100.0f, kRight = 300.0f, kTop = 90.0f, kBottom = 210.0f;
const float kHalf = 10.0f;  // sprite size 20, square, scale 1

// One emitter of `count` particles in that rectangle, with its array and its own clock.
template <class Emitter>
struct Stream {
    explicit Stream(unsigned count = 1)
    {
        PlaceParticlePicture(kWidth, kHeight);
        emitter.SetRelativeRect(0.25f, 0.75f, 0.3f, 0.7f);
        emitter.SpriteSize().ValueRef() = 20;
        emitter.Count().ValueRef() = count;
        array.SetOwner(&emitter);
        array.BindCount(emitter.Count());
    }

    // One frame dt seconds after the last (the speed raw 50 makes emitter time run at 1). Eighths
    // of a second add up exactly, so the frame in which a fade or pause ends is certain.
    void Frame(float dt = 0.125f)
    {
        time += dt;
        array.Update(time);
    }

    // The first particle, still, upright and opaque at (x, y), moving straight along the flow.
    SpriteParticle& Place(float x, float y)
    {
        SpriteParticle& p = array.Particles()[0];
        p.position = D3DXVECTOR3(x, y, 0.0f);
        p.direction = D3DXVECTOR3(1.0f, 1.0f, 0.0f);
        p.velocity.z = 0.0f;
        p.opacity = 1.0f;
        return p;
    }

    const KeptPicturePlacement keptPlacement;  // made first: it keeps the placement from before
    Emitter emitter;
    ParticleGeomArray array;
    float time = 0.0f;
};

void SetFlow(Vo_FlowConstructor& flow, unsigned angle, float strength)
{
    flow.Strength() = strength;
    flow.FlowAngle().ValueRef() = angle + 1;  // the change below always notifies
    flow.FlowAngle().SetValue(angle);
}

TEST(FlowEmitter, MovesAlongItsAngleWithALateralWander)
{
    const struct {
        unsigned angle;
        float lateral, scale;
        float vx, vy;  // pixels per second
    } rows[] = {
        {0, 0.0f, 1.0f, 100.0f, 0.0f},
        {90, 0.0f, 1.0f, 0.0f, -100.0f},  // up: y decreasing
        {180, 0.0f, 1.0f, -100.0f, 0.0f},
        {270, 0.0f, 1.0f, 0.0f, 100.0f},
        {45, 0.0f, 1.0f, 70.710678f, -70.710678f},
        // Spread raw 10 is 30 pixels per second per unit of lateral value, across the flow.
        {0, 1.0f, 1.0f, 100.0f, 30.0f},
        {90, -0.5f, 1.0f, -15.0f, -100.0f},
        // Larger sprites move faster.
        {0, 1.0f, 2.0f, 200.0f, 60.0f},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "angle " << row.angle << " lateral " << row.lateral);
        Stream<Vo_FlowConstructor> flow;
        flow.emitter.SetRelativeRect(0.0f, 1.0f, 0.0f, 1.0f);
        SetFlow(flow.emitter, row.angle, 100.0f);
        flow.emitter.Spread().SetValue(10);
        SpriteParticle& p = flow.Place(200.0f, 150.0f);
        p.velocity.z = row.lateral;
        p.scale = row.scale;
        flow.Frame();
        const float step = flow.emitter.ScaledStep();
        ASSERT_FLOAT_EQ(step, 0.125f);
        EXPECT_NEAR(p.position.x, 200.0f + step * row.vx, 1e-3f);
        EXPECT_NEAR(p.position.y, 150.0f + step * row.vy, 1e-3f);
        EXPECT_EQ(p.edgeState, -1);
    }
}

TEST(FlowEmitter, FlowVectorsFollowTheAngleButNotTheStrengthAlone)
{
    Vo_FlowConstructor flow;
    SetFlow(flow, 30, 10.0f);
    EXPECT_NEAR(flow.FlowVector().x, 10.0f * std::cos(float(D3DX_PI) / 6.0f), 1e-4f);
    EXPECT_NEAR(flow.FlowVector().y, -5.0f, 1e-4f);
    EXPECT_NEAR(flow.Perpendicular().x, 0.5f, 1e-5f);
    EXPECT_NEAR(flow.Perpendicular().y, std::cos(float(D3DX_PI) / 6.0f), 1e-5f);
    flow.Strength() = 20.0f;
    EXPECT_NEAR(flow.FlowVector().y, -5.0f, 1e-4f);
    // An angle past a full turn turns on.
    SetFlow(flow, 450, 10.0f);
    EXPECT_NEAR(flow.FlowVector().x, 0.0f, 1e-4f);
    EXPECT_NEAR(flow.FlowVector().y, -10.0f, 1e-4f);
}

// What the test expects of the particle after one frame.
struct FrameState {
    int edgeState, entering, paused;
    float opacity;
    float x;  // NAN: anywhere just outside the left edge
};

void ExpectFrames(Stream<Vo_FlowConstructor>& flow, const FrameState* frames, int count)
{
    const SpriteParticle& p = flow.array.Particles()[0];
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i + 1);
        flow.Frame();
        const FrameState& f = frames[i];
        EXPECT_EQ(p.edgeState, f.edgeState);
        EXPECT_EQ(p.entering, f.entering);
        EXPECT_EQ(p.paused, f.paused);
        EXPECT_NEAR(p.opacity, f.opacity, 1e-5f);
        EXPECT_EQ(p.color >> 24, unsigned(255.0f * p.opacity));
        EXPECT_NEAR(p.position.x, f.x, 1e-3f);
        EXPECT_GE(p.position.y, kTop);
        EXPECT_LE(p.position.y, kBottom);
    }
}

TEST(FlowEmitter, WrapCycleOfOneParticleFrameByFrame)
{
    std::srand(21);
    Stream<Vo_FlowConstructor> flow;
    SetFlow(flow.emitter, 0, 80.0f);  // 10 pixels a frame to the right
    flow.Place(305.0f, 150.0f);
    const float back = kLeft - kHalf + 1.0f;  // just outside the left edge
    const FrameState frames[] = {
        {3, 0, 0, 1.0f, 315.0f},  // entirely outside and visible: the right control takes it
        {3, 0, 0, 0.0f, 325.0f},  // a fade-out time of 0: gone at once, still moving
        {-1, 0, 1, 0.0f, 335.0f},  // let go with a pause of 0
        {3, 1, 1, 0.0f, back},  // brought back through the left edge without moving first
        {3, 1, 0, 1.0f, back},  // the pause is over: a fade-in time of 0 shows it at once
        {-1, 0, 0, 1.0f, back + 10.0f},  // let go, moving again
        {-1, 0, 0, 1.0f, back + 20.0f},
    };
    ExpectFrames(flow, frames, 7);
}

TEST(FlowEmitter, WrapFadesOutWaitsAndFadesIn)
{
    std::srand(22);
    Stream<Vo_FlowConstructor> flow;
    SetFlow(flow.emitter, 0, 80.0f);
    Vo_BoundControl& right = flow.emitter.Control(Vo_BoundControl::kRight);
    right.FadeOutTime().SetValue(250);
    right.FadeInTime().SetValue(250);
    right.MinPause().SetValue(300);
    right.MaxPause().SetValue(300);
    flow.Place(305.0f, 150.0f);
    const float back = kLeft - kHalf + 1.0f;
    const FrameState frames[] = {
        {3, 0, 0, 1.0f, 315.0f},
        {3, 0, 0, 0.5f, 325.0f},  // 0.125 s of a 0.25 s fade-out
        {3, 0, 0, 0.0f, 335.0f},
        {-1, 0, 1, 0.0f, 345.0f},  // let go; the pause of 0.3 s starts
        {3, 1, 1, 0.0f, back},
        {3, 1, 1, 0.0f, back},  // 0.125 s of the pause
        {3, 1, 1, 0.0f, back},  // 0.25 s
        {3, 1, 0, 0.5f, back},  // 0.375 s: over, fading in
        {3, 1, 0, 1.0f, back + 10.0f},
        {-1, 0, 0, 1.0f, back + 20.0f},
    };
    ExpectFrames(flow, frames, 10);
}

TEST(FlowEmitter, AParticleThatDriftsBackWhileItFadesComesBackThroughTheOppositeEdge)
{
    std::srand(23);
    Stream<Vo_FlowConstructor> flow;
    // A flow to the right of strength 0 whose wander carries the particle up out of the top.
    SetFlow(flow.emitter, 0, 0.0f);
    flow.emitter.Spread().SetValue(10);
    flow.emitter.Control(Vo_BoundControl::kTop).FadeOutTime().SetValue(1000);
    SpriteParticle& p = flow.Place(200.0f, kTop - kHalf - 1.0f);
    p.velocity.z = -1.0f;
    flow.Frame();
    ASSERT_EQ(p.edgeState, Vo_BoundControl::kTop);
    // Its wander turns downwards while it fades: back inside when it has faded out.
    p.velocity.z = 1.0f;
    for (int i = 0; i < 12 && !p.entering; ++i)
        flow.Frame();
    EXPECT_EQ(p.edgeState, Vo_BoundControl::kTop);
    EXPECT_EQ(p.entering, 1);
    // Not left waiting unseen where nothing would bring it back: just outside the bottom edge.
    EXPECT_FLOAT_EQ(p.position.y, kBottom + kHalf - 1.0f);
    p.velocity.z = -1.0f;
    for (int i = 0; i < 4; ++i)
        flow.Frame();
    EXPECT_EQ(p.edgeState, -1);
    EXPECT_FLOAT_EQ(p.opacity, 1.0f);
    EXPECT_EQ(p.paused, 0);
    EXPECT_LT(p.position.y, kBottom + kHalf - 1.0f);
}

// One edge of the rectangle: the flow angle that leaves through it, the axis across it and its
// outward sign.
struct EdgeCase {
    const char* name;
    int edge;
    unsigned angle;
    bool vertical;
    float sign, at, opposite;
};
const EdgeCase kEdges[] = {
    {"top", Vo_BoundControl::kTop, 90, true, -1.0f, kTop, kBottom},
    {"bottom", Vo_BoundControl::kBottom, 270, true, 1.0f, kBottom, kTop},
    {"left", Vo_BoundControl::kLeft, 180, false, -1.0f, kLeft, kRight},
    {"right", Vo_BoundControl::kRight, 0, false, 1.0f, kRight, kLeft},
};

// How far the particle's centre lies beyond the edge (negative inside).
float Beyond(const SpriteParticle& p, const EdgeCase& e)
{
    return e.sign * ((e.vertical ? p.position.y : p.position.x) - e.at);
}

float FactorAcross(const SpriteParticle& p, const EdgeCase& e)
{
    return e.vertical ? p.direction.y : p.direction.x;
}

TEST(BoundControl, ModesAtEveryEdge)
{
    for (const EdgeCase& e : kEdges) {
        for (int mode : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << e.name << " edge, mode " << mode);
            std::srand(24);
            Stream<Vo_FlowConstructor> flow;
            SetFlow(flow.emitter, e.angle, 80.0f);  // 10 pixels a frame
            Vo_BoundControl& control = flow.emitter.Control(e.edge);
            ASSERT_EQ(control.GetEdge(), e.edge);
            control.Mode().SetValue(mode);
            control.MinPause().SetValue(300);
            control.MaxPause().SetValue(300);
            // A quarter pixel short of touching the edge.
            const float start = e.at - e.sign * (kHalf + 0.25f);
            SpriteParticle& p = e.vertical ? flow.Place(200.0f, start) : flow.Place(start, 150.0f);

            if (mode == 1) {
                // Turned back in the frame it first touches the edge.
                flow.Frame();
                EXPECT_NEAR(Beyond(p, e), -kHalf + 9.75f, 1e-3f);
                EXPECT_EQ(p.edgeState, e.edge);
                EXPECT_EQ(FactorAcross(p, e), -1.0f);
                // A short frame leaves it touching: held a pixel inside, and let go.
                flow.Frame(1.0f / 64.0f);
                EXPECT_NEAR(Beyond(p, e), -kHalf - 1.0f, 1e-3f);
                EXPECT_EQ(p.edgeState, -1);
                flow.Frame();
                EXPECT_NEAR(Beyond(p, e), -kHalf - 11.0f, 1e-3f);
            } else if (mode == 2) {
                flow.Frame();
                flow.Frame();
                EXPECT_EQ(p.edgeState, -1);  // touching, not yet outside
                flow.Frame();
                EXPECT_NEAR(Beyond(p, e), kHalf + 9.75f, 1e-3f);
                EXPECT_EQ(p.edgeState, e.edge);
                EXPECT_EQ(p.paused, 1);
                EXPECT_EQ(FactorAcross(p, e), -1.0f);
                // Held at the edge, unmoving, for the pause.
                for (int i = 0; i < 2; ++i) {
                    flow.Frame();
                    EXPECT_NEAR(Beyond(p, e), kHalf - 1.0f, 1e-3f);
                    EXPECT_EQ(p.paused, 1);
                    EXPECT_EQ(p.edgeState, e.edge);
                }
                flow.Frame();
                EXPECT_EQ(p.paused, 0);
                EXPECT_EQ(p.edgeState, -1);
                flow.Frame();
                EXPECT_NEAR(Beyond(p, e), kHalf - 11.0f, 1e-3f);
            } else {
                for (int i = 0; i < 3; ++i)
                    flow.Frame();
                EXPECT_EQ(p.edgeState, e.edge);  // taken, visible
                flow.Frame();
                EXPECT_FLOAT_EQ(p.opacity, 0.0f);
                flow.Frame();
                EXPECT_EQ(p.edgeState, -1);
                flow.Frame();
                // Just outside the opposite edge, at a random place along it.
                EXPECT_EQ(p.entering, 1);
                const float along = e.vertical ? p.position.y : p.position.x;
                EXPECT_NEAR(along, e.opposite - e.sign * (kHalf - 1.0f), 1e-3f);
                const float across = e.vertical ? p.position.x : p.position.y;
                EXPECT_GE(across, e.vertical ? kLeft : kTop);
                EXPECT_LE(across, e.vertical ? kRight : kBottom);
                for (int i = 0; i < 4; ++i)  // three frames of pause, then let go
                    flow.Frame();
                EXPECT_EQ(p.edgeState, -1);
                EXPECT_EQ(p.entering, 0);
                EXPECT_FLOAT_EQ(p.opacity, 1.0f);
                EXPECT_EQ(FactorAcross(p, e), 1.0f);
            }
        }
    }
}

TEST(BoundControl, ControlsAreAskedTopBottomLeftRight)
{
    Stream<Vo_FlowConstructor> flow;
    SetFlow(flow.emitter, 45, 0.0f);
    for (int edge = 0; edge < 4; ++edge)
        flow.emitter.Control(edge).Mode().SetValue(Vo_BoundControl::kBounce);
    // Touching the top and the right edge at once: the top control takes it.
    SpriteParticle& p = flow.Place(kRight - 5.0f, kTop + 5.0f);
    flow.Frame();
    EXPECT_EQ(p.edgeState, Vo_BoundControl::kTop);
    EXPECT_EQ(p.direction.y, -1.0f);
    EXPECT_EQ(p.direction.x, 1.0f);
    // Owned by the top: the right control leaves it alone until the top lets go.
    flow.Frame();
    EXPECT_EQ(p.edgeState, -1);
    EXPECT_FLOAT_EQ(p.position.y, kTop + kHalf + 1.0f);
    EXPECT_FLOAT_EQ(p.position.x, kRight - 5.0f);
    flow.Frame();
    EXPECT_EQ(p.edgeState, Vo_BoundControl::kRight);
    EXPECT_EQ(p.direction.x, -1.0f);
}

TEST(BoundControl, PausesLieBetweenTheTwoTimesInEitherOrder)
{
    for (unsigned minimum : {100u, 500u}) {
        SCOPED_TRACE(minimum);
        std::srand(25);
        Stream<Vo_FlowConstructor> flow;
        Vo_BoundControl& right = flow.emitter.Control(Vo_BoundControl::kRight);
        right.Mode().SetValue(Vo_BoundControl::kBounceWithPause);
        right.MinPause().SetValue(minimum);
        right.MaxPause().SetValue(600u - minimum);
        float lowest = 10.0f, highest = 0.0f;
        for (int i = 0; i < 200; ++i) {
            SpriteParticle& p = flow.Place(kRight + kHalf + 5.0f, 150.0f);
            p.edgeState = -1;
            p.paused = 0;
            flow.Frame(0.0f);
            ASSERT_EQ(p.edgeState, Vo_BoundControl::kRight);
            const float pause = p.resumeTime - p.pauseTimer;
            lowest = std::min(lowest, pause);
            highest = std::max(highest, pause);
        }
        EXPECT_GE(lowest, 0.1f - 1e-6f);
        EXPECT_LE(highest, 0.5f + 1e-6f);
        EXPECT_LT(lowest, 0.15f);
        EXPECT_GT(highest, 0.45f);
    }
}

TEST(FlowEmitter, WanderPicksNewLateralValuesAtItsFrequency)
{
    std::srand(26);
    Stream<Vo_FlowConstructor> still(50);
    still.emitter.SetRelativeRect(0.0f, 1.0f, 0.0f, 1.0f);
    std::vector<float> lateral;
    for (const SpriteParticle& p : still.array.Particles())
        lateral.push_back(p.velocity.z);
    // A frequency of 0 never changes them.
    for (int i = 0; i < 100; ++i)
        still.Frame(0.2f);
    for (size_t i = 0; i < lateral.size(); ++i)
        EXPECT_EQ(still.array.Particles()[i].velocity.z, lateral[i]);

    // Raw 4 is once a second: nothing until more than a second has passed, then about half of
    // them (a coin each).
    Stream<Vo_FlowConstructor> wandering(50);
    wandering.emitter.SetRelativeRect(0.0f, 1.0f, 0.0f, 1.0f);
    wandering.emitter.WanderFrequency().SetValue(4);
    lateral.clear();
    for (const SpriteParticle& p : wandering.array.Particles())
        lateral.push_back(p.velocity.z);
    for (int i = 0; i < 8; ++i)
        wandering.Frame();
    int changed = 0;
    for (size_t i = 0; i < lateral.size(); ++i)
        changed += wandering.array.Particles()[i].velocity.z != lateral[i];
    EXPECT_EQ(changed, 0);
    wandering.Frame();
    for (size_t i = 0; i < lateral.size(); ++i) {
        const SpriteParticle& p = wandering.array.Particles()[i];
        changed += p.velocity.z != lateral[i];
        EXPECT_GE(p.velocity.z, -1.0f);
        EXPECT_LE(p.velocity.z, 1.0f);
        EXPECT_FLOAT_EQ(p.timer, wandering.emitter.AccumulatedTime());
    }
    EXPECT_GT(changed, 10);
    EXPECT_LT(changed, 40);
}

TEST(FlowEmitter, OrientationModes)
{
    std::srand(27);
    Stream<Vo_FlowConstructor> flow(1);
    flow.emitter.SetRelativeRect(0.0f, 1.0f, 0.0f, 1.0f);
    SetFlow(flow.emitter, 90, 100.0f);
    SpriteParticle& p = flow.Place(200.0f, 150.0f);
    // Turned with the flow: the sprite's right axis points along it, up the picture.
    flow.emitter.OrientationMode().SetValue(Vo_FlowConstructor::kTurnedWithFlow);
    flow.emitter.OrientParticle(p);
    EXPECT_NEAR(p.right.x, 0.0f, 1e-6f);
    EXPECT_NEAR(p.right.y, -1.0f, 1e-6f);
    EXPECT_NEAR(p.up.x, 1.0f, 1e-6f);
    EXPECT_NEAR(p.up.y, 0.0f, 1e-6f);
    // Facing the vertical motion: flipped while it rises.
    flow.emitter.OrientationMode().SetValue(Vo_FlowConstructor::kFacingVerticalMotion);
    flow.Frame();
    EXPECT_EQ(p.right, D3DXVECTOR3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(p.up, D3DXVECTOR3(0.0f, -1.0f, 0.0f));
    // Facing the horizontal motion: mirrored while it moves left.
    SetFlow(flow.emitter, 180, 100.0f);
    flow.emitter.OrientationMode().SetValue(Vo_FlowConstructor::kFacingHorizontalMotion);
    flow.Frame();
    EXPECT_EQ(p.right, D3DXVECTOR3(-1.0f, 0.0f, 0.0f));
    EXPECT_EQ(p.up, D3DXVECTOR3(0.0f, 1.0f, 0.0f));
    // Upright.
    flow.emitter.OrientationMode().SetValue(Vo_FlowConstructor::kUpright);
    flow.emitter.OrientParticle(p);
    EXPECT_EQ(p.right, D3DXVECTOR3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(p.up, D3DXVECTOR3(0.0f, 1.0f, 0.0f));
}

TEST(FlowEmitter, FewerSpritesAreDrawnWhileItFades)
{
    Vo_FlowConstructor flow;
    Vo_TimeLineControl& timeline = flow.Timeline();
    timeline.Mode().SetValue(Vo_TimeLineControl::kCycling);
    timeline.AdvanceLocalTime(timeline.States(), 1.0f);
    timeline.AdvanceLocalTime(timeline.States(), 1.3125f);
    ASSERT_FLOAT_EQ(timeline.GetFadeFactor(), 0.625f);
    // Truncated toward zero.
    const struct {
        unsigned count, drawn;
    } rows[] = {{10, 6}, {1, 1}, {0, 0}, {3, 1}, {100, 62}};
    for (const auto& row : rows) {
        flow.Count().ValueRef() = row.count;
        EXPECT_EQ(flow.GetParticleCount(), row.drawn) << row.count;
    }
    // Count 1 is drawn at any fade, more at fade 0 are not.
    Vo_FlowConstructor hidden;
    hidden.Timeline().Mode().SetValue(Vo_TimeLineControl::kCycling);
    ASSERT_EQ(hidden.Timeline().GetFadeFactor(), 0.0f);
    hidden.Count().ValueRef() = 1;
    EXPECT_EQ(hidden.GetParticleCount(), 1u);
    hidden.Count().ValueRef() = 30;
    EXPECT_EQ(hidden.GetParticleCount(), 0u);
}

TEST(RainEmitter, FallsFastWithUprightDrops)
{
    std::srand(28);
    Stream<Vo_RainConstructor> rain(20);
    EXPECT_EQ(rain.emitter.FlowAngle().Value(), 270u);
    EXPECT_FLOAT_EQ(rain.emitter.Strength(), 2000.0f);
    EXPECT_NEAR(rain.emitter.FlowVector().y, 2000.0f, 1e-2f);
    EXPECT_EQ(rain.emitter.OrientationMode().Value(), Vo_FlowConstructor::kTurnedWithFlow);
    for (const SpriteParticle& p : rain.array.Particles()) {
        EXPECT_GE(p.scale, 0.5f);
        EXPECT_LE(p.scale, 1.0f);
        EXPECT_NEAR(p.right.x, 1.0f, 1e-5f);
        EXPECT_NEAR(p.right.y, 0.0f, 1e-5f);
        EXPECT_NEAR(p.up.x, 0.0f, 1e-5f);
        EXPECT_NEAR(p.up.y, 1.0f, 1e-5f);
        EXPECT_GE(p.opacity, 0.0f);
        EXPECT_LE(p.opacity, 1.0f);
    }
    SpriteParticle& p = rain.Place(200.0f, 100.0f);
    p.scale = 0.5f;
    rain.Frame(0.01f);
    EXPECT_NEAR(p.position.y, 110.0f, 1e-3f);
    EXPECT_NEAR(p.position.x, 200.0f, 1e-3f);
}

TEST(RainEmitter, ADropTakenByAWrapControlStaysOwnedUntilItsBlinkRespawnsIt)
{
    std::srand(29);
    Stream<Vo_RainConstructor> rain(1);
    SpriteParticle& p = rain.Place(200.0f, kBottom + kHalf + 1.0f);
    p.scale = 0.5f;
    p.opacity = 0.6f;
    p.opacitySpeed = 0.0f;
    // Opacity speed 0: the bottom control takes the drop and never wraps it; the opacity it
    // lowers is put back every frame, and the drop keeps falling.
    for (int i = 1; i <= 10; ++i) {
        rain.Frame(0.01f);
        EXPECT_EQ(p.edgeState, Vo_BoundControl::kBottom);
        EXPECT_EQ(p.entering, 0);
        EXPECT_FLOAT_EQ(p.opacity, 0.6f);
        EXPECT_NEAR(p.position.y, kBottom + kHalf + 1.0f + 10.0f * i, 1e-2f);
    }
    // A blinking drop that falls below its minimum opacity is placed anew in the rectangle.
    p.opacitySpeed = -100.0f;
    rain.Frame(0.01f);
    EXPECT_FLOAT_EQ(p.opacity, 0.0f);
    EXPECT_GE(p.position.y, kTop);
    EXPECT_LE(p.position.y, kBottom);
    EXPECT_GE(p.position.x, kLeft);
    EXPECT_LE(p.position.x, kRight);
    EXPECT_FLOAT_EQ(p.opacitySpeed, 100.0f);
    const float y = p.position.y;
    rain.Frame(0.01f);
    EXPECT_GT(p.position.y, y);
}

// The flow and rain records as an editor stores them, read through the registry.
struct FlowRecordValues {
    int32_t version = 4;
    uint32_t angle = 30, spread = 10, wander = 8;
    float strength = 55.0f;
    int32_t orientation = 2;
};

void PushControl(QueuedStream& s, int32_t mode, uint32_t base)
{
    s.Push(QueuedStream::String{L"Vo_BoundControl"}).Push(QueuedStream::Int{1});
    s.Push(QueuedStream::Long{mode});
    for (uint32_t value : {base, base + 1, base + 2, base + 3})
        s.Push(QueuedStream::UInt{value});
}

void PushFlowFields(QueuedStream& s, const FlowRecordValues& v)
{
    s.Push(QueuedStream::UInt{v.angle}).Push(QueuedStream::UInt{v.spread});
    s.Push(QueuedStream::UInt{v.wander}).Push(QueuedStream::Float{v.strength});
    if (v.version == 2)
        s.Push(QueuedStream::Int{v.orientation});
    else if (v.version >= 3)
        s.Push(QueuedStream::Long{v.orientation});
    if (v.version >= 4) {
        PushControl(s, 0, 100);
        PushControl(s, 1, 200);
        PushControl(s, 2, 300);
        PushControl(s, 7, 400);
    }
    PushSpriteRecord(s, SpriteRecordValues());
}

void ExpectControls(const Vo_FlowConstructor& flow, bool stored)
{
    const int modes[] = {0, 1, 2, 7};
    for (int edge = 0; edge < 4; ++edge) {
        SCOPED_TRACE(testing::Message() << "edge " << edge);
        const Vo_BoundControl& control = flow.Control(edge);
        EXPECT_EQ(control.GetEdge(), edge);
        const unsigned base = stored ? 100u * (edge + 1) : 0u;
        EXPECT_EQ(control.Mode().Value(), stored ? modes[edge] : 0);
        EXPECT_EQ(control.FadeOutTime().Value(), base);
        EXPECT_EQ(control.FadeInTime().Value(), stored ? base + 1 : 0u);
        EXPECT_EQ(control.MinPause().Value(), stored ? base + 2 : 0u);
        EXPECT_EQ(control.MaxPause().Value(), stored ? base + 3 : 0u);
    }
}

TEST(FlowRecords, EveryVersionThroughTheRegistry)
{
    const KeptPicturePlacement keptPlacement;
    PlaceParticlePicture(kWidth, kHeight);
    for (int32_t version = 1; version <= 4; ++version) {
        SCOPED_TRACE(testing::Message() << "version " << version);
        FlowRecordValues values;
        values.version = version;
        QueuedStream s;
        PushFlowFields(s, values);
        auto flow = ReadObjectThroughRegistry<Vo_FlowConstructor>(L"Vo_FlowConstructor", s, version);
        ASSERT_TRUE(flow);
        EXPECT_EQ(flow->FlowAngle().Value(), 30u);
        EXPECT_EQ(flow->Spread().Value(), 10u);
        EXPECT_EQ(flow->WanderFrequency().Value(), 8u);
        EXPECT_FLOAT_EQ(flow->Strength(), 55.0f);
        // Version 2 stored a flag for the turned sprites.
        const int orientation[] = {0, 1, 2, 2};
        EXPECT_EQ(flow->OrientationMode().Value(), orientation[version - 1]);
        ExpectControls(*flow, version >= 4);
        EXPECT_EQ(flow->Count().Value(), 3u);
        EXPECT_EQ(flow->Name(), L"Sprites");

        // The runtime copy works out the scaled values and the flow vectors from the stored ones.
        std::unique_ptr<Vo_ParticleSystemCtrl> clone(flow->Clone());
        auto* copy = dynamic_cast<Vo_FlowConstructor*>(clone.get());
        ASSERT_TRUE(copy);
        EXPECT_FLOAT_EQ(copy->Spread().Result(), 30.0f);
        EXPECT_FLOAT_EQ(copy->WanderFrequency().Result(), 2.0f);
        EXPECT_NEAR(copy->FlowVector().y, -27.5f, 1e-3f);
        EXPECT_EQ(copy->OrientationMode().Value(), orientation[version - 1]);
        ExpectControls(*copy, version >= 4);
    }
}

TEST(FlowRecords, RainHoldsAWholeFlowRecord)
{
    const KeptPicturePlacement keptPlacement;
    PlaceParticlePicture(kWidth, kHeight);
    QueuedStream s;
    s.Push(QueuedStream::String{L"Vo_FlowConstructor"}).Push(QueuedStream::Int{4});
    FlowRecordValues values;
    values.angle = 260;
    values.orientation = 1;
    PushFlowFields(s, values);
    auto rain = ReadObjectThroughRegistry<Vo_RainConstructor>(L"Vo_RainConstructor", s, 1);
    ASSERT_TRUE(rain);
    EXPECT_EQ(rain->FlowAngle().Value(), 260u);
    EXPECT_FLOAT_EQ(rain->Strength(), 55.0f);
    ExpectControls(*rain, true);
    std::unique_ptr<Vo_ParticleSystemCtrl> clone(rain->Clone());
    ASSERT_TRUE(dynamic_cast<Vo_RainConstructor*>(clone.get()));

    // An old flow record inside keeps the rain's own orientation and the plain controls.
    QueuedStream old;
    old.Push(QueuedStream::String{L"Vo_FlowConstructor"}).Push(QueuedStream::Int{1});
    values.version = 1;
    PushFlowFields(old, values);
    auto oldRain = ReadObjectThroughRegistry<Vo_RainConstructor>(L"Vo_RainConstructor", old, 1);
    ASSERT_TRUE(oldRain);
    EXPECT_EQ(oldRain->OrientationMode().Value(), Vo_FlowConstructor::kTurnedWithFlow);
    ExpectControls(*oldRain, false);
}

TEST(FlowRecords, ATruncatedControlFailsTheStream)
{
    QueuedStream s;
    s.Push(QueuedStream::UInt{0}).Push(QueuedStream::UInt{0}).Push(QueuedStream::UInt{0});
    s.Push(QueuedStream::Float{1.0f}).Push(QueuedStream::Long{0});
    PushControl(s, 1, 5);
    s.Push(QueuedStream::String{L"Vo_BoundControl"}).Push(QueuedStream::Int{1});
    s.Push(QueuedStream::Long{2});
    auto& registry = GetConstructorReaderRegistry();
    std::unique_ptr<Vo_ABObj_Constructor> read(registry[L"Vo_FlowConstructor"]->CreateObject(s, 4));
    EXPECT_TRUE(s.Failed());
    auto* flow = dynamic_cast<Vo_FlowConstructor*>(read.get());
    ASSERT_TRUE(flow);
    EXPECT_EQ(flow->Control(0).Mode().Value(), 1);
    EXPECT_EQ(flow->Control(1).Mode().Value(), 2);
    EXPECT_EQ(flow->Control(1).FadeOutTime().Value(), 0u);
}

}  // namespace
