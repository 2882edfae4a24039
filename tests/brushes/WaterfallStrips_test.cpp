#include <gtest/gtest.h>

#include "brushes/WaterfallStrips.h"

namespace {

const float kStrength = 0.8f, kDx = 0.6f, kDy = -0.8f, kOpacity = 0.9f;

// Four strips at phase 0 sit at 0, 1/4, 1/2 and 3/4 of their path.
void ExpectFourStripTable(const std::vector<WaterfallStrip>& strips)
{
    const float fractions[] = {0.0f, 0.25f, 0.5f, 0.75f};
    const float transluencies[] = {0.0f, kOpacity / 2, kOpacity, kOpacity / 2};
    ASSERT_EQ(strips.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(strips[i].shiftX, -kStrength * kDx * fractions[i], 1e-5f) << i;
        EXPECT_NEAR(strips[i].shiftY, -kStrength * kDy * fractions[i], 1e-5f) << i;
        EXPECT_NEAR(strips[i].transluency, transluencies[i], 1e-5f) << i;
    }
}

TEST(WaterfallStripsTest, FourStripsAtPhaseZeroAndOneFollowEachOther)
{
    std::vector<WaterfallStrip> strips(4);
    UpdateWaterfallStrips(strips, 0.0f, kStrength, kDx, kDy, kOpacity);
    ExpectFourStripTable(strips);
    // One unit of phase runs every strip once through its path, back to where it was.
    UpdateWaterfallStrips(strips, 1.0f, kStrength, kDx, kDy, kOpacity);
    ExpectFourStripTable(strips);
}

TEST(WaterfallStripsTest, StripsStayOnTheirPath)
{
    std::vector<WaterfallStrip> strips(3);
    for (float phase : {0.1f, 2.7f, 123.45f}) {
        UpdateWaterfallStrips(strips, phase, 1.0f, 1.0f, 0.0f, kOpacity);
        for (const WaterfallStrip& strip : strips) {
            EXPECT_LE(strip.shiftX, 0.0f);
            EXPECT_GT(strip.shiftX, -1.0f);
            EXPECT_GE(strip.transluency, 0.0f);
            EXPECT_LE(strip.transluency, kOpacity);
        }
    }
    std::vector<WaterfallStrip> none;
    UpdateWaterfallStrips(none, 0.5f, 1.0f, 1.0f, 0.0f, kOpacity);
    EXPECT_TRUE(none.empty());
}

// A damaged record's count must not become gigabytes of strips.
TEST(WaterfallStripsTest, StoredCountIsCapped)
{
    EXPECT_EQ(UsableStripCount(0), 0u);
    EXPECT_EQ(UsableStripCount(4), 4u);
    EXPECT_EQ(UsableStripCount(kMaxWaterfallStrips), kMaxWaterfallStrips);
    EXPECT_EQ(UsableStripCount(0xFFFFFFFFu), kMaxWaterfallStrips);
}

}  // namespace
