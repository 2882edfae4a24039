#include "lights/GlyphRain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "lights/GlyphRainCursor.h"
#include "lights/GlyphSprite.h"
#include "runtime/PicturePlacement.h"
#include "runtime/ScreenQuad.h"
#include "support/KeptPicturePlacement.h"

namespace {

// A cell from its parts, written out here rather than through the grid's helpers.
uint32_t CellOf(int glyph, int fade, bool changed = false, bool keepsChanging = false)
{
    return uint32_t(glyph) | uint32_t(uint8_t(int8_t(fade))) << 8 | (changed ? 1u << 16 : 0u) |
           (keepsChanging ? 1u << 17 : 0u);
}

// A grid of cols x rows cells (cell size 1 over a picture one pixel smaller), no changing cells.
std::unique_ptr<GlyphRain> MakeRain(int cols, int rows, int glyphRows, int flow = 0, int flicker = 0,
                                    uint32_t spawnIndex = 20, uint32_t keepsChanging = 0)
{
    GlyphRainSettings settings;
    settings.cellSize = 1;
    settings.spawnIndex = spawnIndex;
    settings.keepsChanging = keepsChanging;
    settings.flicker = flicker;
    settings.flow = flow;
    settings.glyphRows = glyphRows;
    std::unique_ptr<GlyphRain> rain = CreateGlyphRain(settings, uint32_t(cols - 1), uint32_t(rows - 1));
    EXPECT_NE(rain, nullptr);
    return rain;
}

// Whether exactly `draws` rand() values have been drawn since srand(seed): the next value is the
// one that follows them. Reseeds the sequence.
bool DrewExactly(unsigned seed, int draws)
{
    const int next = rand();
    srand(seed);
    for (int i = 0; i < draws; ++i)
        rand();
    return rand() == next;
}

TEST(GlyphRain, ANewGridIsEmptyWithIdleColumnsAndTheSettingsFlags)
{
    struct Case {
        int flow;
        uint8_t randomHead, inPlace;
    };
    for (const Case& c : {Case{0, 1, 0}, Case{1, 0, 1}, Case{2, 1, 1}, Case{-3, 1, 1}}) {
        SCOPED_TRACE(c.flow);
        GlyphRainSettings settings;
        settings.cellSize = 16;
        settings.flow = c.flow;
        settings.flicker = 7;
        settings.spawnIndex = 33;
        settings.keepsChanging = 0;
        settings.glyphRows = 12;
        std::unique_ptr<GlyphRain> rain = CreateGlyphRain(settings, 100, 47);
        ASSERT_NE(rain, nullptr);
        EXPECT_EQ(rain->cols, 7);  // 100 / 16 + 1
        EXPECT_EQ(rain->rows, 3);  // 47 / 16 + 1
        EXPECT_EQ(rain->glyphRows, 12);
        EXPECT_EQ(rain->spawnIndex, 33);
        EXPECT_EQ(rain->flicker, 1);
        EXPECT_EQ(rain->randomHead, c.randomHead);
        EXPECT_EQ(rain->inPlace, c.inPlace);
        ASSERT_EQ(rain->cells.size(), 21u);
        for (uint32_t cell : rain->cells)
            EXPECT_EQ(cell, 0u);
        ASSERT_EQ(rain->columns.size(), 7u);
        for (const GlyphRain::Column& column : rain->columns) {
            EXPECT_EQ(column.remaining, 0);
            EXPECT_EQ(column.pause, 0);
            EXPECT_EQ(column.head, 0);
        }
    }
}

TEST(GlyphRain, GridsThatCannotBeMadeAreNone)
{
    GlyphRainSettings settings;
    settings.cellSize = 1;
    // A strip without glyphs (a glyph picture of width 0).
    settings.glyphRows = 0;
    EXPECT_EQ(CreateGlyphRain(settings, 10, 10), nullptr);
    // Beyond a million cells: 4097 x 4097 cells, and a side of four billion cells.
    settings.glyphRows = 3;
    EXPECT_EQ(CreateGlyphRain(settings, 4096, 4096), nullptr);
    EXPECT_EQ(CreateGlyphRain(settings, 0xFFFFFFFFu, 0), nullptr);
    // The largest allowed: 1024 x 1024 cells.
    std::unique_ptr<GlyphRain> rain = CreateGlyphRain(settings, 1023, 1023);
    ASSERT_NE(rain, nullptr);
    EXPECT_EQ(rain->cells.size(), size_t(1) << 20);
    // A cell size of 0 counts as 1; glyphs above 255 do not fit a cell.
    EXPECT_EQ(GlyphCellsAlong(20, 0), 21u);
    EXPECT_EQ(GlyphCellsAlong(20, 7), 3u);
    settings.glyphRows = 1000;
    rain = CreateGlyphRain(settings, 3, 3);
    ASSERT_NE(rain, nullptr);
    EXPECT_EQ(rain->glyphRows, 255);
}

TEST(GlyphRain, ScrollingMovesGlyphsDownAndKeepsALitCellUnderAGapFadingOut)
{
    std::unique_ptr<GlyphRain> rain = MakeRain(2, 4, 9);
    rain->Cell(0, 0) = CellOf(4, 0);
    rain->Cell(0, 1) = CellOf(5, 0);
    rain->Cell(2, 1) = CellOf(7, 2, false, true);
    rain->Cell(3, 1) = CellOf(9, 0);
    const uint32_t untouched = rain->Cell(0, 0);
    srand(7);
    SetGlyphCell(*rain, -1, 3, 1);
    EXPECT_TRUE(DrewExactly(7, 0)) << "scrolling in draws no random number";
    // Row 3 takes row 2's glyph and fade; row 2, lit under an empty row 1, keeps its glyph and
    // fades out; its keeps-changing flag stays where it was.
    EXPECT_EQ(rain->Cell(3, 1), CellOf(7, 2, true));
    EXPECT_EQ(rain->Cell(2, 1), CellOf(7, -1, true, true));
    EXPECT_EQ(rain->Cell(1, 1), CellOf(5, 0, true));
    EXPECT_EQ(rain->Cell(0, 1), CellOf(3, 0, true));
    EXPECT_EQ(rain->Cell(0, 0), untouched);

    // Scrolling a blank in leaves the top cell's fade as it was.
    rain->Cell(0, 0) = CellOf(6, 4);
    SetGlyphCell(*rain, -1, 0, 0);
    EXPECT_EQ(rain->Cell(0, 0), CellOf(0, 4, true));
    EXPECT_EQ(rain->Cell(1, 0), CellOf(6, 4, true));
}

TEST(GlyphRain, WritingInPlaceGivesABrightFadeAndRowsPastTheGridWriteNothing)
{
    std::unique_ptr<GlyphRain> rain = MakeRain(1, 4, 9);
    srand(11);
    const int fade = rand() % 2 + 1;
    srand(11);
    SetGlyphCell(*rain, 2, 6, 0);
    EXPECT_EQ(rain->Cell(2, 0), CellOf(6, fade, true));
    EXPECT_EQ(rain->Cell(1, 0), 0u);
    // An erasing write keeps the fade and draws nothing.
    rain->Cell(1, 0) = CellOf(2, 3);
    SetGlyphCell(*rain, 1, 0, 0);
    EXPECT_EQ(rain->Cell(1, 0), CellOf(0, 3, true));
    EXPECT_TRUE(DrewExactly(11, 1));
    const std::vector<uint32_t> before = rain->cells;
    SetGlyphCell(*rain, 4, 6, 0);
    SetGlyphCell(*rain, 1000, 6, 0);
    EXPECT_EQ(rain->cells, before);
}

TEST(GlyphRain, AColumnWritesItsDropThenErasesAndWaitsWhilePaused)
{
    std::unique_ptr<GlyphRain> rain = MakeRain(1, 6, 6);
    // A drop of two glyphs from row 1.
    rain->columns[0] = {2, 0, 1};
    const unsigned seed = 21;
    for (int steps = 1; steps <= 8; ++steps) {
        SCOPED_TRACE(steps);
        // The column's life worked out step by step, with the draws in their order.
        srand(seed);
        std::vector<uint32_t> cells(6, 0u);
        int remaining = 2, pause = 0, head = 1;
        for (int step = 0; step < steps; ++step) {
            if (pause != 0) {
                --pause;
            } else {
                if (remaining > 0) {
                    const int glyph = rand() % 6 + 1;
                    const int fade = rand() % 2 + 1;
                    cells[size_t(head)] = CellOf(glyph, fade, true);
                    --remaining;
                } else if (head < 6) {
                    cells[size_t(head)] = (cells[size_t(head)] & ~0xFFu) | 1u << 16;
                }
                if (head < 6)
                    ++head;
            }
            if (rand() % 10 == 0) {
                int p = rand() % 5;
                p += rand() % 5;
                pause = p;
            }
        }
        const int next = rand();

        std::unique_ptr<GlyphRain> run = MakeRain(1, 6, 6);
        run->columns[0] = {2, 0, 1};
        srand(seed);
        for (int step = 0; step < steps; ++step)
            StepGlyphColumns(*run, false);
        EXPECT_EQ(run->cells, cells);
        EXPECT_EQ(run->columns[0].remaining, remaining);
        EXPECT_EQ(run->columns[0].pause, pause);
        EXPECT_EQ(run->columns[0].head, head);
        EXPECT_EQ(rand(), next);
    }
}

TEST(GlyphRain, ABlankStepWritesEmptyCellsAndAHeadStopsBelowTheGrid)
{
    std::unique_ptr<GlyphRain> rain = MakeRain(1, 3, 6);
    for (int row = 0; row < 3; ++row)
        rain->Cell(row, 0) = CellOf(4, 0);
    rain->columns[0] = {10, 0, 0};
    srand(5);
    for (int step = 0; step < 8; ++step) {
        rain->columns[0].pause = 0;
        StepGlyphColumns(*rain, true);
    }
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(GlyphRain::Glyph(rain->Cell(row, 0)), 0) << row;
    EXPECT_EQ(rain->columns[0].head, 3);
    EXPECT_EQ(rain->columns[0].remaining, 2);
}

TEST(GlyphRain, SpawnDivisorTable)
{
    const std::pair<int, int> table[] = {
        {-5, 85}, {0, 85}, {1, 85},  {9, 85},  {10, 60}, {14, 60}, {15, 45}, {19, 45}, {20, 25},
        {24, 25}, {25, 20}, {29, 20}, {30, 15}, {34, 15}, {35, 10}, {44, 10}, {45, 8},  {49, 8},
        {50, 7},  {54, 7},  {55, 5},  {64, 5},  {65, 3},  {79, 3},  {80, 2},  {89, 2},  {90, 1},
        {100, 1}, {1000, 1}};
    for (const auto& entry : table)
        EXPECT_EQ(GetGlyphSpawnDivisor(entry.first), entry.second) << entry.first;
}

TEST(GlyphRain, DropsStartInTheOrderOfTheirDraws)
{
    struct Case {
        int flow;
        const char* name;
    };
    for (const Case& c : {Case{0, "from the top"}, Case{1, "in place"}, Case{2, "either"}}) {
        SCOPED_TRACE(c.name);
        // Spawn index 100: every idle column starts a drop on every step.
        std::unique_ptr<GlyphRain> rain = MakeRain(3, 8, 5, c.flow, 0, 100);
        rain->columns[1].remaining = 4;  // busy: left alone, no draw
        const unsigned seed = 33 + unsigned(c.flow);
        srand(seed);
        std::vector<GlyphRain::Column> expected = rain->columns;
        for (int column : {0, 2}) {
            GlyphRain::Column& e = expected[size_t(column)];
            rand();  // rand() % 1
            e.remaining = rand() % 8 + 3;
            int pause = rand() % 5;
            pause += rand() % 5;
            e.pause = pause;
            if (rand() % 4 != 0)
                e.remaining = 0;
            bool inPlace = c.flow != 0;
            if (c.flow == 2)
                inPlace = (rand() & 1) != 0;
            e.head = inPlace ? rand() % 4 : -1;
        }
        rand();  // rand() % 500: a reseed without changing cells draws nothing
        const int next = rand();
        srand(seed);
        SpawnGlyphDrops(*rain);
        for (size_t i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(rain->columns[i].remaining, expected[i].remaining);
            EXPECT_EQ(rain->columns[i].pause, expected[i].pause);
            EXPECT_EQ(rain->columns[i].head, expected[i].head);
        }
        EXPECT_EQ(rand(), next);
    }
}

TEST(GlyphRain, FlickerFlashesSteadyGlyphs)
{
    std::unique_ptr<GlyphRain> rain = MakeRain(40, 2, 5, 0, 1, 1);
    for (uint32_t& cell : rain->cells)
        cell = CellOf(3, 0);
    for (GlyphRain::Column& column : rain->columns)
        column.remaining = 1;  // no starts: only the flashes draw
    std::vector<uint32_t> expected = rain->cells;
    srand(2);
    const int flashes = (rand() % 200) / 10 - 1;
    ASSERT_GT(flashes, 2) << "pick another seed";
    for (int i = 0; i < flashes; ++i) {
        const int column = rand() % 40;
        const int row = rand() % 2;
        uint32_t& cell = expected[size_t(row) * 40 + size_t(column)];
        if ((cell >> 8 & 0xFF) == 0)
            cell = CellOf(3, rand() % 20, true);
    }
    rand();  // rand() % 500
    const int next = rand();
    srand(2);
    SpawnGlyphDrops(*rain);
    EXPECT_EQ(rain->cells, expected);
    EXPECT_EQ(rand(), next);
}

TEST(GlyphRain, KeepsChangingPicksCountMinusOneCells)
{
    // 0 and 1 pick nothing and draw nothing.
    for (uint32_t count : {0u, 1u}) {
        srand(9);
        std::unique_ptr<GlyphRain> rain = MakeRain(6, 5, 4, 0, 0, 20, count);
        EXPECT_TRUE(DrewExactly(9, 0)) << count;
        for (uint32_t cell : rain->cells)
            EXPECT_EQ(cell & GlyphRain::kKeepsChanging, 0u) << count;
    }
    // 4: three picks, column first, then row.
    srand(9);
    std::set<std::pair<int, int>> picked;
    for (int i = 0; i < 3; ++i) {
        const int column = rand() % 6;
        const int row = rand() % 5;
        picked.insert({row, column});
    }
    srand(9);
    std::unique_ptr<GlyphRain> rain = MakeRain(6, 5, 4, 0, 0, 20, 4);
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 6; ++column)
            EXPECT_EQ((rain->Cell(row, column) & GlyphRain::kKeepsChanging) != 0,
                      picked.count({row, column}) == 1)
                << row << ", " << column;
    // Reseeding clears the old picks first.
    rain->keepsChanging = 0;
    ReseedGlyphRain(*rain);
    for (uint32_t cell : rain->cells)
        EXPECT_EQ(cell & GlyphRain::kKeepsChanging, 0u);
    // A count beyond the cells (a stored 0xFFFFFFFF reads as four billion) picks once per cell.
    srand(9);
    rain = MakeRain(2, 2, 4, 0, 0, 20, 0x7FFFFFFFu);
    EXPECT_TRUE(DrewExactly(9, 8));
}

