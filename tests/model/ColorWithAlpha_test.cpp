#include "model/ColorWithAlpha.h"

#include <gtest/gtest.h>

TEST(ColorWithAlphaTest, NewPairIsOpaqueWhite)
{
    const ColorWithAlpha pair;
    EXPECT_EQ(pair.Color().Value(), 0xFFFFFFul);
    EXPECT_EQ(pair.Alpha().Value(), 0u);
    EXPECT_EQ(pair.Alpha().Result(), 255);
    EXPECT_EQ(pair.VertexColor(), 0xFFFFFFFFu);
}

TEST(ColorWithAlphaTest, TransparencyGivesTheAlphaByte)
{
    struct Case {
        unsigned int transparency;
        unsigned char alpha;
    };
    const Case cases[] = {{0, 255}, {50, 127}, {100, 0}, {101, 254}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.transparency);
        ColorWithAlpha pair;
        pair.Alpha().SetValue(c.transparency);
        EXPECT_EQ(pair.Alpha().Result(), c.alpha);
    }

    ColorWithAlpha red;
    red.Color().SetValue(0x000000FF);
    EXPECT_EQ(red.VertexColor(), 0xFFFF0000u);
}

TEST(ColorWithAlphaTest, CopyRecomputesTheAlpha)
{
    ColorWithAlpha source;
    source.Color().SetValue(0x00102030);
    source.Alpha().SetValue(50);

    const ColorWithAlpha copy(source);
    EXPECT_EQ(copy.Color().Value(), 0x00102030ul);
    EXPECT_EQ(copy.Alpha().Value(), 50u);
    EXPECT_EQ(copy.Alpha().Result(), 127);
    EXPECT_EQ(copy.Alpha().Scale(), kTransparencyScale);
    EXPECT_EQ(copy.VertexColor(), 0x7F302010u);
    EXPECT_TRUE(copy.Color().Controls().empty());
    EXPECT_EQ(copy.Alpha().Controls().size(), 1u);  // only its own evaluation
}
