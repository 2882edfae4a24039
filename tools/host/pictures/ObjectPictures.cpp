#include "ObjectPictures.h"

#include "Image.h"
#include "PictureFiles.h"

#include <algorithm>
#include <cmath>

namespace {

const float kPi = 3.14159265f;

uint8_t Byte(float v)
{
    return uint8_t(std::clamp(std::lround(v * 255.0f), 0L, 255L));
}

// Fills every pixel from a function of the pixel's centre in units of the picture (0..1 across)
// that writes red, green, blue and alpha in 0..1; a picture of three channels drops the alpha.
template <class Shade>
bool MakePicture(const std::string& path, unsigned width, unsigned height, unsigned channels, Shade shade)
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
    return WritePng(path, image);
}

// 1 inside, 0 outside, with a soft edge `soft` wide; `distance` is negative inside.
float Soft(float distance, float soft)
{
    return std::clamp(0.5f - distance / soft, 0.0f, 1.0f);
}

float Mix(float a, float b, float t)
{
    return a + (b - a) * t;
}

// Distance from p to the segment a-b.
float SegmentDistance(float px, float py, float ax, float ay, float bx, float by)
{
    const float dx = bx - ax, dy = by - ay;
    const float t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

}  // namespace

// Almost black brown with faint bands across: a butterfly's body, and dark enough for the
// margins that the camera's border fills.
bool MakeButterflyBody(const std::string& path)
{
    return MakePicture(path, 64, 64, 3, [](float u, float v, float* rgba) {
        const float band = 0.5f + 0.5f * std::cos(v * 2 * kPi * 8);
        rgba[0] = 0.08f + 0.06f * band;
        rgba[1] = 0.06f + 0.04f * band;
        rgba[2] = 0.05f + 0.02f * band;
    });
}

// A clock dial: a cream disc inside a dark rim, twelve hour marks (the quarters longer and
// wider) and a small dark centre; transparent outside the dial.
bool MakeClockFace(const std::string& path)
{
    return MakePicture(path, 256, 256, 4, [](float u, float v, float* rgba) {
        const float dx = u - 0.5f, dy = v - 0.5f;
        const float r = std::hypot(dx, dy);
        float red = 0.96f, green = 0.93f, blue = 0.84f;
        const float rim = Soft(0.455f - r, 0.006f);
        float ink = rim;
        const float angle = std::atan2(dx, -dy);  // 0 at the top, clockwise
        const float hour = std::round(angle / (kPi / 6));
        const float markAngle = hour * (kPi / 6);
        const bool quarter = int(std::lround(hour)) % 3 == 0;
        // Along and across the mark's direction.
        const float along = dx * std::sin(markAngle) - dy * std::cos(markAngle);
        const float across = std::fabs(dx * std::cos(markAngle) + dy * std::sin(markAngle));
        const float inner = quarter ? 0.34f : 0.38f;
        if (along > inner && along < 0.44f)
            ink = std::max(ink, Soft(across - (quarter ? 0.014f : 0.007f), 0.004f));
        ink = std::max(ink, Soft(r - 0.025f, 0.006f));
        red = Mix(red, 0.12f, ink);
        green = Mix(green, 0.12f, ink);
        blue = Mix(blue, 0.16f, ink);
        rgba[0] = red;
        rgba[1] = green;
        rgba[2] = blue;
        rgba[3] = Soft(r - 0.49f, 0.008f);
    });
}

// A dark blue clock hand, pointed at the top, widest near its base, with a short tail below
// the pivot; transparent around it.
bool MakeClockHand(const std::string& path)
{
    return MakePicture(path, 32, 256, 4, [](float u, float v, float* rgba) {
        // Half width across (in picture widths) at each height: a point at v = 0 widening to
        // the base at v = 0.8, then the tail.
        const float half = v < 0.8f ? 0.12f + 0.33f * std::min(1.0f, v / 0.5f) : 0.3f;
        const float inside = v < 0.97f ? Soft(std::fabs(u - 0.5f) - half, 0.06f) : 0.0f;
        rgba[0] = 0.08f;
        rgba[1] = 0.10f;
        rgba[2] = 0.22f;
        rgba[3] = inside;
    });
}

