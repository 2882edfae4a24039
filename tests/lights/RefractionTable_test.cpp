#include "lights/RefractionTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Snell's law for cos(incident) = i / 256 and n = 1.333, worked out directly.
struct Expected {
    double a, b;
};
Expected Worked(int i)
{
    const double cosI = i / 256.0;
    const double sinI = std::sqrt(1.0 - cosI * cosI);
    const double sinT = sinI / 1.333;
    const double cosT = std::sqrt(1.0 - sinT * sinT);
    return {1.333 * cosT - cosI, -1.0 / 1.333};
}

TEST(RefractionTable, EndEntriesFollowSnellsLawWithGrazingOpacity)
{
    RefractionTable table;
    table.Fill();
    ASSERT_TRUE(table.Filled());
    struct Case {
        int i;
        uint32_t alpha;
    };
    // (255 - i)^3 / 65536, truncated.
    for (const Case& c : {Case{0, 253}, Case{128, 31}, Case{255, 0}}) {
        SCOPED_TRACE(c.i);
        const Expected e = Worked(c.i);
        EXPECT_NEAR(table[c.i].a, e.a, 1e-5);
        EXPECT_NEAR(table[c.i].b, e.b, 1e-5);
        EXPECT_EQ(table[c.i].colour, c.alpha << 24);
    }
    // Straight down the refraction barely bends: 1.333 x 0.9978 - 0.9961.
    EXPECT_NEAR(table[255].a, 0.3340, 1e-3);
    EXPECT_NEAR(table[0].a, 0.8817, 1e-3);
}

TEST(RefractionTable, EveryEntryIsFiniteAndTheOpacityFallsTowardsStraightDown)
{
    RefractionTable table;
    table.Fill();
    for (int i = 0; i < RefractionTable::kSize; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(std::isfinite(table[i].a));
        ASSERT_TRUE(std::isfinite(table[i].b));
        EXPECT_EQ(table[i].colour & 0x00FFFFFFu, 0u);
        if (i > 0) {
            EXPECT_LE(table[i].colour >> 24, table[i - 1].colour >> 24);
        }
    }
}

TEST(RefractionTable, IndexIsTheRoundedCosineKeptWithinTheTable)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float cosine;
        int index;
    };
    const Case cases[] = {{-1.0f, 0}, {0.0f, 0}, {0.001f, 0}, {0.003f, 1}, {0.25f, 64},
                          {0.999f, 255}, {1.0f, 255}, {1.5f, 255}, {nan, 255}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cosine);
        EXPECT_EQ(RefractionTable::IndexForCosine(c.cosine), c.index);
    }
}

TEST(RefractionTable, OneTableForTheProcess)
{
    EXPECT_EQ(&RefractionTable::Shared(), &RefractionTable::Shared());
}

}  // namespace
