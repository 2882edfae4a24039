#include "BoltPictures.h"

#include "Image.h"
#include "PictureFiles.h"
#include "SeededRandom.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr unsigned kWidth = 256;
constexpr unsigned kHeight = 64;
constexpr float kEnd = 0.195f;

struct BoltLook {
    uint32_t seed;
    float jag;          // largest sideways swing, in parts of the half's height
    float coreWidth;    // half width of the white core, in pixels
    float glowWidth;    // reach of the glow, in pixels
    float glow[3];      // glow colour
};

// The line's offset from the middle of its half at every column: midpoint displacement between
// the two inner ends, which sit on the middle; straight in the outer parts.
std::vector<float> BoltLine(SeededRandom& random, float jag)
{
    const unsigned first = unsigned(kEnd * kWidth), last = unsigned((1.0f - kEnd) * kWidth);
    std::vector<float> line(kWidth, 0.0f);
    std::vector<float> knots(17, 0.0f);
    float swing = jag;
    for (size_t step = 8; step >= 1; step /= 2, swing *= 0.55f)
        for (size_t i = step; i < knots.size(); i += 2 * step)
            knots[i] = 0.5f * (knots[i - step] + knots[std::min(i + step, knots.size() - 1)]) +
                       swing * float(random.Unit() * 2.0 - 1.0);
    knots.back() = 0.0f;
    for (unsigned x = first; x <= last; ++x) {
        const float t = float(x - first) / float(last - first) * float(knots.size() - 1);
        const size_t k = std::min(size_t(t), knots.size() - 2);
        line[x] = knots[k] + (t - float(k)) * (knots[k + 1] - knots[k]);
    }
    return line;
}

bool MakeBoltPicture(const std::string& path, const BoltLook& look)
{
    SeededRandom random(look.seed);
    Image image(kWidth, kHeight, 4);
    const float half = float(kHeight / 2);
    for (unsigned bolt = 0; bolt < 2; ++bolt) {
        const std::vector<float> line = BoltLine(random, look.jag);
        for (unsigned x = 0; x < kWidth; ++x) {
            const float u = (float(x) + 0.5f) / float(kWidth);
            // The outer parts narrow to a point at the picture's edge.
            const float taper = std::clamp(std::min(u, 1.0f - u) / kEnd, 0.0f, 1.0f);
            const float centre = float(bolt) * half + half * 0.5f + line[x] * half * 0.5f;
            for (unsigned row = 0; row < kHeight / 2; ++row) {
                const unsigned y = bolt * (kHeight / 2) + row;
                const float d = std::fabs(float(y) + 0.5f - centre);
                const float core = std::clamp((look.coreWidth * taper - d) + 0.5f, 0.0f, 1.0f);
                const float glow = std::pow(std::clamp(1.0f - d / (look.glowWidth * (0.3f + 0.7f * taper)), 0.0f, 1.0f), 2.0f);
                const float alpha = std::max(core, glow * 0.8f * taper);
                uint8_t* p = image.At(x, y);
                for (int c = 0; c < 3; ++c)
                    p[c] = uint8_t(std::lround(255.0f * (core + (1.0f - core) * look.glow[c])));
                p[3] = uint8_t(std::lround(255.0f * alpha));
            }
        }
    }
    return WritePng(path, image);
}

}  // namespace

bool MakeBolt(const std::string& path)
{
    return MakeBoltPicture(path, BoltLook{95, 0.5f, 2.0f, 9.0f, {0.55f, 0.7f, 1.0f}});
}

bool MakeBoltAlternate(const std::string& path)
{
    return MakeBoltPicture(path, BoltLook{98, 0.7f, 1.2f, 7.0f, {0.8f, 0.55f, 1.0f}});
}

bool MakeBoltGlow(const std::string& path)
{
    const unsigned width = 64, height = 64;
    Image image(width, height, 4);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const float u = (float(x) + 0.5f) / float(width);
            const float taper = std::clamp(std::min(u, 1.0f - u) / kEnd, 0.0f, 1.0f);
            // Distance from the middle of this half, 0 there and 1 at the half's edges.
            const float inHalf = std::fmod((float(y) + 0.5f) / float(height / 2), 1.0f);
            const float d = std::fabs(inHalf - 0.5f) * 2.0f;
            const float reach = 0.35f + 0.65f * taper;
            const float a = std::pow(std::clamp(1.0f - d / reach, 0.0f, 1.0f), 1.5f) * (0.4f + 0.6f * taper);
            uint8_t* p = image.At(x, y);
            p[0] = p[1] = p[2] = 255;
            p[3] = uint8_t(std::lround(255.0f * a));
        }
    }
    return WritePng(path, image);
}
