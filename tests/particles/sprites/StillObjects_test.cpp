// The still-object emitters: placed and turned pictures, flowers, discharges, grass and
// lighting flashes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "particles/sprites/ParticleGeomArray.h"
#include "tests/particles/sprites/ParticleTesting.h"
#include "particles/sprites/SpriteAxes.h"
#include "particles/sprites/Vo_DischargeConstructor.h"
#include "particles/sprites/Vo_FlowerConstructor.h"
#include "particles/sprites/Vo_GrassConstructor.h"
#include "particles/sprites/Vo_LightingConstructor.h"
#include "particles/sprites/Vo_StatObjConstructor.h"
#include "runtime/ScreenQuad.h"
#include "runtime/Vo_TimeLineControl.h"

namespace {

SpriteParticle ParticleOfAspect(float aspect)
{
    SpriteParticle p{};
    p.aspect = aspect;
    p.scale = 1.0f;
    return p;
}

TEST(StillObjects, PlacementTurnsTheSpriteAndBoundsIt)
{
    const KeptPicturePlacement keptPlacement;
    PlaceParticlePicture(400, 300);
    const struct {
        unsigned rotation;
        D3DXVECTOR3 right, up;
        int left, right_, top, bottom;
    } rows[] = {
        // A picture twice as wide as high, 40 wide: half sizes 20 by 10 around (100, 50).
        {0, {1, 0, 0}, {0, 1, 0}, 80, 120, 40, 60},
        // A quarter turn counter-clockwise: the box stands upright.
        {90, {0, -1, 0}, {1, 0, 0}, 90, 110, 30, 70},
        {180, {-1, 0, 0}, {0, -1, 0}, 80, 120, 40, 60},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rotation);
        Vo_StatObjConstructor object;
        object.Rectangle().CenterX().ValueRef() = 100;
        object.Rectangle().CenterY().ValueRef() = 50;
        object.Rotation().ValueRef() = row.rotation;
        object.SpriteSize().ValueRef() = 40;
        SpriteParticle p = ParticleOfAspect(0.5f);
        object.PlaceParticle(p);
        EXPECT_FLOAT_EQ(p.position.x, 100.0f);
        EXPECT_FLOAT_EQ(p.position.y, 50.0f);
        EXPECT_NEAR(p.right.x, row.right.x, 1e-6f);
        EXPECT_NEAR(p.right.y, row.right.y, 1e-6f);
        EXPECT_NEAR(p.up.x, row.up.x, 1e-6f);
        EXPECT_NEAR(p.up.y, row.up.y, 1e-6f);
        EXPECT_EQ(object.Rectangle().Left().Value(), row.left);
        EXPECT_EQ(object.Rectangle().Right().Value(), row.right_);
        EXPECT_EQ(object.Rectangle().Top().Value(), row.top);
        EXPECT_EQ(object.Rectangle().Bottom().Value(), row.bottom);

        ScreenQuad quad;
        object.GetScreenQuad(&quad);
        EXPECT_FLOAT_EQ(quad.corners[ScreenQuad::kBottomLeft].x, float(row.left));
        EXPECT_FLOAT_EQ(quad.corners[ScreenQuad::kBottomLeft].y, float(row.bottom));
        EXPECT_FLOAT_EQ(quad.corners[ScreenQuad::kTopRight].x, float(row.right_));
        EXPECT_FLOAT_EQ(quad.corners[ScreenQuad::kTopRight].y, float(row.top));
    }
    // Edges truncate toward zero on both sides of it.
    Vo_StatObjConstructor object;
    object.Rectangle().CenterX().ValueRef() = 10;
    object.Rectangle().CenterY().ValueRef() = 10;
    object.SpriteSize().ValueRef() = 25;
    SpriteParticle p = ParticleOfAspect(1.0f);
    object.PlaceParticle(p);
    EXPECT_EQ(object.Rectangle().Left().Value(), -2);
    EXPECT_EQ(object.Rectangle().Right().Value(), 22);
}

