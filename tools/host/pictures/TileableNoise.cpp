#include "TileableNoise.h"

#include <cstddef>

#include "SeededRandom.h"

std::vector<float> TileableNoise(unsigned size, uint32_t seed, unsigned firstPeriod)
{
    std::vector<float> sum(size_t(size) * size, 0.0f);
    SeededRandom random(seed);
    float amplitude = 1.0f;
    float total = 0.0f;
    for (unsigned period = firstPeriod; period >= 4; period /= 2) {
        const unsigned cells = size / period;
        std::vector<float> lattice(size_t(cells) * cells);
        for (float& v : lattice)
            v = float(random.Unit());
        for (unsigned y = 0; y < size; ++y) {
            for (unsigned x = 0; x < size; ++x) {
                unsigned cx = x / period, cy = y / period;
                float fx = float(x % period) / float(period), fy = float(y % period) / float(period);
                fx = fx * fx * (3 - 2 * fx);
                fy = fy * fy * (3 - 2 * fy);
                auto at = [&](unsigned i, unsigned j) { return lattice[(j % cells) * cells + (i % cells)]; };
                float top = at(cx, cy) + (at(cx + 1, cy) - at(cx, cy)) * fx;
                float bottom = at(cx, cy + 1) + (at(cx + 1, cy + 1) - at(cx, cy + 1)) * fx;
                sum[size_t(y) * size + x] += amplitude * (top + (bottom - top) * fy);
            }
        }
        total += amplitude;
        amplitude *= 0.5f;
    }
    for (float& v : sum)
        v /= total;
    return sum;
}
