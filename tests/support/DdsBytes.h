#pragma once
#include <cstdint>
#include <vector>

// A du/dv picture as the lake keeps its relief: a 4 x 2 V8U8 DirectDraw Surface with two levels
// (8 + 2 texels of 2 bytes) whose pixel bytes count up from `first`. Its 128-byte header puts
// the size at 12 (height) and 16 (width), the level count at 28, the pixel format's flags at 80,
// its bit count at 88 and masks at 92 and 96, and the caps at 108 and 112.
std::vector<uint8_t> BumpDds(uint8_t first);
