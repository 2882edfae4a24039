#include "model/NumericFunctions.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cstdlib>
#include <limits>

TEST(NumericFunctionsTest, RandomBetweenEqualBoundsReturnsTheBound)
{
    const float bounds[] = {0.0f, 3.5f, -2.25f, 1e-7f, 123456.0f};
    std::srand(11);
    for (float bound : bounds)
        for (int draw = 0; draw < 20; ++draw)
            EXPECT_EQ(RandomBetween(bound, bound), bound);
}

TEST(NumericFunctionsTest, RandomBetweenStaysInsideTheBoundsEitherWayRound)
{
    std::srand(5);
    bool lowerHalf = false, upperHalf = false;
    for (int draw = 0; draw < 400; ++draw) {
        const float value = RandomBetween(-1.0f, 3.0f);
        EXPECT_GE(value, -1.0f);
        EXPECT_LE(value, 3.0f);
        lowerHalf |= value < 1.0f;
        upperHalf |= value > 1.0f;
        // Bounds given high to low give the same range.
        const float reversed = RandomBetween(3.0f, -1.0f);
        EXPECT_GE(reversed, -1.0f);
        EXPECT_LE(reversed, 3.0f);
    }
    EXPECT_TRUE(lowerHalf && upperHalf);
}

TEST(NumericFunctionsTest, RandomBetweenUsesTheProcessRandSequence)
{
    std::srand(77);
    const float first = RandomBetween(0.0f, 32767.0f);
    std::srand(77);
    // The scale is rand() / 32767, so over 0..32767 the draw is rand() itself.
    EXPECT_EQ(first, static_cast<float>(std::rand()));
}

TEST(NumericFunctionsTest, RoundToIntRoundsHalvesToEven)
{
    struct Case {
        float value;
        int32_t expected;
    };
    const Case cases[] = {
        {0.5f, 0}, {1.5f, 2}, {2.5f, 2}, {-0.5f, 0}, {-1.5f, -2}, {-2.5f, -2},
        {1.49f, 1}, {1.51f, 2}, {-1.51f, -2}, {0.0f, 0},
        {2147483520.0f, 2147483520},  // the largest float below 2^31
        // Out of range and NaN give the processor's integer-indefinite value.
        {4294967296.0f, INT32_MIN},
        {std::numeric_limits<float>::quiet_NaN(), INT32_MIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(RoundToInt(c.value), c.expected);
    }
}

TEST(NumericFunctionsTest, RoundToIntFollowsTheCurrentRoundingMode)
{
    const int saved = std::fegetround();
    std::fesetround(FE_UPWARD);
    const int32_t up = RoundToInt(1.2f);
    std::fesetround(FE_TOWARDZERO);
    const int32_t towardZero = RoundToInt(-1.7f);
    std::fesetround(saved);
    EXPECT_EQ(up, 2);
    EXPECT_EQ(towardZero, -1);
}
