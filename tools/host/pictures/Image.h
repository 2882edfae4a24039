#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// An 8-bit picture held in memory: 1 (grey), 2 (V8U8 pairs: u then v, signed), 3 (RGB) or 4
// (RGBA) bytes per pixel, rows top-down without padding.
struct Image {
    unsigned width = 0;
    unsigned height = 0;
    unsigned channels = 0;
    std::vector<uint8_t> bytes;

    Image() = default;
    Image(unsigned w, unsigned h, unsigned c) : width(w), height(h), channels(c), bytes(size_t(w) * h * c) {}

    uint8_t* At(unsigned x, unsigned y) { return &bytes[(size_t(y) * width + x) * channels]; }
    const uint8_t* At(unsigned x, unsigned y) const { return &bytes[(size_t(y) * width + x) * channels]; }
};

// Level 0 first, each next level half the size (at least 1), down to 1 x 1.
using MipChain = std::vector<Image>;