TEST(GlyphRain, SingleColumnAndSingleRowGridsNeverDivideByZero)
{
    // One column with flicker: no flashes; one row with in-place starts: the head is row 0.
    std::unique_ptr<GlyphRain> column = MakeRain(1, 6, 5, 2, 1, 100);
    std::unique_ptr<GlyphRain> row = MakeRain(7, 1, 5, 1, 1, 100);
    srand(1);
    for (int step = 0; step < 200; ++step) {
        for (GlyphRain* rain : {column.get(), row.get()}) {
            StepGlyphColumns(*rain, false);
            SpawnGlyphDrops(*rain);
        }
        for (const GlyphRain::Column& c : row->columns)
            EXPECT_TRUE(c.head == 0 || c.head == 1) << c.head;
    }
}

class NextGlyphSpriteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The picture's top-left corner at (10, 20) of the back buffer.
        ScreenQuad quad;
        InitScreenQuad(quad);
        const float corners[4][2] = {{10, 120}, {10, 20}, {210, 120}, {210, 20}};
        for (int i = 0; i < 4; ++i) {
            quad.corners[i].x = corners[i][0];
            quad.corners[i].y = corners[i][1];
        }
        SetPicturePlacement(quad, 640, 480, 200, 100, 640, 480);
    }

    const KeptPicturePlacement m_keptPlacement;
};

