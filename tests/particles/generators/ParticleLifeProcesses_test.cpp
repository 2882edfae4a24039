// The life-cycle steps of stroke points and the callbacks of puffs, stepped by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "particles/generators/OriginParticle.h"
#include "particles/generators/PLifeConst.h"
#include "particles/generators/PSteady.h"
#include "particles/generators/ProcessParticle.h"

namespace {

TEST(ProcessParticleTest, LifeConstAgesAndDiesOnTheStepThatReachesOne)
{
    ProcessParticle p;
    PLifeConst life(0.25f);
    EXPECT_TRUE(life.Update(1.0f, p));
    EXPECT_TRUE(life.Update(1.0f, p));
    EXPECT_TRUE(life.Update(1.0f, p));
    EXPECT_FLOAT_EQ(p.age, 0.75f);
    EXPECT_FALSE(life.Update(1.0f, p));
    EXPECT_FLOAT_EQ(p.age, 1.0f);
}

TEST(ProcessParticleTest, SteadyChangesItsValueOnlyStrictlyInsideItsWindow)
{
    ProcessParticle p;
    PSteady raise(1, 0.0f, 0.5f, 2.0f);
    EXPECT_TRUE(raise.Update(0.1f, p));  // age exactly 0: outside
    EXPECT_FLOAT_EQ(p.value1, 0.0f);
    p.age = 0.25f;
    raise.Update(0.1f, p);
    EXPECT_FLOAT_EQ(p.value1, 0.2f);
    p.age = 0.5f;
    raise.Update(0.1f, p);
    EXPECT_FLOAT_EQ(p.value1, 0.2f);

    // Index 0 changes the age itself; an index outside 0-2 changes nothing.
    PSteady ager(0, -1.0f, 1.0f, 1.0f);
    ager.Update(0.25f, p);
    EXPECT_FLOAT_EQ(p.age, 0.75f);
    PSteady stray(7, -1.0f, 1.0f, 1.0f);
    EXPECT_TRUE(stray.Update(1.0f, p));
}

TEST(ProcessParticleTest, ListRunsEveryStepAndAndsTheResults)
{
    ProcessParticle p;
    EXPECT_TRUE(ParticleProcessList_Apply(p, 1.0f));  // empty: alive
    p.processes.emplace_back(new PLifeConst(2.0f));    // dies at once
    p.processes.emplace_back(new PSteady(2, -1.0f, 10.0f, 1.0f));
    EXPECT_FALSE(ParticleProcessList_Apply(p, 1.0f));
    EXPECT_FLOAT_EQ(p.value2, 1.0f) << "the step after the dead one ran too";

    ProcessParticle copy;
    ParticleProcessList_Copy(copy, p);
    EXPECT_EQ(copy.processes.size(), 2u);
    EXPECT_FLOAT_EQ(copy.age, p.age);
    EXPECT_NE(copy.processes[0].get(), p.processes[0].get());
    EXPECT_FLOAT_EQ(static_cast<PLifeConst*>(copy.processes[0].get())->Rate(), 2.0f);

    p.position = D3DXVECTOR3(1, 2, 3);
    ParticleProcessList_Clear(p);
    EXPECT_TRUE(p.processes.empty());
    EXPECT_FLOAT_EQ(p.position.y, 2.0f);
    EXPECT_FLOAT_EQ(p.value2, 1.0f);
}

// The sparkle's cycle: value 1 rises to about 1 over the fade-in and falls back over the fade-out.
TEST(ProcessParticleTest, SparkleCycleRisesAndFalls)
{
    const float a = 0.5f, b = 1.5f, T = a + b;
    ProcessParticle p;
    p.processes.emplace_back(new PLifeConst(1 / T));
    p.processes.emplace_back(new PSteady(1, 0.0f, a / T, (1 / T) / (a / T)));
    p.processes.emplace_back(new PSteady(1, a / T, a / T + b / T, -(1 / T) / (b / T)));
    float peak = 0.0f;
    int steps = 0;
    while (ParticleProcessList_Apply(p, 0.01f) && steps < 1000) {
        peak = std::max(peak, p.value1);
        ++steps;
    }
    EXPECT_NEAR(steps, 199, 1);
    EXPECT_NEAR(peak, 1.0f, 0.03f);
    EXPECT_NEAR(p.value1, 0.0f, 0.03f);
}

TEST(OriginParticleTest, InitialValues)
{
    OriginParticle p;
    InitOriginParticle(p);
    EXPECT_FLOAT_EQ(p.life, -1.0f);
    EXPECT_FLOAT_EQ(p.velocity.y, -200.0f);
    EXPECT_FLOAT_EQ(p.size, 100.0f);
    EXPECT_FLOAT_EQ(p.alpha, 1.0f);
    EXPECT_EQ(p.callbackCount, 0);
}

TEST(OriginParticleTest, MotionUsesTheOldVelocityAndHalfTheAcceleration)
{
    OriginParticle p;
    InitOriginParticle(p);
    p.life = 10.0f;
    p.position = D3DXVECTOR3(0, 0, 0);
    p.velocity = D3DXVECTOR3(10, 0, 0);
    p.acceleration = D3DXVECTOR3(4, -2, 0);
    p.AddCallback(MoveOriginParticle);
    StepOriginParticle(p, 0.5f);
    EXPECT_FLOAT_EQ(p.life, 9.5f);
    EXPECT_FLOAT_EQ(p.position.x, 5.0f + 4 * 0.125f);
    EXPECT_FLOAT_EQ(p.position.y, -2 * 0.125f);
    EXPECT_FLOAT_EQ(p.velocity.x, 12.0f);
    EXPECT_FLOAT_EQ(p.velocity.y, -1.0f);
}

TEST(OriginParticleTest, GrowthFadesAndSpinRunInListOrder)
{
    OriginParticle p;
    InitOriginParticle(p);
    p.life = 2.0f;
    p.alpha = 0.0f;
    p.axis1 = D3DXVECTOR3(1, 0, 0);
    p.axis2 = D3DXVECTOR3(0, 1, 0);
    p.AddCallback(GrowOriginParticle, 2.0f);
    p.AddCallback(RaiseAlphaWhileYoung, 4.0f, 1.6f);
    // p1 equal to the starting life: lowering starts with the first step.
    p.AddCallback(LowerAlphaWhileOld, 1.0f, 2.0f);
    p.AddCallback(SpinOriginParticle, 90.0f);
    StepOriginParticle(p, 0.25f);  // life 1.75: young and old at once
    EXPECT_FLOAT_EQ(p.size, 100.5f);
    EXPECT_FLOAT_EQ(p.alpha, 1.0f - 0.25f);
    EXPECT_NEAR(p.axis1.x, std::cos(3.1415927f / 8), 1e-6f);
    EXPECT_NEAR(p.axis1.y, std::sin(3.1415927f / 8), 1e-6f);
    EXPECT_NEAR(p.axis2.x, -std::sin(3.1415927f / 8), 1e-6f);
    StepOriginParticle(p, 0.25f);  // life 1.5: only old
    EXPECT_FLOAT_EQ(p.alpha, 0.5f);
}

TEST(OriginParticleTest, CallbackListIsBounded)
{
    OriginParticle p;
    InitOriginParticle(p);
    for (int i = 0; i < OriginParticle::kMaxCallbacks; ++i)
        EXPECT_TRUE(p.AddCallback(GrowOriginParticle, 1.0f));
    EXPECT_FALSE(p.AddCallback(GrowOriginParticle, 1.0f));
    EXPECT_EQ(p.callbackCount, OriginParticle::kMaxCallbacks);
}

}  // namespace
