#include "GlassBallPictures.h"

#include "Image.h"
#include "PictureFiles.h"
#include "SeededRandom.h"

#include <algorithm>
#include <cmath>

namespace {

uint8_t Byte(float v)
{
    return uint8_t(std::clamp(std::lround(v * 255.0f), 0L, 255L));
}

float Mix(float a, float b, float t)
{
    return a + (b - a) * t;
}

float SmoothStep(float edge0, float edge1, float x)
{
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// Fills every pixel from a function of the pixel's centre in units of the picture (0..1 across
// and down) that writes red, green, blue and alpha in 0..1.
template <class Shade>
Image Shaded(unsigned width, unsigned height, unsigned channels, Shade shade)
{
    Image image(width, height, channels);
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x) {
            float rgba[4] = {0, 0, 0, 1};
            shade((x + 0.5f) / width, (y + 0.5f) / height, rgba);
            uint8_t* p = image.At(x, y);
            for (unsigned c = 0; c < channels; ++c)
                p[c] = Byte(rgba[c]);
        }
    return image;
}

// The ball's picture square: coordinates from the centre, 1 at the circle (radius 508 of 512).
void BallCoordinates(float u, float v, float& x, float& y)
{
    x = (u - 0.5f) * 2.0f * 512.0f / 508.0f;
    y = (v - 0.5f) * 2.0f * 512.0f / 508.0f;
}

}  // namespace

// 800 x 600: an evening sky from deep blue to warm yellow, a low sun, three ranges of rolling
// hills from blue-grey to green and a meadow with a path in front; the hills' outlines are sums
// of sines with seeded phases, so the picture is the same on every build.
bool MakeGlassBallBackground(const std::string& path)
{
    SeededRandom random(5);
    float phases[3][3];
    for (auto& range : phases)
        for (float& phase : range)
            phase = float(random.Unit()) * 6.2831853f;
    const Image image = Shaded(800, 600, 3, [&](float u, float v, float* rgb) {
        // Sky.
        const float sky = SmoothStep(0.0f, 0.55f, v);
        float r = Mix(0.16f, 0.98f, sky), g = Mix(0.26f, 0.82f, sky), b = Mix(0.58f, 0.55f, sky);
        const float sun = std::hypot((u - 0.72f) * 1.33f, v - 0.40f);
        const float disc = 1.0f - SmoothStep(0.045f, 0.05f, sun);
        const float halo = std::exp(-sun * 9.0f) * 0.5f;
        r = Mix(r, 1.0f, std::min(1.0f, disc + halo));
        g = Mix(g, 0.95f, std::min(1.0f, disc + halo * 0.8f));
        b = Mix(b, 0.75f, disc);
        // Hill ranges, far to near.
        const float colours[3][3] = {{0.42f, 0.48f, 0.62f}, {0.30f, 0.48f, 0.34f}, {0.22f, 0.44f, 0.16f}};
        const float heights[3] = {0.46f, 0.56f, 0.68f};
        const float amplitudes[3] = {0.05f, 0.06f, 0.07f};
        for (int i = 0; i < 3; ++i) {
            const float ridge = heights[i] - amplitudes[i] * (std::sin(u * 6.0f + phases[i][0]) * 0.6f +
                                                              std::sin(u * 13.0f + phases[i][1]) * 0.3f +
                                                              std::sin(u * 29.0f + phases[i][2]) * 0.1f);
            const float cover = SmoothStep(ridge - 0.002f, ridge + 0.002f, v);
            const float shade = 1.0f - (v - ridge) * 0.8f;
            r = Mix(r, colours[i][0] * shade, cover);
            g = Mix(g, colours[i][1] * shade, cover);
            b = Mix(b, colours[i][2] * shade, cover);
        }
        // Meadow with a winding path.
        const float meadow = SmoothStep(0.785f, 0.79f, v);
        const float depth = (v - 0.79f) / 0.21f;
        const float pathCentre = 0.45f + 0.12f * std::sin(depth * 4.0f);
        const float path = 1.0f - SmoothStep(0.01f + 0.08f * depth, 0.015f + 0.09f * depth, std::fabs(u - pathCentre));
        const float grass = 0.85f + 0.15f * std::sin(u * 180.0f + v * 60.0f) * std::sin(u * 47.0f);
        r = Mix(r, Mix(0.30f * grass, 0.72f, path), meadow);
        g = Mix(g, Mix(0.58f * grass, 0.62f, path), meadow);
        b = Mix(b, Mix(0.18f * grass, 0.44f, path), meadow);
        rgb[0] = r;
        rgb[1] = g;
        rgb[2] = b;
    });
    return WritePng(path, image);
}