TEST(StillObjects, StillObjectRecordOfVersionOneCarriesMirrors)
{
    QueuedStream stream;
    for (int32_t v : {1, 2, 3, 4, 5, 6})
        stream.Push(QueuedStream::Long{v});
    stream.Push(QueuedStream::UInt{30});
    stream.Push(QueuedStream::Long{1}).Push(QueuedStream::Long{1});
    SpriteRecordValues values;
    values.version = 4;  // no mirrors of its own: those of the still-object record stay
    PushSpriteRecord(stream, values);
    Vo_StatObjConstructor object;
    object.LoadFields(stream, 1);
    EXPECT_FALSE(stream.Failed());
    EXPECT_EQ(stream.Remaining(), 0u);
    EXPECT_EQ(object.Rectangle().Right().Value(), 2);
    EXPECT_EQ(object.Rectangle().CenterY().Value(), 6);
    EXPECT_EQ(object.Rotation().Value(), 30u);
    EXPECT_EQ(object.VerticalMirror().Value(), 1);
    EXPECT_EQ(object.HorizontalMirror().Value(), 1);
    EXPECT_EQ(object.Count().Value(), 3u);
}

TEST(StillObjects, FlowersSwayAboutTheMiddleOfTheirLowerEdge)
{
    const KeptPicturePlacement keptPlacement;
    PlaceParticlePicture(400, 300);
    Vo_FlowerConstructor flower;
    EXPECT_EQ(flower.Timeline().TimeMode().Value(), 2);
    flower.Rectangle().CenterX().ValueRef() = 200;
    flower.Rectangle().CenterY().ValueRef() = 100;
    flower.SpriteSize().ValueRef() = 60;
    SpriteParticle p = ParticleOfAspect(1.0f);
    flower.PlaceParticle(p);
    for (float t : {0.5f, 1.0f, 1.5f}) {
        flower.UpdateSpeed(t);
        flower.UpdateParticle(p);
        const float angle = std::sin(flower.AccumulatedTime()) * 1.5f + 90.0f;
        EXPECT_NEAR(p.up.x, 1.0f / std::tan((180.0f - angle) * float(D3DX_PI) / 180.0f), 1e-5f);
        // Lower edge middle: position + half height x up stays at (200, 130).
        EXPECT_NEAR(p.position.x + p.halfHeight * p.up.x, 200.0f, 1e-3f);
        EXPECT_NEAR(p.position.y + p.halfHeight * p.up.y, 130.0f, 1e-3f);
    }
    // Time mode 2: the fade slows the sway and leaves the colour; time mode 1 dims it.
    flower.Timeline().Mode().SetValue(Vo_TimeLineControl::kCycling);
    EXPECT_EQ(flower.ApplyFade(0xFF102030u), 0xFF102030u);
    flower.Timeline().TimeMode().SetValue(1);
    EXPECT_EQ(flower.ApplyFade(0xFF102030u), 0x00102030u);
}

TEST(StillObjects, DischargeJumpsToAnotherFrame)
{
    Vo_DischargeConstructor discharge;
    discharge.StoredFrameCount() = 2;
    EXPECT_EQ(discharge.NextFrame(0), 1u);
    EXPECT_EQ(discharge.NextFrame(1), 0u);
    discharge.StoredFrameCount() = 5;
    std::srand(3);
    for (unsigned i = 0; i < 50; ++i) {
        const unsigned next = discharge.NextFrame(i % 5);
        EXPECT_NE(next, i % 5);
        EXPECT_LT(next, 5u);
    }
    // No other frame to pick: the frame stays.
    for (unsigned count : {0u, 1u}) {
        discharge.StoredFrameCount() = count;
        EXPECT_EQ(discharge.NextFrame(0), 0u);
    }
}

