#include <gtest/gtest.h>

#include <cmath>

#include "brushes/BrushDirection.h"
#include "brushes/WaterShaderValues.h"
#include "model/UINTSclaleTo.h"

namespace {

const double kPi = 3.14159265358979323846;

// The water brush's defaults as its parameters read them: surface raw 20 x 0.0001, wave length
// 0.001 + 20 x 0.0005, drift 20 x 0.00025, light height 0, angle 40, white.
TEST(WaterShaderValuesTest, Defaults)
{
    const float f = ScaleRawToFloat(20, 0.0001f, 0.0f);
    const float length = ScaleRawToFloat(20, 0.0005f, 0.001f);
    const float drift = ScaleRawToFloat(20, 0.00025f, 0.0f);
    const D3DXVECTOR4 d = CounterDirectionFromAngle(40);
    const WaterShaderValues v = ComputeWaterShaderValues(f, length, drift, 0.0f, d.x, d.y, 0xFFFFFF);

    const double c = std::cos(40 * kPi / 180), s = std::sin(40 * kPi / 180);
    EXPECT_TRUE(v.drawable);
    EXPECT_NEAR(v.p1[0], -0.998, 1e-6);
    EXPECT_EQ(v.p1[1], -1.0f);
    EXPECT_NEAR(v.p1[2], -0.998, 1e-6);
    EXPECT_EQ(v.p2[0], 1.0f);
    EXPECT_NEAR(v.p2[1], (999 + std::sqrt(999.0)) / 998, 1e-4);
    EXPECT_EQ(v.p2[2], 1.0f);
    EXPECT_NEAR(v.direction1[0], -c * 45.4545, 1e-3);
    EXPECT_NEAR(v.direction1[1], -s * 45.4545, 1e-3);
    EXPECT_NEAR(v.direction2[0], -c * 0.0025, 1e-7);
    EXPECT_NEAR(v.direction2[1], -s * 0.0025, 1e-7);
    EXPECT_NEAR(v.vhalf[0], 1 / std::sqrt(5.0), 1e-6);
    EXPECT_NEAR(v.vhalf[1], 2 / std::sqrt(5.0), 1e-6);
    EXPECT_EQ(v.vhalf[2], 0.0f);
    for (float channel : v.color)
        EXPECT_EQ(channel, 1.0f);
}

// Red is the low byte of the stored colour.
TEST(WaterShaderValuesTest, ColourChannels)
{
    const WaterShaderValues v = ComputeWaterShaderValues(0.002f, 0.011f, 0.005f, 0.0f, 1, 0, 0xFF8000);
    EXPECT_EQ(v.color[0], 0.0f);
    EXPECT_NEAR(v.color[1], 128 / 255.0, 1e-6);
    EXPECT_EQ(v.color[2], 1.0f);
}

// Values that are not finite are refused instead of sending NaN or infinity; every finite
// value is drawn, those of surface factors between 1 and 2 among them.
TEST(WaterShaderValuesTest, OnlyValuesThatAreNotFiniteAreRefused)
{
    struct Case {
        float f;
        float waveLength;
        bool drawable;
        double v;  // V = (q + sqrt q) / (q - 1) with q = 2 / f - 1, when drawable
    } cases[] = {
        {0.0f, 0.011f, false, 0},    // q infinite
        {1.0f, 0.011f, false, 0},    // q = 1: V divides by zero
        {2.5f, 0.011f, false, 0},    // q < 0: square root of a negative number
        {0.5f, 0.0f, false, 0},      // Direction1 divides by the wave length
        {0.002f, 0.011f, true, (999 + std::sqrt(999.0)) / 998},
        {0.5f, 0.011f, true, (3 + std::sqrt(3.0)) / 2},
        {0.99f, 0.011f, true, 0},
        {1.5f, 0.011f, true, (1.0 / 3 + std::sqrt(1.0 / 3)) / (1.0 / 3 - 1)},
        {2.0f, 0.011f, true, 0.0},   // q = 0: V = 0
    };
    for (const Case& c : cases) {
        const WaterShaderValues v = ComputeWaterShaderValues(c.f, c.waveLength, 0.005f, 0.0f, 1, 0, 0);
        EXPECT_EQ(v.drawable, c.drawable) << c.f << " " << c.waveLength;
        if (c.drawable && c.f != 0.99f) {
            EXPECT_NEAR(v.p2[1], c.v, 1e-4) << c.f;
        }
    }
}

// The bump matrix turns by 4.5 radians per unit of phase.
TEST(WaterShaderValuesTest, BumpMatrixRotation)
{
    const float k = 0.02f;
    float m[4];
    ComputeWaterBumpMatrix(0.0f, k, m);
    EXPECT_FLOAT_EQ(m[0], k);
    EXPECT_FLOAT_EQ(m[1], 0.0f);
    EXPECT_FLOAT_EQ(m[2], 0.0f);
    EXPECT_FLOAT_EQ(m[3], k);
    ComputeWaterBumpMatrix(static_cast<float>(kPi / 9), k, m);
    EXPECT_NEAR(m[0], 0.0f, 1e-6);
    EXPECT_NEAR(m[1], -k, 1e-6);
    EXPECT_NEAR(m[2], k, 1e-6);
    EXPECT_NEAR(m[3], 0.0f, 1e-6);
}

}  // namespace
