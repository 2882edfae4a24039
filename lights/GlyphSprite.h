#pragma once
#include <cstdint>

// One lit cell as NextGlyphSprite hands it out: where its sprite goes on the back buffer, which
// slice of the glyph strip it shows and how bright it is. The caller sets the half sizes.
struct GlyphSprite {
    enum State { kFading = 0, kSteady = 1, kBright = 2 };

    float hx = 0.0f, hy = 0.0f;     // half width and height in back-buffer pixels
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float leftU = 0.0f, rightU = 1.0f, topV = 0.0f, bottomV = 1.0f;
    uint32_t colorMask = 0xFFFFFFFFu;  // ANDed into the vertex colour; alpha 0 past the last lit cell
    int32_t state = kSteady;
    int32_t column = 0, row = 0;
};