TEST_F(NextGlyphSpriteTest, VisitsRowByRowGivingStatesAndAgesEveryVisitedCell)
{
    GlyphRainCursor cursor;
    cursor.rain = MakeRain(3, 2, 4);
    GlyphRain& rain = *cursor.rain;
    rain.Cell(0, 0) = CellOf(0, 0, true);          // empty: only aged
    rain.Cell(0, 1) = CellOf(2, 1, true);          // fresh: bright, fade counts down
    rain.Cell(0, 2) = CellOf(3, 0);                // steady, nothing to age
    rain.Cell(1, 0) = CellOf(4, -1, true);         // fading out: drawn once, then emptied
    rain.Cell(1, 1) = CellOf(0, 0, true, true);    // changing but empty: nothing drawn
    rain.Cell(1, 2) = CellOf(1, 0, true, true);    // changing: bright, new glyph
    srand(3);
    const int newGlyph = rand() % 4;
    srand(3);

    struct Expected {
        int column, row, state;
        float topV, bottomV;
    };
    const Expected expected[] = {{1, 0, GlyphSprite::kBright, 0.25f, 0.5f},
                                 {2, 0, GlyphSprite::kSteady, 0.5f, 0.75f},
                                 {0, 1, GlyphSprite::kFading, 0.75f, 1.0f},
                                 {2, 1, GlyphSprite::kBright, 0.0f, 0.25f}};
    GlyphSprite sprite;
    sprite.hx = 4.0f;
    sprite.hy = 5.0f;
    for (const Expected& e : expected) {
        SCOPED_TRACE(testing::Message() << e.column << ", " << e.row);
        ASSERT_TRUE(NextGlyphSprite(sprite, cursor));
        EXPECT_EQ(sprite.column, e.column);
        EXPECT_EQ(sprite.row, e.row);
        EXPECT_EQ(sprite.state, e.state);
        EXPECT_FLOAT_EQ(sprite.x, 4.0f + 10.0f + 8.0f * float(e.column));
        EXPECT_FLOAT_EQ(sprite.y, 5.0f + 20.0f + 10.0f * float(e.row));
        EXPECT_EQ(sprite.z, 0.0f);
        EXPECT_EQ(sprite.leftU, 0.0f);
        EXPECT_EQ(sprite.rightU, 1.0f);
        EXPECT_FLOAT_EQ(sprite.topV, e.topV);
        EXPECT_FLOAT_EQ(sprite.bottomV, e.bottomV);
        EXPECT_EQ(sprite.colorMask, 0xFFFFFFFFu);
    }
    EXPECT_EQ(cursor.visible, 4);

    // Past the last lit cell: the sprite keeps the last one's values with alpha 0.
    EXPECT_FALSE(NextGlyphSprite(sprite, cursor));
    EXPECT_EQ(sprite.colorMask, 0x00FFFFFFu);
    EXPECT_FLOAT_EQ(sprite.x, 4.0f + 10.0f + 16.0f);
    EXPECT_EQ(sprite.column, 0);
    EXPECT_EQ(sprite.row, 0);
    EXPECT_FALSE(NextGlyphSprite(sprite, cursor));
    EXPECT_EQ(cursor.visible, 4);

    EXPECT_EQ(rain.Cell(0, 0), CellOf(0, 0));
    EXPECT_EQ(rain.Cell(0, 1), CellOf(2, 0, true));
    EXPECT_EQ(rain.Cell(0, 2), CellOf(3, 0));
    EXPECT_EQ(rain.Cell(1, 0), CellOf(0, 0, true));
    EXPECT_EQ(rain.Cell(1, 1), CellOf(0, 0, false, true));
    EXPECT_EQ(rain.Cell(1, 2), CellOf(newGlyph, 0, true, true));
    EXPECT_TRUE(DrewExactly(3, 1)) << "one new glyph was drawn";

    // The next frame: the counted-down head is steady now; the faded cell stays empty.
    cursor.column = cursor.row = 0;
    ASSERT_TRUE(NextGlyphSprite(sprite, cursor));
    EXPECT_EQ(sprite.state, GlyphSprite::kSteady);
    EXPECT_EQ(rain.Cell(0, 1), CellOf(2, 0));
}

