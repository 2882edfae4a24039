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

// Views of 10 x 10: a 2 x 2 block changed by 40 levels inside the rectangle (0, 0)-(5, 5), and
// outside it one pixel changed by 9 levels and one by 8, which is within the allowance.
TEST(ScreenChecksTest, ChangedShareCountsInsideOrOutsideTheRectangle)
{
    const ScreenPixels a = Filled(10, 10, 0x404040);
    ScreenPixels b = a;
    for (int y = 1; y <= 2; ++y)
        for (int x = 1; x <= 2; ++x)
            b.pixels[y * 10 + x] = 0x406840;
    b.pixels[0 * 10 + 9] = 0x494040;
    b.pixels[8 * 10 + 8] = 0x404048;
    const RECT r = {0, 0, 5, 5};
    EXPECT_DOUBLE_EQ(ChangedShare(a, b, r), 4.0 / 25);
    EXPECT_DOUBLE_EQ(ChangedShareOutside(a, b, r), 1.0 / 75);
    EXPECT_DOUBLE_EQ(ChangedShare(a, b), 5.0 / 100);
    EXPECT_DOUBLE_EQ(ChangedShareOutside(a, b, RECT{}), 5.0 / 100);
    EXPECT_DOUBLE_EQ(ChangedShareOutside(a, Filled(10, 9, 0x404040), r), 1.0) << "views of different sizes";
}

// The failure box: a rectangle in the window colour with its text, on black, in a small window.
TEST(ScreenChecksTest, ShowsErrorBoxOnlyForALargeEnoughBoxOnBlack)
{
    const COLORREF c = GetSysColor(COLOR_WINDOW);
    const uint32_t box = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    struct Case {
        const char* name;
        uint32_t background;
        int boxWidth, boxHeight;
        bool shown;
    };
    const Case cases[] = {
        {"the saver's box on black", 0x000000, 300, 150, true},
        {"a box on a landscape", 0x507040, 300, 150, false},
        {"a box too small", 0x000000, 90, 50, false},
        {"no box", 0x000000, 0, 0, false},
    };
    for (const Case& k : cases) {
        ScreenPixels shot = Filled(640, 480, k.background);
        for (int y = 165; y < 165 + k.boxHeight; ++y)
            for (int x = 170; x < 170 + k.boxWidth; ++x)
                shot.pixels[y * 640 + x] = box;
        // A line of the text inside the box.
        for (int x = 200; x < 400 && k.boxWidth > 0; ++x)
            shot.pixels[200 * 640 + x] = 0x000000;
        EXPECT_EQ(ShowsErrorBox(shot), k.shown) << k.name;
    }
}

}  // namespace
