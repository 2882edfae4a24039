#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Tileable value noise: random lattice values, smoothly interpolated, wrapping at the picture's
// edges so a repeating texture shows no seam. Octaves from firstPeriod down to 4 pixels, each of
// half the weight; size must be a multiple of firstPeriod. Values roughly in [0, 1], row by row.
std::vector<float> TileableNoise(unsigned size, uint32_t seed, unsigned firstPeriod);
