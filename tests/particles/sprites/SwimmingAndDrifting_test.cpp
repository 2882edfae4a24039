// The swimming and drifting emitters: god rays, sparkles, fish, ghosts, birds and fog, moved by
// their sprite arrays without a device.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "particles/sprites/ParticleGeomArray.h"
#include "tests/particles/sprites/ParticleTesting.h"
#include "particles/sprites/Vo_BirdConstructor.h"
#include "particles/sprites/Vo_FishConstructor.h"
#include "particles/sprites/Vo_FogConstructor.h"
#include "particles/sprites/Vo_GhostConstructor.h"
#include "particles/sprites/Vo_GodRayConstructor.h"
#include "particles/sprites/Vo_SparkleConstructor.h"
#include "runtime/Vo_TimeLineControl.h"

namespace {

const int kWidth = 400;
const int kHeight = 300;

// An emitter in the rectangle x 100..300, y 90..210 of a 400 x 300 picture, with its array.
template <class Emitter>
struct Swarm {
    explicit Swarm(unsigned count, unsigned size = 16)
    {
        PlaceParticlePicture(kWidth, kHeight);
        emitter.SetRelativeRect(0.25f, 0.75f, 0.3f, 0.7f);
        emitter.SpriteSize().ValueRef() = size;
        emitter.Count().ValueRef() = count;
        array.SetOwner(&emitter);
        array.BindCount(emitter.Count());
    }

    // Frames of 1/30 s; check runs after each with the largest distance one frame can move.
    template <class Check>
    void Run(int frames, float maxSpeed, Check check)
    {
        const float dt = 1.0f / 30.0f;
        for (int i = 1; i <= frames; ++i) {
            array.Update(i * dt);
            for (const SpriteParticle& p : array.Particles())
                check(p, maxSpeed * dt);
        }
    }

