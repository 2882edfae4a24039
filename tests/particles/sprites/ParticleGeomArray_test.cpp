#include "particles/sprites/ParticleGeomArray.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "tests/particles/sprites/ParticleTesting.h"
#include "particles/sprites/Vo_BirdConstructor.h"
#include "particles/sprites/Vo_DischargeConstructor.h"
#include "particles/sprites/Vo_FishConstructor.h"
#include "particles/sprites/Vo_FlowConstructor.h"
#include "particles/sprites/Vo_FlowerConstructor.h"
#include "particles/sprites/Vo_FogConstructor.h"
#include "particles/sprites/Vo_GhostConstructor.h"
#include "particles/sprites/Vo_GodRayConstructor.h"
#include "particles/sprites/Vo_GrassConstructor.h"
#include "particles/sprites/Vo_LightingConstructor.h"
#include "particles/sprites/Vo_RainConstructor.h"
#include "particles/sprites/Vo_SparkleConstructor.h"
#include "particles/sprites/Vo_StatObjConstructor.h"

namespace {

// Without a device the array makes no buffers, but its particles and its vertex fill into a
// plain array work the same.
class ParticleGeomArrayTest : public testing::Test {
protected:
    void SetUp() override { PlaceParticlePicture(200, 100); }

    void Bind(unsigned count)
    {
        m_emitter.Count().ValueRef() = count;
        m_array.SetOwner(&m_emitter);
        m_array.BindCount(m_emitter.Count());
    }

    std::vector<DX_V::PCT> Fill(unsigned quads)
    {
        std::vector<DX_V::PCT> vertices(4 * quads);
        m_array.FillSpriteVertices(m_emitter, vertices.data(), quads);
        return vertices;
    }

    // One particle at (50, 40) of 20 x 10 pixels with a half-transparent colour.
    SpriteParticle& PlaceFirst()
    {
        SpriteParticle& p = m_array.Particles().front();
        p.position = D3DXVECTOR3(50.0f, 40.0f, 0.0f);
        p.halfWidth = 10.0f;
        p.halfHeight = 5.0f;
        p.right = D3DXVECTOR3(1.0f, 0.0f, 0.0f);
        p.up = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
        p.color = 0x80112233u;
        return p;
    }

