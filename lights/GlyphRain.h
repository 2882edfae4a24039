#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "lights/GlyphRainSettings.h"

struct GlyphRainCursor;
struct GlyphSprite;

// The state of a falling-glyph grid: square cells over the picture, row by row with the columns
// fastest, and one drop record per column. Every random choice is its own rand() call, made in
// the order the steps below name them, so a seeded run always gives the same rain.
struct GlyphRain {
    // One cell in 32 bits: the glyph (0 empty, 1..G a slice of the strip), a signed fade counter
    // (above 0: bright for that many frames; below 0: fading out), and two flags.
    static constexpr uint32_t kGlyphMask = 0xFFu;
    static constexpr int kFadeShift = 8;
    static constexpr uint32_t kFadeMask = 0xFFu << kFadeShift;
    static constexpr uint32_t kChanged = 1u << 16;        // the cell is aged on the next visit
    static constexpr uint32_t kKeepsChanging = 1u << 17;  // the cell takes a new glyph every frame
    // Larger grids are not made: their sprites alone would take hundreds of megabytes.
    static constexpr uint64_t kMaxCells = 1u << 20;

    struct Column {
        int32_t remaining = 0;  // glyphs the drop still writes
        int32_t pause = 0;      // steps the column waits
        int32_t head = 0;       // row written next; -1: the column scrolls down, fed at the top
    };

    int32_t cols = 0;
    int32_t rows = 0;
    int32_t glyphRows = 1;
    int32_t spawnIndex = 1;
    int32_t keepsChanging = 0;
    int32_t flicker = 0;
    uint8_t randomHead = 0;
    uint8_t inPlace = 0;
    std::vector<uint32_t> cells;
    std::vector<Column> columns;

    uint32_t& Cell(int32_t row, int32_t column) { return cells[size_t(row) * size_t(cols) + size_t(column)]; }
    uint32_t Cell(int32_t row, int32_t column) const { return cells[size_t(row) * size_t(cols) + size_t(column)]; }

    static int Glyph(uint32_t cell) { return int(cell & kGlyphMask); }
    static int Fade(uint32_t cell) { return int(int8_t(uint8_t((cell & kFadeMask) >> kFadeShift))); }
    static void SetGlyph(uint32_t& cell, int glyph) { cell = (cell & ~kGlyphMask) | (uint32_t(glyph) & kGlyphMask); }
    static void SetFade(uint32_t& cell, int fade)
    {
        cell = (cell & ~kFadeMask) | (uint32_t(uint8_t(int8_t(fade))) << kFadeShift);
    }
};

// Cells per side for a picture side: side / cell size + 1 (a cell size of 0 counts as 1).
uint64_t GlyphCellsAlong(uint32_t pictureSide, uint32_t cellSize);

// A grid over a picture of that size, every cell empty and every column idle at row 0, then
// seeded with its changing cells. None when the strip has no glyph (G < 1) or the grid would be
// larger than GlyphRain::kMaxCells or cannot be allocated.
std::unique_ptr<GlyphRain> CreateGlyphRain(const GlyphRainSettings& settings, uint32_t pictureWidth,
                                           uint32_t pictureHeight);

// Picks the cells that keep changing again: keeps-changing count - 1 random cells (a cell may be
// picked twice; never more picks than there are cells).
void ReseedGlyphRain(GlyphRain& rain);

// Writes a glyph (0 erases) into column c at row a; a negative row first scrolls the column one
// row down and writes at the top. Rows past the grid write nothing.
void SetGlyphCell(GlyphRain& rain, int32_t row, int glyph, int32_t column);

// One step of every column: a paused column waits, any other writes its next glyph (a blank one
// when blank is set, or an erasing one when its drop is spent) and moves its head down.
void StepGlyphColumns(GlyphRain& rain, bool blank);

// One in how many frames an idle column starts a drop, for a spawn index.
int GetGlyphSpawnDivisor(int32_t spawnIndex);

// Flicker flashes, new drops for idle columns, and now and then new changing cells.
void SpawnGlyphDrops(GlyphRain& rain);

// The next lit cell from the cursor on, filled into the sprite (the caller sets hx and hy first);
// every cell passed on the way, the result included, is aged. False when no lit cell is left: the
// sprite keeps its values with its colour mask's alpha 0.
bool NextGlyphSprite(GlyphSprite& sprite, GlyphRainCursor& cursor);