TEST(StillObjects, GrassStandsOnTheBottomEdgeAndSwaysAboutItsBase)
{
    const KeptPicturePlacement keptPlacement;
    PlaceParticlePicture(400, 300);
    std::srand(5);
    Vo_GrassConstructor grass;
    grass.SetRelativeRect(0.0f, 1.0f, 0.5f, 0.9f);  // bottom edge at 270
    grass.SpriteSize().ValueRef() = 40;
    grass.Count().ValueRef() = 40;
    ParticleGeomArray array;
    array.SetOwner(&grass);
    array.BindCount(grass.Count());
    int mirrored = 0;
    for (const SpriteParticle& p : array.Particles()) {
        EXPECT_FLOAT_EQ(p.position.y + p.halfHeight, 270.0f);
        EXPECT_FLOAT_EQ(p.velocity.z, p.position.x);
        EXPECT_GE(p.velocity.y, 0.0f);
        EXPECT_LE(p.velocity.y, float(D3DX_PI) / 2.0f);
        if (p.right.x < 0)
            ++mirrored;
    }
    EXPECT_GT(mirrored, 5);
    EXPECT_LT(mirrored, 35);

    for (int i = 1; i <= 30; ++i) {
        array.Update(i / 30.0f);
        for (const SpriteParticle& p : array.Particles()) {
            // The blade's lower end stays at its base x; the lean is within the amplitude.
            EXPECT_NEAR(p.position.x + p.halfHeight * p.up.x, p.velocity.z, 1e-3f);
            EXPECT_LE(std::fabs(p.up.x), std::fabs(LeanOfAngle(93.0f)) + 1e-5f);
        }
    }
    // No amplitude: upright at the base.
    grass.Amplitude() = 0.0f;
    array.Update(2.0f);
    for (const SpriteParticle& p : array.Particles()) {
        EXPECT_NEAR(p.up.x, 0.0f, 1e-6f);
        EXPECT_NEAR(p.position.x, p.velocity.z, 1e-4f);
    }
}

TEST(StillObjects, LightingFlashesInsideItsRectangleAfterItsDelays)
{
    const KeptPicturePlacement keptPlacement;
    PlaceParticlePicture(400, 300);
    std::srand(6);
    Vo_LightingConstructor lighting;
    EXPECT_EQ(lighting.Additive().Value(), 1);
    EXPECT_EQ(lighting.Timeline().Mode().Value(), Vo_TimeLineControl::kCycling);
    lighting.SetRelativeRect(0.25f, 0.75f, 0.1f, 0.5f);  // 100..300 by 30..150
    lighting.SpriteSize().ValueRef() = 60;
    lighting.Count().ValueRef() = 5;
    ParticleGeomArray array;
    array.SetOwner(&lighting);
    array.BindCount(lighting.Count());
    for (const SpriteParticle& p : array.Particles())
        EXPECT_FLOAT_EQ(p.opacity, 0.0f);

    int flashes = 0;
    for (int i = 1; i <= 30 * 40; ++i) {
        array.Update(i / 30.0f);
        for (const SpriteParticle& p : array.Particles()) {
            EXPECT_GE(p.opacity, 0.0f);
            EXPECT_LE(p.opacity, 1.0f);
            if (p.opacity <= 0.0f) {
                EXPECT_GE(p.delay, 0.0f);
                EXPECT_LE(p.delay, 5.0f);
                continue;
            }
            ++flashes;
            EXPECT_GE(p.position.x - p.halfWidth, 100.0f - 1e-3f);
            EXPECT_LE(p.position.x + p.halfWidth, 300.0f + 1e-3f);
            EXPECT_GE(p.position.y - p.halfHeight, 30.0f - 1e-3f);
            EXPECT_LE(p.position.y + p.halfHeight, 150.0f + 1e-3f);
        }
    }
    EXPECT_GT(flashes, 0);
    // The timeline's fade never dims a flash.
    EXPECT_EQ(lighting.ApplyFade(0x80FFFFFFu), 0x80FFFFFFu);
}

TEST(StillObjects, LightingDelaysComeFromTheInvisibleRange)
{
    Vo_LightingConstructor lighting;
    std::srand(8);
    float lo = 100.0f, hi = 0.0f;
    for (int i = 0; i < 2000; ++i) {
        const float delay = lighting.DrawDelay();
        lo = std::min(lo, delay);
        hi = std::max(hi, delay);
        EXPECT_NEAR(delay * 100.0f, std::round(delay * 100.0f), 1e-3f);
    }
    EXPECT_GE(lo, 1.0f);
    EXPECT_LT(lo, 1.1f);
    EXPECT_LE(hi, 5.0f);
    EXPECT_GT(hi, 4.9f);
    // A maximum below the minimum waits the minimum.
    lighting.Timeline().InvisibleMaximum().SetValue(50);
    EXPECT_FLOAT_EQ(lighting.DrawDelay(), 1.0f);
}

}  // namespace
