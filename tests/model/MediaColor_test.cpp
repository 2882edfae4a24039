#include "model/MediaColor.h"

#include <gtest/gtest.h>

#include <limits>

TEST(MediaColorTest, VertexColorTradesRedAndBlue)
{
    struct Case {
        const char* name;
        unsigned long colour;
        unsigned char alpha;
        uint32_t expected;
    };
    const Case cases[] = {
        {"pure red, opaque", 0x000000FF, 255, 0xFFFF0000},
        {"pure blue, half", 0x00FF0000, 0x80, 0x800000FF},
        {"pure green, clear", 0x0000FF00, 0, 0x0000FF00},
        {"distinct channels", 0x00123456, 0x9A, 0x9A563412},
        {"a stray top byte does not reach alpha", 0xFF000000, 0x10, 0x10000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ColorToVertex(c.colour, c.alpha), c.expected);
    }

    const MediaColor colour(0x00123456);
    EXPECT_EQ(colour.Red(), 0x56);
    EXPECT_EQ(colour.Green(), 0x34);
    EXPECT_EQ(colour.Blue(), 0x12);
}

TEST(MediaColorTest, UnitValueBackToAByte)
{
    struct Case {
        float value;
        unsigned char expected;
    };
    const Case cases[] = {
        {1.0f, 255}, {1.5f, 255}, {0.0f, 0}, {-0.1f, 0},
        {std::numeric_limits<float>::quiet_NaN(), 0},
        {0.5f, 128},    // 127.5 + 0.5
        {0.2f, 51},     // 51 + 0.5 truncated
        {0.998f, 254},  // 254.49 + 0.5 truncated, not 255
        {0.001f, 0},
        {128.0f / 255.0f, 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(UnitToColorByte(c.value), c.expected);
    }
}
