#pragma once
#include <cstdint>

// What a glyph grid is made from: the layer's parameters after their limits, and the number of
// slices the glyph strip is cut into.
struct GlyphRainSettings {
    uint32_t cellSize = 16;        // picture pixels per cell side, at least 1
    uint32_t spawnIndex = 20;      // drop start rate, 1 to 100
    uint32_t keepsChanging = 10;   // cells picked to change their glyph every frame, plus one
    int32_t flicker = 0;           // not 0: random lit cells flash
    int32_t flow = 0;              // 0 drops scroll in from the top, 1 start inside, other: either
    int32_t glyphRows = 1;         // G: slices of the strip, glyphs 1 to G
};