// 256 x 256: a thin white crescent along the ball's upper-left rim, soft on both edges, at most
// half opaque.
bool MakeGlassBallGlare(const std::string& path)
{
    const Image image = Shaded(256, 256, 4, [](float u, float v, float* rgba) {
        float x, y;
        BallCoordinates(u, v, x, y);
        const float outer = 1.0f - SmoothStep(0.90f, 0.97f, std::hypot(x, y));
        const float inner = SmoothStep(0.80f, 0.92f, std::hypot(x - 0.10f, y - 0.12f));
        // Strongest towards the upper left, gone on the lower right.
        const float side = SmoothStep(-0.2f, 0.9f, -(x + y) * 0.7071f);
        rgba[0] = rgba[1] = rgba[2] = 1.0f;
        rgba[3] = 0.5f * outer * inner * side;
    });
    return WritePng(path, image);
}

// 128 x 128: a small bright spot above and left of the ball's centre, fading out smoothly.
bool MakeGlassBallSpot(const std::string& path)
{
    const Image image = Shaded(128, 128, 4, [](float u, float v, float* rgba) {
        float x, y;
        BallCoordinates(u, v, x, y);
        const float d = std::hypot((x + 0.38f) / 1.3f, y + 0.42f);
        rgba[0] = rgba[1] = rgba[2] = 1.0f;
        rgba[3] = 0.9f * std::exp(-d * d * 90.0f);
    });
    return WritePng(path, image);
}

// 463 x 187 (one pixel a world unit of the stand's quad, which spans x -230.4 to 232.9 and y
// -185.6 down to -372.2 under a ball of radius 254 at the origin): a bronze cradle hugging the
// ball's lower edge, a narrow neck and a wide stepped foot, transparent around them.
bool MakeGlassBallStand(const std::string& path)
{
    const Image image = Shaded(463, 187, 4, [](float u, float v, float* rgba) {
        const float wx = -230.4f + u * 463.3f;
        const float wy = -185.6f - v * 186.6f;
        const float distance = std::hypot(wx, wy);  // from the ball's centre
        const float half = std::fabs(wx);
        // The cradle: a band just outside the ball's circle, below 45 degrees under the centre.
        const bool cradle = distance > 250.0f && distance < 268.0f && wy < -200.0f && half < 150.0f;
        // The neck below the cradle and the foot of two steps.
        const bool neck = wy <= -262.0f && wy > -315.0f && half < 55.0f + (-262.0f - wy) * 0.4f;
        const bool upperStep = wy <= -315.0f && wy > -340.0f && half < 150.0f;
        const bool lowerStep = wy <= -340.0f && wy > -370.0f && half < 210.0f;
        const float inside = cradle || neck || upperStep || lowerStep ? 1.0f : 0.0f;
        // Bronze, lit from the upper left: lighter on the left and at the top of each part.
        const float light = 0.55f + 0.35f * (1.0f - u) * 0.8f + 0.15f * std::cos(wy * 0.12f);
        rgba[0] = 0.62f * light;
        rgba[1] = 0.42f * light;
        rgba[2] = 0.22f * light;
        rgba[3] = inside;
    });
    return WritePng(path, image);
}
