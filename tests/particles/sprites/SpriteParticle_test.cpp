#include "particles/sprites/SpriteParticle.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/particles/sprites/ParticleTesting.h"
#include "particles/sprites/Vo_SparkleConstructor.h"

namespace {

SpriteParticle MakeParticle(float aspect, float scale)
{
    SpriteParticle p{};
    p.aspect = aspect;
    p.scale = scale;
    return p;
}

TEST(SpriteParticle, HalfSizesFollowTheLongerSideOfThePicture)
{
    const struct {
        const char* name;
        float aspect, scale, size;
        float halfWidth, halfHeight;
    } rows[] = {
        {"square", 1.0f, 1.0f, 40.0f, 20.0f, 20.0f},
        {"twice as wide as high", 0.5f, 1.0f, 40.0f, 20.0f, 10.0f},
        // Four such frames side by side in a strip: each frame is twice as high as wide.
        {"strip frame of four", 2.0f, 1.0f, 40.0f, 10.0f, 20.0f},
        {"scaled", 1.0f, 1.5f, 40.0f, 30.0f, 30.0f},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SpriteParticle p = MakeParticle(row.aspect, row.scale);
        SetSpriteParticleHalfSize(row.size, p);
        EXPECT_FLOAT_EQ(p.halfWidth, row.halfWidth);
        EXPECT_FLOAT_EQ(p.halfHeight, row.halfHeight);
    }
}

TEST(SpriteParticle, InitGivesDefaultsAndTheStripAspect)
{
    Vo_SparkleConstructor emitter;
    emitter.SpriteSize().ValueRef() = 40;
    emitter.Animated() = true;
    emitter.StoredFrameCount() = 4;
    SpriteParticle p{};
    std::srand(1);
    InitSpriteParticle(p, emitter);
    // Without a picture the aspect is 1, times the four frames of the strip.
    EXPECT_FLOAT_EQ(p.aspect, 4.0f);
    EXPECT_FLOAT_EQ(p.halfHeight, 20.0f);
    EXPECT_FLOAT_EQ(p.halfWidth, 5.0f);
    EXPECT_EQ(p.position, D3DXVECTOR3(100.0f, 100.0f, 0.0f));
    EXPECT_EQ(p.right, D3DXVECTOR3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(p.up, D3DXVECTOR3(0.0f, 1.0f, 0.0f));
    EXPECT_FLOAT_EQ(p.uEnd, 1.0f);
    EXPECT_FLOAT_EQ(p.vEnd, 1.0f);
    EXPECT_FLOAT_EQ(p.scale, 1.0f);
}

TEST(SpriteParticle, ResetGivesAboutHalfTheParticlesANegativeOpacitySpeed)
{
    Vo_SparkleConstructor emitter;
    emitter.OpacitySpeed() = 0.5f;
    std::srand(7);
    int negative = 0;
    for (int i = 0; i < 1000; ++i) {
        SpriteParticle p{};
        ResetSpriteParticle(p, emitter);
        EXPECT_FLOAT_EQ(p.opacity, 1.0f);
        EXPECT_EQ(p.edgeState, -1);
        if (p.opacitySpeed < 0) {
            ++negative;
        } else {
            EXPECT_FLOAT_EQ(p.opacitySpeed, 0.5f);
        }
    }
    EXPECT_GT(negative, 400);
    EXPECT_LT(negative, 600);
}

// The emitter's frame step drives the blink; a particle that falls below the minimum respawns
// when asked, and the speed turns at either bound.
TEST(SpriteParticle, BlinkBouncesBetweenTheBounds)
{
    const KeptPicturePlacement keptPlacement;
    PlaceParticlePicture(200, 100);
    Vo_SparkleConstructor emitter;
    emitter.MinOpacity() = 0.2f;
    emitter.MaxOpacity() = 0.8f;
    emitter.UpdateSpeed(0.1f);  // speed 1: a step of 0.1 s
    ASSERT_FLOAT_EQ(emitter.ScaledStep(), 0.1f);

    SpriteParticle still{};
    still.opacity = 0.5f;
    still.opacitySpeed = 0.0f;
    UpdateSpriteParticleBlink(still, emitter, true);
    EXPECT_FLOAT_EQ(still.opacity, 0.5f);

    SpriteParticle bright{};
    bright.opacity = 1.0f;
    bright.opacitySpeed = 0.0f;
    UpdateSpriteParticleBlink(bright, emitter, true);
    EXPECT_FLOAT_EQ(bright.opacity, 0.8f);
    EXPECT_FLOAT_EQ(bright.opacitySpeed, -0.0f);

    SpriteParticle fading{};
    fading.opacity = 0.25f;
    fading.opacitySpeed = -1.0f;
    fading.position = D3DXVECTOR3(-50, -50, 0);
    UpdateSpriteParticleBlink(fading, emitter, false);
    EXPECT_FLOAT_EQ(fading.opacity, 0.2f);
    EXPECT_FLOAT_EQ(fading.opacitySpeed, 1.0f);
    EXPECT_FLOAT_EQ(fading.position.x, -50.0f);

    fading.opacitySpeed = -1.0f;
    fading.opacity = 0.25f;
    UpdateSpriteParticleBlink(fading, emitter, true);
    // Respawned into the picture-wide rectangle.
    EXPECT_GE(fading.position.x, 0.0f);
    EXPECT_LE(fading.position.x, 200.0f);
    EXPECT_FLOAT_EQ(fading.opacity, 0.2f);
}

TEST(SpriteParticle, ColourTakesTheAlphaTimesOpacityHeldToAByte)
{
    Vo_SparkleConstructor emitter;
    emitter.Colour().ValueRef() = 0x00332211;  // red 0x11, green 0x22, blue 0x33
    emitter.Transparency().SetValue(0);         // alpha byte 255
    const struct {
        float opacity;
        uint32_t colour;
    } rows[] = {
        {1.0f, 0xFF112233u},
        {0.5f, 0x7F112233u},   // 127.5 truncated
        {0.0f, 0x00112233u},
        {1.5f, 0xFF112233u},   // beyond 1: held to 255
        {-0.5f, 0x00112233u},  // below 0: held to 0
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.opacity);
        SpriteParticle p{};
        p.opacity = row.opacity;
        UpdateSpriteParticleColor(emitter, p);
        EXPECT_EQ(p.color, row.colour);
    }
}

TEST(SpriteParticle, EdgeTests)
{
    const KeptPicturePlacement keptPlacement;
    PlaceParticlePicture(100, 100);
    Vo_SparkleConstructor emitter;
    emitter.SetRelativeRect(0.2f, 0.8f, 0.3f, 0.7f);  // 20..80 by 30..70
    SpriteParticle p{};
    p.halfWidth = -5.0f;  // mirrored: out tests use its size, touching tests its sign
    p.halfHeight = 5.0f;
    p.position = D3DXVECTOR3(14.0f, 50.0f, 0.0f);
    EXPECT_TRUE(IsParticleOutLeft(p, emitter));
    EXPECT_TRUE(IsParticleTouchingLeft(p, emitter));  // 20 > 14 + 5
    p.position.x = 16.0f;
    EXPECT_FALSE(IsParticleOutLeft(p, emitter));
    EXPECT_FALSE(IsParticleTouchingLeft(p, emitter));  // 20 > 16 + 5 is false
    p.halfWidth = 5.0f;
    EXPECT_TRUE(IsParticleTouchingLeft(p, emitter));   // 20 > 16 - 5
    p.halfWidth = -5.0f;
    p.position.x = 86.0f;
    EXPECT_TRUE(IsParticleOutRight(p, emitter));
    p.position = D3DXVECTOR3(50.0f, 33.0f, 0.0f);
    EXPECT_TRUE(IsParticleTouchingTop(p, emitter));
    EXPECT_FALSE(IsParticleOutTop(p, emitter));
    p.position.y = 24.0f;
    EXPECT_TRUE(IsParticleOutTop(p, emitter));
    p.position.y = 66.0f;
    EXPECT_TRUE(IsParticleTouchingBottom(p, emitter));
    EXPECT_FALSE(IsParticleOutBottom(p, emitter));
    p.position.y = 76.0f;
    EXPECT_TRUE(IsParticleOutBottom(p, emitter));
}

}  // namespace
