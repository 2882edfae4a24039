#include "FirePictures.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>
#include <vector>

#include "DisplacementPicture.h"
#include "Image.h"
#include "PictureFiles.h"
#include "SeededRandom.h"
#include "TileableNoise.h"

namespace {

const unsigned kSize = 256;
const float kTwoPi = 6.28318531f;

uint8_t ToByte(float v)
{
    return uint8_t(std::clamp(std::lround(v * 255.0f), 0L, 255L));
}

// Grey flame tongues: along the width the tongues' height is a sum of cosines of whole periods,
// so the left and right edges meet; down each column the intensity rises from 0 at the tongue's
// tip to 1 at the bottom edge, with a grain of noise.
Image FlameTongues(uint32_t seed, const float (&frequencies)[3])
{
    SeededRandom random(seed);
    const float amplitudes[3] = {0.13f, 0.08f, 0.04f};
    float phases[3];
    for (float& phase : phases)
        phase = float(random.Unit()) * kTwoPi;
    const std::vector<float> grain = TileableNoise(kSize, seed, 32);
    Image image(kSize, kSize, 1);
    for (unsigned x = 0; x < kSize; ++x) {
        float height = 0.6f;
        for (int i = 0; i < 3; ++i)
            height += amplitudes[i] * std::cos(kTwoPi * frequencies[i] * float(x) / float(kSize) + phases[i]);
        const float tip = 1.0f - height;
        for (unsigned y = 0; y < kSize; ++y) {
            const float down = (float(y) + 0.5f) / float(kSize);
            float intensity = 0.0f;
            if (down > tip) {
                const float s = (down - tip) / (1.0f - tip);
                intensity = std::pow(s, 0.7f) * (0.85f + 0.3f * grain[size_t(y) * kSize + x]);
            }
            image.At(x, y)[0] = ToByte(intensity);
        }
    }
    return image;
}

// Noise stretched over the whole byte range.
std::vector<float> Normalised(std::vector<float> noise)
{
    const auto [lo, hi] = std::minmax_element(noise.begin(), noise.end());
    const float low = *lo, range = *hi - *lo;
    for (float& v : noise)
        v = (v - low) / range;
    return noise;
}

}  // namespace

bool MakeFireTongues(const std::string& path)
{
    const float frequencies[3] = {5, 9, 14};
    return WritePng(path, FlameTongues(7, frequencies));
}

bool MakeFirePattern(const std::string& path)
{
    const float frequencies[3] = {4, 7, 12};
    return WritePng(path, FlameTongues(93, frequencies));
}

bool MakeFireNoise(const std::string& path)
{
    const std::vector<float> noise = Normalised(TileableNoise(kSize, 8, 64));
    Image image(kSize, kSize, 1);
    for (size_t i = 0; i < noise.size(); ++i)
        image.bytes[i] = ToByte(noise[i]);
    return WritePng(path, image);
}

// Red is the program's noise picture (seed 2) and green its du/dv relief's noise (seed 3), each
// centred: the embedded scene's waterfall, made with the noise picture as its noise map 62, takes
// this picture instead wherever the module is installed.
bool MakeHazeDistortion(const std::string& path)
{
    return WritePng(path, DisplacementPicture(512, 2, 3, 64));
}