    const KeptPicturePlacement m_keptPlacement;
    Vo_SparkleConstructor m_emitter;
    ParticleGeomArray m_array;
};

TEST_F(ParticleGeomArrayTest, QuadLayoutAndMirrors)
{
    Bind(1);
    PlaceFirst();
    const struct {
        const char* name;
        int vertical, horizontal;
        float u0, u1, v0, v1;  // the texture coordinates of the corner and of the far corner
    } rows[] = {
        {"plain", 0, 0, 0.0f, 1.0f, 0.0f, 1.0f},
        {"upside down", 1, 0, 0.0f, 1.0f, 1.0f, 0.0f},
        {"left to right", 0, 1, 1.0f, 0.0f, 0.0f, 1.0f},
        {"both", 1, 1, 1.0f, 0.0f, 1.0f, 0.0f},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        m_emitter.VerticalMirror().ValueRef() = row.vertical;
        m_emitter.HorizontalMirror().ValueRef() = row.horizontal;
        const std::vector<DX_V::PCT> v = Fill(1);
        // Bottom-left, top-left, bottom-right, top-right with y downwards.
        const float xs[4] = {40, 40, 60, 60};
        const float ys[4] = {45, 35, 45, 35};
        const float us[4] = {row.u0, row.u0, row.u1, row.u1};
        const float vs[4] = {row.v1, row.v0, row.v1, row.v0};
        for (int i = 0; i < 4; ++i) {
            EXPECT_FLOAT_EQ(v[i].x, xs[i]) << i;
            EXPECT_FLOAT_EQ(v[i].y, ys[i]) << i;
            EXPECT_FLOAT_EQ(v[i].z, 0.0f) << i;
            EXPECT_EQ(v[i].color, 0x80112233u) << i;
            EXPECT_FLOAT_EQ(v[i].u, us[i]) << i;
            EXPECT_FLOAT_EQ(v[i].v, vs[i]) << i;
        }
    }
}

// A negative half width mirrors the quad; turned axes turn it.
TEST_F(ParticleGeomArrayTest, AxesAndSignedHalfWidths)
{
    Bind(1);
    SpriteParticle& p = PlaceFirst();
    p.halfWidth = -10.0f;
    std::vector<DX_V::PCT> v = Fill(1);
    EXPECT_FLOAT_EQ(v[1].x, 60.0f);
    EXPECT_FLOAT_EQ(v[3].x, 40.0f);

    p.halfWidth = 10.0f;
    p.right = D3DXVECTOR3(0.0f, -1.0f, 0.0f);  // a quarter turn counter-clockwise on the picture
    p.up = D3DXVECTOR3(1.0f, 0.0f, 0.0f);
    v = Fill(1);
    // Corner: position - 10 x right - 5 x up.
    EXPECT_FLOAT_EQ(v[1].x, 45.0f);
    EXPECT_FLOAT_EQ(v[1].y, 50.0f);
    EXPECT_FLOAT_EQ(v[3].x, 45.0f);
    EXPECT_FLOAT_EQ(v[3].y, 30.0f);
    EXPECT_FLOAT_EQ(v[0].x, 55.0f);
    EXPECT_FLOAT_EQ(v[0].y, 50.0f);
}

TEST_F(ParticleGeomArrayTest, StripFramesFollowTheFrameRateInEmitterTime)
{
    m_emitter.Animated() = true;
    m_emitter.StoredFrameCount() = 4;
    m_emitter.FrameRate() = 10.0f;
    Bind(2);
    auto frameOf = [&](const std::vector<DX_V::PCT>& v, int quad) { return v[4 * quad + 1].u * 4.0f; };

    std::vector<DX_V::PCT> v = Fill(2);
    EXPECT_FLOAT_EQ(frameOf(v, 0), 0.0f);
    EXPECT_FLOAT_EQ(v[2].u, 0.25f);

    m_emitter.UpdateSpeed(0.1f);  // exactly one period: not strictly more
    v = Fill(2);
    EXPECT_FLOAT_EQ(frameOf(v, 0), 0.0f);

    m_emitter.UpdateSpeed(0.15f);  // 0.15 s of emitter time
    v = Fill(2);
    // One advance per fill, and every particle shows it.
    EXPECT_FLOAT_EQ(frameOf(v, 0), 1.0f);
    EXPECT_FLOAT_EQ(frameOf(v, 1), 1.0f);
    EXPECT_FLOAT_EQ(m_array.StripSwitchTime(), m_emitter.AccumulatedTime());

    // The horizontal mirror swaps the strip frame's u range too.
    m_emitter.HorizontalMirror().ValueRef() = 1;
    v = Fill(1);
    EXPECT_FLOAT_EQ(v[1].u, 0.5f);
    EXPECT_FLOAT_EQ(v[3].u, 0.25f);

    // A restart puts the emitter's time below the switch time, which returns to 0; the strip
    // moves on after a further period.
    m_emitter.Restart();
    v = Fill(1);
    EXPECT_FLOAT_EQ(m_array.StripSwitchTime(), 0.0f);
    EXPECT_EQ(m_array.StripFrame(), 1u);
    m_emitter.UpdateSpeed(0.11f);
    v = Fill(1);
    EXPECT_EQ(m_array.StripFrame(), 2u);

    // Frame rate 0 never advances.
    m_emitter.FrameRate() = 0.0f;
    m_emitter.UpdateSpeed(0.3f);
    v = Fill(1);
    EXPECT_EQ(m_array.StripFrame(), 2u);
}

TEST_F(ParticleGeomArrayTest, ASmallerCountKeepsEveryParticleMoving)
{
    Bind(10);
    ASSERT_EQ(m_array.Particles().size(), 10u);
    m_emitter.Count().SetValue(4);
    EXPECT_EQ(m_array.Particles().size(), 10u);
    for (SpriteParticle& p : m_array.Particles())
        p.velocity = D3DXVECTOR3(10.0f, 0.0f, 0.0f);
    const float lastX = m_array.Particles()[9].position.x;
    m_array.Update(0.1f);
    EXPECT_FLOAT_EQ(m_array.Particles()[9].position.x, lastX + 1.0f);
    EXPECT_EQ(m_emitter.GetParticleCount(), 4u);
    m_emitter.Count().SetValue(12);
    EXPECT_EQ(m_array.Particles().size(), 12u);
    // A count of 0 makes nothing and drops nothing.
    m_emitter.Count().SetValue(0);
    EXPECT_EQ(m_array.Particles().size(), 12u);
    EXPECT_EQ(m_array.QuadCapacity(), 0u);
}

// Each new particle draws one rand() for its scale and one for its opacity speed's sign, then
// its class's own draws in the order they are listed for it.
TEST(ParticleDraws, PerCreatedParticle)
{
    const KeptPicturePlacement keptPlacement;
    PlaceParticlePicture(200, 100);
    const struct {
        const char* name;
        std::function<Vo_ParticleSystemCtrl*()> make;
        int draws;
    } rows[] = {
        {"god ray", [] { return new Vo_GodRayConstructor; }, 2 + 3},
        {"sparkle", [] { return new Vo_SparkleConstructor; }, 2 + 5},
        {"fish", [] { return new Vo_FishConstructor; }, 2 + 4},
        {"ghost", [] { return new Vo_GhostConstructor; }, 2 + 5},
        {"bird", [] { return new Vo_BirdConstructor; }, 2 + 4},
        {"fog", [] { return new Vo_FogConstructor; }, 2 + 6},
        {"still object", [] { return new Vo_StatObjConstructor; }, 2},
        {"flower", [] { return new Vo_FlowerConstructor; }, 2},
        {"discharge", [] { return new Vo_DischargeConstructor; }, 2},
        {"grass", [] { return new Vo_GrassConstructor; }, 2 + 3},
        {"lighting", [] { return new Vo_LightingConstructor; }, 2 + 4},
        {"flow", [] { return new Vo_FlowConstructor; }, 2 + 3},
        {"rain", [] { return new Vo_RainConstructor; }, 2 + 4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::unique_ptr<Vo_ParticleSystemCtrl> emitter(row.make());
        emitter->Count().ValueRef() = 3;
        ParticleGeomArray array;
        array.SetOwner(emitter.get());
        EXPECT_EQ(CountRandDraws([&] { array.BindCount(emitter->Count()); }), 3 * row.draws);
    }
}

}  // namespace
