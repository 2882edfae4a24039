#include "DisplacementPicture.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "TileableNoise.h"

namespace {

uint8_t ToByte(float v)
{
    return uint8_t(std::clamp(std::lround(v * 255.0f), 0L, 255L));
}

// Noise over the whole range, moved so that its mean is 0.5 (the few values pushed past an end
// are clipped there).
std::vector<float> CentredNoise(unsigned size, uint32_t seed, unsigned firstPeriod)
{
    std::vector<float> noise = TileableNoise(size, seed, firstPeriod);
    const auto [lo, hi] = std::minmax_element(noise.begin(), noise.end());
    const float low = *lo, range = *hi - *lo;
    for (float& v : noise)
        v = (v - low) / range;
    const float shift = 0.5f - std::accumulate(noise.begin(), noise.end(), 0.0f) / float(noise.size());
    for (float& v : noise)
        v = std::clamp(v + shift, 0.0f, 1.0f);
    return noise;
}

}  // namespace

Image DisplacementPicture(unsigned size, uint32_t redSeed, uint32_t greenSeed, unsigned firstPeriod)
{
    const std::vector<float> red = CentredNoise(size, redSeed, firstPeriod);
    const std::vector<float> green = CentredNoise(size, greenSeed, firstPeriod);
    Image image(size, size, 3);
    for (size_t i = 0; i < red.size(); ++i) {
        image.bytes[3 * i] = ToByte(red[i]);
        image.bytes[3 * i + 1] = ToByte(green[i]);
        image.bytes[3 * i + 2] = 128;
    }
    return image;
}