    const KeptPicturePlacement keptPlacement;  // made first: it keeps the placement from before
    Emitter emitter;
    ParticleGeomArray array;
};

// Centres stay within the rectangle grown by the sprite's half sizes and one frame's travel.
template <class Emitter>
void ExpectSwimsInside(Swarm<Emitter>& swarm, float maxSpeed, int frames)
{
    int outside = 0;
    swarm.Run(frames, maxSpeed, [&](const SpriteParticle& p, float travel) {
        const float slackX = std::fabs(p.halfWidth) + travel + 0.01f;
        const float slackY = std::fabs(p.halfHeight) + travel + 0.01f;
        if (p.position.x < 100.0f - slackX || p.position.x > 300.0f + slackX || p.position.y < 90.0f - slackY ||
            p.position.y > 210.0f + slackY)
            ++outside;
    });
    EXPECT_EQ(outside, 0);
}

TEST(SwimmingEmitters, FishStayInTheirRectangleAndFaceTheirWay)
{
    std::srand(11);
    Swarm<Vo_FishConstructor> fish(200);
    ExpectSwimsInside(fish, 80.0f, 900);
    for (const SpriteParticle& p : fish.array.Particles()) {
        if (p.velocity.x != 0.0f) {
            EXPECT_EQ(p.halfWidth < 0.0f, p.velocity.x < 0.0f);
        }
    }
}

TEST(SwimmingEmitters, GhostsAndBirdsStayInTheirRectangle)
{
    std::srand(12);
    Swarm<Vo_GhostConstructor> ghosts(150);
    ExpectSwimsInside(ghosts, 50.0f, 900);
    // Always visible: the ghosts' opacity is the fade, 1.
    EXPECT_FLOAT_EQ(ghosts.array.Particles()[0].opacity, 1.0f);

    Swarm<Vo_BirdConstructor> birds(150);
    // The minimum speed rule can raise vy to 0.7 max + 0.3 / 0.7 x 0.7 max = the maximum.
    ExpectSwimsInside(birds, 80.0f, 900);
}

TEST(SwimmingEmitters, FishTurnBackAtTheEdges)
{
    Swarm<Vo_FishConstructor> fish(1);
    SpriteParticle& p = fish.array.Particles()[0];
    // Beyond the right edge with a leftward speed already: still turned to face left.
    p.position = D3DXVECTOR3(320.0f, 150.0f, 0.0f);
    p.velocity = D3DXVECTOR3(-5.0f, 0.0f, 0.0f);
    p.halfWidth = 8.0f;
    p.halfHeight = 4.0f;
    fish.emitter.UpdateParticle(p);
    EXPECT_LT(p.halfWidth, 0.0f);
    EXPECT_LT(p.velocity.x, 0.0f);
    // A rectangle lower than the sprite: touching top and bottom, the top rule wins.
    p.position = D3DXVECTOR3(200.0f, 150.0f, 0.0f);
    p.halfHeight = 100.0f;
    p.velocity.y = -3.0f;
    fish.emitter.UpdateParticle(p);
    EXPECT_FLOAT_EQ(p.velocity.y, 3.0f);
}

TEST(SwimmingEmitters, BirdsKeepAMinimumSpeed)
{
    Swarm<Vo_BirdConstructor> birds(1);
    SpriteParticle& p = birds.array.Particles()[0];
    // A slow vertical speed (below 0.7 x 50 = 35) becomes 35 + vy x 0.3 / 0.7: a sinking speed
    // (y grows downwards) whatever its sign. At the bottom edge (210; the bird 8 high on each side
    // at y 205 touches it) the fish's turn sends it up, and it rises at 35 + |vy| x 0.3 / 0.7.
    // Worked out by hand; speeds of 35 and more stay.
    const struct {
        float y, vy;
        float expected;
    } rows[] = {
        {150.0f, -10.0f, 30.714286f},  // a slow climb starts to sink
        {150.0f, 10.0f, 39.285714f},   // a slow descent sinks faster
        {150.0f, 0.0f, 35.0f},
        {150.0f, -34.0f, 20.428571f},
        {150.0f, 34.0f, 49.571429f},
        {150.0f, -35.0f, -35.0f},  // fast enough: kept
        {150.0f, 45.0f, 45.0f},
        {205.0f, 10.0f, -39.285714f},  // at the bottom edge: up, and fast enough to leave it
        {205.0f, -10.0f, -39.285714f},
        {205.0f, 45.0f, -45.0f},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "y " << row.y << ", vy " << row.vy);
        p.position = D3DXVECTOR3(200.0f, row.y, 0.0f);
        p.halfWidth = 8.0f;
        p.halfHeight = 8.0f;
        p.timer = birds.emitter.LastTime();
        p.velocity = D3DXVECTOR3(60.0f, row.vy, 0.0f);
        birds.emitter.UpdateParticle(p);
        EXPECT_NEAR(p.velocity.y, row.expected, 1e-4f);
        EXPECT_FLOAT_EQ(p.velocity.x, 60.0f);
    }
    // A slow horizontal speed becomes 0.7 to 1.0 times the maximum (80) in its own direction.
    p.position = D3DXVECTOR3(200.0f, 150.0f, 0.0f);
    p.velocity = D3DXVECTOR3(-10.0f, 45.0f, 0.0f);
    birds.emitter.UpdateParticle(p);
    EXPECT_LE(p.velocity.x, -56.0f);
    EXPECT_GE(p.velocity.x, -80.0f);
    EXPECT_FLOAT_EQ(p.velocity.y, 45.0f);
}

TEST(SwimmingEmitters, InvisibleGhostsArePlacedAnewEveryFrame)
{
    std::srand(13);
    Swarm<Vo_GhostConstructor> ghosts(20);
    // Cycling and not yet advanced: the timeline is in its invisible state.
    ghosts.emitter.Timeline().Mode().SetValue(Vo_TimeLineControl::kCycling);
    ASSERT_EQ(ghosts.emitter.Timeline().GetState(), 1);
    std::vector<D3DXVECTOR3> before;
    for (const SpriteParticle& p : ghosts.array.Particles())
        before.push_back(p.position);
    ghosts.array.Update(0.02f);
    int moved = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        const SpriteParticle& p = ghosts.array.Particles()[i];
        EXPECT_FLOAT_EQ(p.opacity, 0.0f);
        EXPECT_EQ(p.color >> 24, 0u);
        // Placed anew, not moved by one frame's travel.
        if (std::fabs(p.position.x - before[i].x) > 2.0f || std::fabs(p.position.y - before[i].y) > 2.0f)
            ++moved;
    }
    EXPECT_GT(moved, 15);
}