TEST_F(NextGlyphSpriteTest, WithoutAGridThereIsNoSprite)
{
    GlyphRainCursor cursor;
    GlyphSprite sprite;
    sprite.column = 3;
    EXPECT_FALSE(NextGlyphSprite(sprite, cursor));
    EXPECT_EQ(sprite.colorMask, 0x00FFFFFFu);
    EXPECT_EQ(sprite.column, 0);
}

// Steps and walks as the layer does per frame; reports whether any bright sprite was seen.
bool AnyBrightSprite(GlyphRainCursor& cursor, int frames, int& lit)
{
    bool bright = false;
    lit = 0;
    GlyphSprite sprite;
    const int capacity = cursor.rain->cols * cursor.rain->rows;
    for (int frame = 0; frame < frames; ++frame) {
        cursor.column = cursor.row = 0;
        cursor.previousVisible = cursor.visible;
        cursor.visible = 0;
        StepGlyphColumns(*cursor.rain, cursor.previousVisible >= capacity);
        SpawnGlyphDrops(*cursor.rain);
        for (int i = 0; i < capacity; ++i)
            if (NextGlyphSprite(sprite, cursor) && sprite.state == GlyphSprite::kBright)
                bright = true;
        lit = std::max(lit, cursor.visible);
    }
    return bright;
}

TEST_F(NextGlyphSpriteTest, DropsFedAtTheTopAreNeverBrightAndDropsInPlaceAre)
{
    srand(17);
    GlyphRainCursor top;
    top.rain = MakeRain(12, 10, 8, 0, 0, 60, 0);
    int lit = 0;
    EXPECT_FALSE(AnyBrightSprite(top, 300, lit));
    EXPECT_GT(lit, 0) << "no drop fell";
    GlyphRainCursor inPlace;
    inPlace.rain = MakeRain(12, 10, 8, 1, 0, 60, 0);
    EXPECT_TRUE(AnyBrightSprite(inPlace, 300, lit));
}

}  // namespace
