#include <gtest/gtest.h>

#include "brushes/LightVariation.h"

namespace {

const float kPi = 3.14159265f;

// The factor g of each kind at chosen phases. The flicker's values are worked from the noise's
// lattice values: value(0) = -0.2817910, value(1) = -0.2263731, value(2) = 0.2936329.
TEST(LightVariationTest, FactorAtChosenPhases)
{
    struct Case {
        LightVariation kind;
        float phase;
        float g;
    } cases[] = {
        // pulse: (sin(0.2 p) + 1) / 2
        {LightVariation::kPulse, 0.0f, 0.5f},
        {LightVariation::kPulse, 2.5f * kPi, 1.0f},
        {LightVariation::kPulse, 7.5f * kPi, 0.0f},
        {LightVariation::kPulse, 5.0f * kPi / 6.0f, 0.75f},
        // blink: on only while the sine is above 0; at 0 the sine is 0, so it is off
        {LightVariation::kBlink, 0.0f, 0.0f},
        {LightVariation::kBlink, 0.01f, 1.0f},
        {LightVariation::kBlink, 5.0f * kPi - 0.01f, 1.0f},
        {LightVariation::kBlink, 5.0f * kPi + 0.01f, 0.0f},
        {LightVariation::kBlink, 10.0f * kPi + 0.01f, 1.0f},
        // flicker: (noise(10 p / 75) + noise(20 p / 75) / 2 + 1) / 2
        {LightVariation::kFlicker, 0.0f, (1.5f * -0.2817910f + 1.0f) * 0.5f},
        // 10 p / 75 = 0.5, half-way between lattice 0 and 1; the second octave sits on lattice 1
        {LightVariation::kFlicker, 3.75f, ((-0.2817910f - 0.2263731f) * 0.5f - 0.2263731f * 0.5f + 1.0f) * 0.5f},
        {LightVariation::kFlicker, 7.5f, (-0.2263731f + 0.2936329f * 0.5f + 1.0f) * 0.5f},
        // steady
        {LightVariation::kSteady, 0.0f, 1.0f},
        {LightVariation::kSteady, 123.4f, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.kind) << " at " << c.phase);
        EXPECT_NEAR(LightFactor(c.kind, c.phase), c.g, 2e-6f);
    }
}

}  // namespace
