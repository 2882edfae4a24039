#include "support/ScreenChecks.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

ScreenPixels Filled(int width, int height, uint32_t colour)
{
    ScreenPixels shot;
    shot.width = width;
    shot.height = height;
    shot.pixels.assign(static_cast<size_t>(width) * height, colour);
    return shot;
}

TEST(ScreenChecksTest, ClearColourPixelsCountsMagentaAndItsNearNeighboursOnly)
{
    struct Case {
        uint32_t colour;
        bool counted;
    };
    const Case cases[] = {
        {0xF00FFF, true},   // the layer's clear colour
        {0xFF00FF, true},   // pure magenta
        {0xD030D0, true},   // near it, as the screen's rounding or a faint blend leaves it
        {0xFF69B4, false},  // pink
        {0x800080, false},  // dark purple
        {0xC040FF, false},  // violet
        {0xFFFFFF, false},
        {0xFF0000, false},
        {0x0000FF, false},
        {0x000000, false},
    };
    for (const Case& c : cases) {
        char name[16];
        std::snprintf(name, sizeof(name), "%06X", c.colour);
        ScreenPixels shot = Filled(8, 4, 0x203040);
        shot.pixels[2 * 8 + 5] = c.colour;
        shot.pixels[3 * 8 + 1] = c.colour;
        POINT first = {};
        EXPECT_EQ(ClearColourPixels(shot, &first), c.counted ? 2 : 0) << name;
        EXPECT_EQ(first.x, c.counted ? 5 : -1) << name;
        EXPECT_EQ(first.y, c.counted ? 2 : -1) << name;
    }
}

TEST(ScreenChecksTest, ClearColourPixelsOfAWholeClearedViewAreAllOfIt)
{
    EXPECT_EQ(ClearColourPixels(Filled(600, 400, 0xF00FFF)), 600 * 400);
    EXPECT_EQ(ClearColourPixels(ScreenPixels()), 0);
}

}  // namespace
