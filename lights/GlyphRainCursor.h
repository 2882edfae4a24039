#pragma once
#include <cstdint>
#include <memory>

#include "lights/GlyphRain.h"

// Where a frame's walk over the grid stands, and how many lit cells it has found; it owns the grid.
struct GlyphRainCursor {
    std::unique_ptr<GlyphRain> rain;
    int32_t column = 0;
    int32_t row = 0;
    int32_t previousVisible = 0;  // lit cells of the last frame
    int32_t visible = 0;          // lit cells so far in this frame
};
