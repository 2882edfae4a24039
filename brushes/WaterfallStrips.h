#pragma once
// The colour strips of the waterfall brush: each slides once along the brush's direction per unit
// of phase, the strips evenly spaced in phase so that they follow each other.
#include <cstdint>
#include <vector>

struct WaterfallStrip {
    float shiftX = 0.0f;
    float shiftY = 0.0f;
    float transluency = 0.0f;
};

// A stored strip count above this is a damaged record, not a waterfall: every strip is one draw
// per frame.
const uint32_t kMaxWaterfallStrips = 256;

// The count a brush makes its strips for: the stored count, capped.
uint32_t UsableStripCount(uint32_t storedCount);

// Fills every strip for the phase (never negative). Strip i is at fraction f of its path, where
// f is the fractional part of phase + i / n: shifted by -strength x f along the direction
// (dx, dy), and as opaque as opacity x (1 - |2f - 1|), which is 0 at both ends of the path and the
// opacity half-way.
void UpdateWaterfallStrips(std::vector<WaterfallStrip>& strips, float phase, float strength, float dx,
                           float dy, float opacity);