TEST(DriftingEmitters, FogBouncesBreathesAndSpins)
{
    std::srand(14);
    Swarm<Vo_FogConstructor> fog(150, 40);
    int outside = 0;
    fog.Run(600, 40.0f, [&](const SpriteParticle& p, float travel) {
        // Fog bounces by its centre.
        if (p.position.x < 100.0f - travel - 0.01f || p.position.x > 300.0f + travel + 0.01f ||
            p.position.y < 90.0f - travel - 0.01f || p.position.y > 210.0f + travel + 0.01f)
            ++outside;
        if (p.opacity < 0.2f - 1e-6f || p.opacity > 1.0f + 1e-6f)
            ++outside;
    });
    EXPECT_EQ(outside, 0);
    // Each update turned the axes by the particle's spin and kept their length.
    const SpriteParticle& p = fog.array.Particles()[0];
    EXPECT_NEAR(D3DXVec3Length(&p.right), 1.0f, 1e-3f);
    EXPECT_NEAR(p.right.x * p.up.x + p.right.y * p.up.y, 0.0f, 1e-3f);
    EXPECT_NE(p.right.y, 0.0f);

    // Equal bounds: the opacity stays and its speed turns every frame.
    Swarm<Vo_FogConstructor> flat(1);
    flat.emitter.MinOpacity() = 0.5f;
    flat.emitter.MaxOpacity() = 0.5f;
    SpriteParticle& q = flat.array.Particles()[0];
    q.opacity = 0.5f;
    q.opacitySpeed = 1.0f;
    for (int i = 1; i <= 3; ++i) {
        flat.array.Update(i * 0.05f);
        EXPECT_FLOAT_EQ(q.opacity, 0.5f);
        EXPECT_FLOAT_EQ(q.opacitySpeed, (i % 2) ? -1.0f : 1.0f);
    }
}

TEST(DriftingEmitters, SparklesGrowWithTheirOpacity)
{
    std::srand(15);
    Swarm<Vo_SparkleConstructor> sparkles(50, 20);
    sparkles.emitter.OpacitySpeed() = 1.0f;
    sparkles.Run(60, 25.0f, [](const SpriteParticle& p, float) {
        EXPECT_FLOAT_EQ(p.halfWidth, p.halfHeight);
        EXPECT_NEAR(p.halfWidth, 5.0f * (1.0f + p.opacity), 1e-4f);
    });
}

TEST(DriftingEmitters, GodRaysSpanThePictureAndLeanByTheirAngle)
{
    std::srand(16);
    const struct {
        unsigned angle;
        float lean;
    } rows[] = {
        {90, 0.0f}, {270, 0.0f}, {80, -0.17632698f}, {100, 0.17632698f}, {260, -0.17632698f},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.angle);
        Swarm<Vo_GodRayConstructor> rays(1, 30);
        rays.emitter.RayAngle().ValueRef() = row.angle;
        rays.emitter.SetRelativeRect(0.25f, 0.75f, 0.5f, 1.0f);
        SpriteParticle& p = rays.array.Particles()[0];
        rays.emitter.SpawnParticle(p);
        EXPECT_NEAR(p.up.x, row.lean, 1e-5f);
        EXPECT_FLOAT_EQ(p.up.y, 1.0f);
        EXPECT_FLOAT_EQ(p.halfWidth, 15.0f);
        EXPECT_FLOAT_EQ(p.halfHeight, kHeight / 2.0f);
        // Half the rectangle's height from the picture's top: H / 4 here.
        EXPECT_FLOAT_EQ(p.position.y, kHeight / 4.0f);
        EXPECT_GE(p.position.x, 100.0f);
        EXPECT_LE(p.position.x, 300.0f);
    }
    // Flat angles are held to a finite lean.
    for (unsigned angle : {0u, 180u, 360u}) {
        Swarm<Vo_GodRayConstructor> rays(1);
        rays.emitter.RayAngle().ValueRef() = angle;
        SpriteParticle& p = rays.array.Particles()[0];
        rays.emitter.SpawnParticle(p);
        EXPECT_TRUE(std::isfinite(p.up.x)) << angle;
        EXPECT_LT(std::fabs(p.up.x), 60.0f) << angle;
    }
}

}  // namespace
