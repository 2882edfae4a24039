#include <gtest/gtest.h>

#include <cmath>

#include "runtime/Noise.h"

namespace {

TEST(Noise, LatticeValuesFollowTheUnsignedHash)
{
    // Worked out with 32-bit wrap-around outside this code.
    const struct { int n; double value; } cases[] = {
        {0, -0.2817909838631749},
        {1, -0.2263730512931943},
        {2, 0.29363288078457117},
        {57, 0.20434398483484983},
        // Negative lattice points hash their two's-complement bits.
        {-1, 0.9001262886449695},
        {-1000, -0.30301297176629305},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_NEAR(LatticeNoise1D(c.n), c.value, 1e-6);
        EXPECT_FLOAT_EQ(ValueNoise1D(static_cast<float>(c.n)), LatticeNoise1D(c.n));
    }
}

TEST(Noise, ValueNoiseIsContinuousAndBounded)
{
    for (int n = 0; n < 40; ++n) {
        SCOPED_TRACE(n);
        const float at = LatticeNoise1D(n);
        EXPECT_NEAR(ValueNoise1D(n + 1e-3f), at, 1e-3);
        if (n > 0) {
            EXPECT_NEAR(ValueNoise1D(n - 1e-3f), at, 1e-3);
        }
        // Halfway the cosine weight is exactly one half.
        EXPECT_NEAR(ValueNoise1D(n + 0.5f), (at + LatticeNoise1D(n + 1)) * 0.5f, 1e-5);
    }
    for (float x = 0.0f; x < 100.0f; x += 0.37f) {
        const float v = ValueNoise1D(x);
        EXPECT_GT(v, -1.0f);
        EXPECT_LE(v, 1.0f);
    }
}

TEST(Noise, OutOfRangeInputGivesZeroInsteadOfUndefinedConversion)
{
    EXPECT_EQ(ValueNoise1D(NAN), 0.0f);
    EXPECT_EQ(ValueNoise1D(1e20f), 0.0f);
    EXPECT_EQ(ValueNoise1D(-INFINITY), 0.0f);
}

TEST(Noise, FractalNoiseSumsOctavesWithPersistence)
{
    const double x = 3.3, period = 2.0, persistence = 0.5;
    EXPECT_EQ(FractalNoise1D(x, period, persistence, 0), 0.0);
    EXPECT_NEAR(FractalNoise1D(x, period, persistence, 1), ValueNoise1D(float(x / period)), 1e-7);
    const double three = ValueNoise1D(float(x / period)) + 0.5 * ValueNoise1D(float(2 * x / period)) +
                         0.25 * ValueNoise1D(float(4 * x / period));
    EXPECT_NEAR(FractalNoise1D(x, period, persistence, 3), three, 1e-6);
}

}  // namespace
