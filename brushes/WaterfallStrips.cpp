#include "brushes/WaterfallStrips.h"

#include <cmath>

uint32_t UsableStripCount(uint32_t storedCount)
{
    return storedCount < kMaxWaterfallStrips ? storedCount : kMaxWaterfallStrips;
}

void UpdateWaterfallStrips(std::vector<WaterfallStrip>& strips, float phase, float strength, float dx,
                           float dy, float opacity)
{
    if (strips.empty())
        return;
    const float spacing = 1.0f / static_cast<float>(strips.size());
    float x = phase;
    for (WaterfallStrip& strip : strips) {
        const float f = x - std::trunc(x);
        strip.shiftX = -strength * (dx * f);
        strip.shiftY = -strength * (dy * f);
        strip.transluency = opacity * (1.0f - std::fabs(2.0f * f - 1.0f));
        x = x + spacing;
    }
}