// One butterfly wing, hinge on the left and front at the top: an orange forewing reaching to
// the upper right and a rounder hindwing below, black margins with white spots, dark veins.
bool MakeButterflyWing(const std::string& path)
{
    return MakePicture(path, 128, 128, 4, [](float u, float v, float* rgba) {
        const float fore = SegmentDistance(u, v, 0.06f, 0.42f, 0.86f, 0.14f) - 0.2f;
        const float hind = std::hypot((u - 0.32f) / 1.1f, v - 0.68f) - 0.27f;
        const float wing = std::min(fore, hind);
        const float margin = Soft(-wing - 0.07f, 0.02f);  // 1 in the black margin
        const float spots = Soft(std::hypot(std::fmod(u * 14.0f, 1.0f) - 0.5f,
                                            std::fmod(v * 14.0f, 1.0f) - 0.5f) - 0.22f, 0.1f);
        float veins = 0;
        for (float angle : {-0.9f, -0.5f, -0.15f, 0.2f, 0.55f}) {
            const float d = std::fabs(-(u - 0.04f) * std::sin(angle) + (v - 0.5f) * std::cos(angle));
            if ((u - 0.04f) * std::cos(angle) + (v - 0.5f) * std::sin(angle) > 0)
                veins = std::max(veins, Soft(d - 0.008f, 0.012f));
        }
        const float dark = std::max(veins * 0.8f, margin);
        rgba[0] = Mix(1.0f, 0.05f, dark);
        rgba[1] = Mix(0.52f, 0.04f, dark);
        rgba[2] = Mix(0.08f, 0.03f, dark);
        if (margin > 0.5f && spots > 0.5f && -wing > 0.015f)
            rgba[0] = rgba[1] = rgba[2] = 0.95f;
        rgba[3] = Soft(wing, 0.015f);
    });
}

// An autumn leaf, stem at the bottom: pointed at both ends, red at the rim turning to yellow
// along the darker midrib at u = 0.5.
bool MakeLeaf(const std::string& path)
{
    return MakePicture(path, 64, 96, 4, [](float u, float v, float* rgba) {
        const float half = 0.46f * std::pow(std::max(0.0f, std::sin(kPi * v)), 0.7f);
        const float across = std::fabs(u - 0.5f);
        const float inside = Soft(across - half, 0.03f);
        const float t = half > 0 ? std::min(1.0f, across / half) : 1.0f;
        const float rib = Soft(across - 0.015f, 0.02f);
        rgba[0] = Mix(0.95f, 0.80f, t) * (1 - 0.4f * rib);
        rgba[1] = Mix(0.75f, 0.22f, t) * (1 - 0.4f * rib);
        rgba[2] = Mix(0.12f, 0.05f, t);
        rgba[3] = inside;
    });
}

// The sound items' picture in an editor's object list: a dark slate loudspeaker (a box, and a
// cone opening to the right) with three light blue sound waves, arcs of 90 degrees around the
// cone's mouth; transparent around them.
bool MakeSoundIcon(const std::string& path)
{
    return MakePicture(path, 64, 64, 4, [](float u, float v, float* rgba) {
        const float dy = std::fabs(v - 0.5f);
        // Box from u 0.14 to 0.32, half height 0.12; cone from u 0.32 (half height 0.12) to 0.52
        // (half height 0.30).
        const float box = std::max(std::max(0.14f - u, u - 0.32f), dy - 0.12f);
        const float coneHalf = 0.12f + (u - 0.32f) * 0.9f;
        const float cone = std::max(std::max(0.32f - u, u - 0.52f), dy - coneHalf);
        const float speaker = Soft(std::min(box, cone), 0.02f);
        // Waves: rings of radius 0.14, 0.26 and 0.38 around (0.52, 0.5), 0.035 wide, to the right
        // within 45 degrees of the axis.
        const float dx = u - 0.52f;
        const float r = std::hypot(dx, v - 0.5f);
        float wave = 0;
        if (dx > 0 && dy <= dx)
            for (float radius : {0.14f, 0.26f, 0.38f})
                wave = std::max(wave, Soft(std::fabs(r - radius) - 0.0175f, 0.02f));
        const float ink = std::max(speaker, wave);
        rgba[0] = speaker >= wave ? 0.20f : 0.55f;
        rgba[1] = speaker >= wave ? 0.24f : 0.80f;
        rgba[2] = speaker >= wave ? 0.32f : 1.00f;
        rgba[3] = ink;
    });
}
