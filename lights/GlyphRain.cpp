#include "lights/GlyphRain.h"

#include <cstdlib>
#include <new>

#include "lights/GlyphRainCursor.h"
#include "lights/GlyphSprite.h"
#include "runtime/PicturePlacement.h"

uint64_t GlyphCellsAlong(uint32_t pictureSide, uint32_t cellSize)
{
    return uint64_t(pictureSide) / (cellSize ? cellSize : 1u) + 1;
}

std::unique_ptr<GlyphRain> CreateGlyphRain(const GlyphRainSettings& settings, uint32_t pictureWidth,
                                           uint32_t pictureHeight)
{
    if (settings.glyphRows < 1)
        return nullptr;
    const uint64_t cols = GlyphCellsAlong(pictureWidth, settings.cellSize);
    const uint64_t rows = GlyphCellsAlong(pictureHeight, settings.cellSize);
    if (cols > GlyphRain::kMaxCells || rows > GlyphRain::kMaxCells || cols * rows > GlyphRain::kMaxCells)
        return nullptr;
    std::unique_ptr<GlyphRain> rain(new (std::nothrow) GlyphRain());
    if (!rain)
        return nullptr;
    rain->cols = int32_t(cols);
    rain->rows = int32_t(rows);
    // A cell holds its glyph in 8 bits.
    rain->glyphRows = settings.glyphRows > int32_t(GlyphRain::kGlyphMask) ? int32_t(GlyphRain::kGlyphMask)
                                                                            : settings.glyphRows;
    rain->spawnIndex = int32_t(settings.spawnIndex);
    rain->keepsChanging = int32_t(settings.keepsChanging);
    rain->flicker = settings.flicker != 0 ? 1 : 0;
    rain->randomHead = settings.flow != 1 ? 1 : 0;
    rain->inPlace = settings.flow != 0 ? 1 : 0;
    try {
        rain->cells.assign(size_t(cols * rows), 0u);
        rain->columns.assign(size_t(cols), GlyphRain::Column());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    ReseedGlyphRain(*rain);
    return rain;
}

void ReseedGlyphRain(GlyphRain& rain)
{
    for (uint32_t& cell : rain.cells)
        cell &= ~GlyphRain::kKeepsChanging;
    if (rain.cols < 1 || rain.rows < 1)
        return;
    // Read as unsigned, a count of 0 would ask for four billion picks; more picks than cells
    // only repeat cells.
    int64_t picks = int64_t(rain.keepsChanging) - 1;
    if (picks > int64_t(rain.cells.size()))
        picks = int64_t(rain.cells.size());
    for (int64_t i = 0; i < picks; ++i) {
        const int32_t column = rand() % rain.cols;
        const int32_t row = rand() % rain.rows;
        rain.Cell(row, column) |= GlyphRain::kKeepsChanging;
    }
}

void SetGlyphCell(GlyphRain& rain, int32_t row, int glyph, int32_t column)
{
    if (row >= rain.rows || column < 0 || column >= rain.cols)
        return;
    if (row < 0) {
        // The glyphs and fade counters move down one row; the flags stay with their cells. A lit
        // cell whose upper neighbour is empty keeps its glyph one more frame, fading out.
        for (int32_t r = rain.rows - 1; r >= 1; --r) {
            uint32_t& below = rain.Cell(r, column);
            const uint32_t above = rain.Cell(r - 1, column);
            if (GlyphRain::Glyph(below) != 0 && GlyphRain::Glyph(above) == 0) {
                GlyphRain::SetFade(below, -1);
            } else {
                GlyphRain::SetGlyph(below, GlyphRain::Glyph(above));
                GlyphRain::SetFade(below, GlyphRain::Fade(above));
            }
            below |= GlyphRain::kChanged;
        }
    }
    uint32_t& target = rain.Cell(row < 0 ? 0 : row, column);
    GlyphRain::SetGlyph(target, glyph);
    target |= GlyphRain::kChanged;
    if (glyph != 0) {
        int fade = 0;
        if (row >= 0)
            fade = rand() % 2 + 1;
        GlyphRain::SetFade(target, fade);
    }
}

void StepGlyphColumns(GlyphRain& rain, bool blank)
{
    for (int32_t c = 0; c < rain.cols; ++c) {
        GlyphRain::Column& column = rain.columns[size_t(c)];
        if (column.pause != 0) {
            --column.pause;
        } else {
            if (column.remaining > 0) {
                int glyph = 0;
                if (!blank)
                    glyph = rand() % rain.glyphRows + 1;
                SetGlyphCell(rain, column.head, glyph, c);
                --column.remaining;
            } else {
                SetGlyphCell(rain, column.head, 0, c);
            }
            // A head past the last row writes nothing, so it stops there rather than counting on.
            if (column.head >= 0 && column.head < rain.rows)
                ++column.head;
        }
        if (rand() % 10 == 0) {
            int pause = rand() % 5;
            pause += rand() % 5;
            column.pause = pause;
        }
    }
}

int GetGlyphSpawnDivisor(int32_t spawnIndex)
{
    struct Step {
        int32_t below;
        int divisor;
    };
    static const Step kSteps[] = {{10, 85}, {15, 60}, {20, 45}, {25, 25}, {30, 20}, {35, 15},
                                  {45, 10}, {50, 8},  {55, 7},  {65, 5},  {80, 3},  {90, 2}};
    for (const Step& step : kSteps)
        if (spawnIndex < step.below)
            return step.divisor;
    return 1;
}

void SpawnGlyphDrops(GlyphRain& rain)
{
    if (rain.cols < 1 || rain.rows < 1)
        return;
    // A grid of one column has no room for flashes.
    if (rain.flicker && rain.cols / 2 > 0) {
        const int flashes = (rand() % ((rain.cols / 2) * 10)) / 10 - 1;
        for (int i = 0; i < flashes; ++i) {
            const int32_t column = rand() % rain.cols;
            const int32_t row = rand() % rain.rows;
            uint32_t& cell = rain.Cell(row, column);
            if (GlyphRain::Glyph(cell) != 0 && GlyphRain::Fade(cell) == 0) {
                GlyphRain::SetFade(cell, rand() % 20);
                cell |= GlyphRain::kChanged;
            }
        }
    }
    const int divisor = GetGlyphSpawnDivisor(rain.spawnIndex);
    for (GlyphRain::Column& column : rain.columns) {
        if (column.remaining > 0)
            continue;
        if (rand() % divisor != 0)
            continue;
        column.remaining = rand() % rain.rows + 3;
        int pause = rand() % 5;
        pause += rand() % 5;
        column.pause = pause;
        // Three starts in four only move the head, erasing downward.
        if (rand() % 4 != 0)
            column.remaining = 0;
        bool inPlace = rain.inPlace != 0;
        if (rain.randomHead && rain.inPlace)
            inPlace = (rand() & 1) != 0;
        if (inPlace)
            column.head = rain.rows / 2 > 0 ? rand() % (rain.rows / 2) : 0;  // one row: its only row
        else
            column.head = -1;
    }
    if (rand() % 500 == 0)
        ReseedGlyphRain(rain);
}

namespace {

// Counts fades down, lets fading cells go, and gives changing cells a new glyph (which may be none).
void AgeCell(GlyphRain& rain, uint32_t& cell)
{
    if (!(cell & GlyphRain::kChanged))
        return;
    cell &= ~GlyphRain::kChanged;
    const int fade = GlyphRain::Fade(cell);
    if (fade > 0) {
        GlyphRain::SetFade(cell, fade - 1);
        cell |= GlyphRain::kChanged;
    } else if (fade < 0) {
        GlyphRain::SetFade(cell, fade + 1);
        if (fade + 1 == 0)
            GlyphRain::SetGlyph(cell, 0);
        cell |= GlyphRain::kChanged;
    }
    if ((cell & GlyphRain::kKeepsChanging) && GlyphRain::Glyph(cell) != 0) {
        GlyphRain::SetGlyph(cell, rand() % rain.glyphRows);
        cell |= GlyphRain::kChanged;
    }
}

}  // namespace

bool NextGlyphSprite(GlyphSprite& sprite, GlyphRainCursor& cursor)
{
    sprite.column = 0;
    sprite.row = 0;
    GlyphRain* rain = cursor.rain.get();
    if (rain && cursor.column >= 0 && cursor.row >= 0) {
        const ScreenQuad& placed = GetPicturePlacement().placedQuad;
        const float left = placed.corners[ScreenQuad::kBottomLeft].x;
        const float top = placed.corners[ScreenQuad::kTopLeft].y;
        while (cursor.row < rain->rows) {
            const int32_t row = cursor.row;
            const int32_t column = cursor.column;
            if (++cursor.column >= rain->cols) {
                cursor.column = 0;
                ++cursor.row;
            }
            if (column >= rain->cols)
                continue;
            uint32_t& cell = rain->Cell(row, column);
            const int glyph = GlyphRain::Glyph(cell);
            if (glyph == 0) {
                AgeCell(*rain, cell);
                continue;
            }
            ++cursor.visible;
            sprite.x = sprite.hx + left + float(column) * 2.0f * sprite.hx;
            sprite.y = sprite.hy + top + float(row) * 2.0f * sprite.hy;
            sprite.z = 0.0f;
            sprite.leftU = 0.0f;
            sprite.rightU = 1.0f;
            sprite.topV = float(glyph - 1) / float(rain->glyphRows);
            sprite.bottomV = float(glyph) / float(rain->glyphRows);
            sprite.colorMask = 0xFFFFFFFFu;
            const int fade = GlyphRain::Fade(cell);
            if (fade > 0 || (cell & GlyphRain::kKeepsChanging))
                sprite.state = GlyphSprite::kBright;
            else if (fade == 0)
                sprite.state = GlyphSprite::kSteady;
            else
                sprite.state = GlyphSprite::kFading;
            sprite.column = column;
            sprite.row = row;
            AgeCell(*rain, cell);
            return true;
        }
    }
    sprite.colorMask &= 0x00FFFFFFu;
    return false;
}
