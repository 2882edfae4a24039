#include "SpritePictures.h"

#include "Image.h"
#include "PictureFiles.h"

#include <algorithm>
#include <cmath>

namespace {

uint8_t Byte(float v)
{
    return uint8_t(std::clamp(std::lround(v * 255.0f), 0L, 255L));
}

// Fills every pixel from a function of the pixel's centre in units of the picture (0..1 across)
// that writes red, green, blue and alpha in 0..1.
template <class Shade>
bool MakeRgba(const std::string& path, unsigned width, unsigned height, Shade shade)
{
    Image image(width, height, 4);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            float rgba[4] = {0, 0, 0, 0};
            shade((x + 0.5f) / width, (y + 0.5f) / height, rgba);
            uint8_t* p = image.At(x, y);
            for (int c = 0; c < 4; ++c)
                p[c] = Byte(rgba[c]);
        }
    }
    return WritePng(path, image);
}

// 1 inside, 0 outside, with a soft edge `soft` wide; `distance` is negative inside.
float Soft(float distance, float soft)
{
    return std::clamp(0.5f - distance / soft, 0.0f, 1.0f);
}

void Set(float* rgba, float r, float g, float b, float a)
{
    rgba[0] = r;
    rgba[1] = g;
    rgba[2] = b;
    rgba[3] = a;
}

}  // namespace

// A white glow: full in the middle, fading to nothing at the rim.
bool MakeSpriteGlow(const std::string& path)
{
    return MakeRgba(path, 32, 32, [](float u, float v, float* rgba) {
        const float r = std::hypot(u - 0.5f, v - 0.5f) * 2.0f;
        const float a = std::pow(std::clamp(1.0f - r, 0.0f, 1.0f), 1.5f);
        Set(rgba, 1.0f, 1.0f, 1.0f, a);
    });
}

// A white streak across the picture: full along the middle row, fading to nothing at the top and
// bottom, the same in every column, so that it can be stretched along a line of any length.
bool MakeSpriteStreak(const std::string& path)
{
    return MakeRgba(path, 32, 32, [](float, float v, float* rgba) {
        const float a = std::pow(std::clamp(1.0f - std::fabs(2.0f * v - 1.0f), 0.0f, 1.0f), 1.5f);
        Set(rgba, 1.0f, 1.0f, 1.0f, a);
    });
}

// An orange fish facing right: an oval body, a triangular tail on the left and a dark eye.
bool MakeSpriteFish(const std::string& path)
{
    return MakeRgba(path, 64, 32, [](float u, float v, float* rgba) {
        const float bx = (u - 0.58f) / 0.38f, by = (v - 0.5f) / 0.32f;
        const float body = Soft((std::hypot(bx, by) - 1.0f) * 12.0f, 1.0f);
        const float tail = (u < 0.26f && std::fabs(v - 0.5f) < (0.26f - u) * 1.6f) ? 1.0f : 0.0f;
        const float eye = std::hypot((u - 0.82f) * 2.0f, v - 0.42f) < 0.07f ? 1.0f : 0.0f;
        const float shade = 0.75f + 0.25f * (1.0f - v);
        Set(rgba, shade * (1.0f - eye), 0.5f * shade * (1.0f - eye), 0.1f * (1.0f - eye), std::max(body, tail));
    });
}

// A dark bird with raised wings, seen from the side, facing right: a wide V over a small body.
bool MakeSpriteBird(const std::string& path)
{
    return MakeRgba(path, 64, 32, [](float u, float v, float* rgba) {
        const float wing = std::fabs(u - 0.5f) * 0.8f + 0.35f;  // the V's centre line
        const float onWing = Soft((std::fabs(v - wing) - 0.07f) * 40.0f, 1.0f) * (u > 0.08f && u < 0.92f ? 1.0f : 0.0f);
        const float body = Soft((std::hypot((u - 0.52f) / 0.16f, (v - 0.42f) / 0.08f) - 1.0f) * 8.0f, 1.0f);
        Set(rgba, 0.12f, 0.12f, 0.16f, std::max(onWing, body));
    });
}

// A pale ghost: a round head over a body whose hem waves, two dark eyes.
bool MakeSpriteGhost(const std::string& path)
{
    return MakeRgba(path, 32, 48, [](float u, float v, float* rgba) {
        const float head = std::hypot(u - 0.5f, (v - 0.33f) * 0.75f) < 0.4f ? 1.0f : 0.0f;
        const float hem = 0.9f + 0.06f * std::sin(u * 6.2832f * 3.0f);
        const float body = (v > 0.33f && v < hem && std::fabs(u - 0.5f) < 0.4f) ? 1.0f : 0.0f;
        const float eye = (std::hypot(u - 0.36f, v - 0.3f) < 0.06f || std::hypot(u - 0.64f, v - 0.3f) < 0.06f) ? 1.0f : 0.0f;
        const float a = std::max(head, body) * (0.85f - 0.3f * v);
        Set(rgba, 0.95f - eye * 0.8f, 0.97f - eye * 0.8f, 1.0f - eye * 0.8f, eye > 0 ? 0.9f : a);
    });
}

// A soft grey cloud of three overlapping blobs.
bool MakeSpriteFog(const std::string& path)
{
    return MakeRgba(path, 64, 64, [](float u, float v, float* rgba) {
        auto blob = [&](float cx, float cy, float r) {
            return std::clamp(1.0f - std::hypot(u - cx, v - cy) / r, 0.0f, 1.0f);
        };
        const float a = std::clamp(blob(0.4f, 0.55f, 0.35f) + blob(0.62f, 0.45f, 0.3f) + blob(0.5f, 0.62f, 0.3f), 0.0f, 1.0f);
        Set(rgba, 0.85f, 0.87f, 0.9f, a * a * 0.8f);
    });
}

// A light beam: warm white, brightest down its middle, fading toward the sides and the bottom.
bool MakeSpriteRay(const std::string& path)
{
    return MakeRgba(path, 32, 256, [](float u, float v, float* rgba) {
        const float across = std::clamp(1.0f - std::fabs(u - 0.5f) * 2.0f, 0.0f, 1.0f);
        Set(rgba, 1.0f, 0.96f, 0.8f, across * across * (1.0f - 0.7f * v) * 0.6f);
    });
}

// A green grass blade, wide at its foot and pointed at its top.
bool MakeSpriteBlade(const std::string& path)
{
    return MakeRgba(path, 16, 64, [](float u, float v, float* rgba) {
        const float half = 0.45f * v;  // the blade widens downwards
        const float a = Soft((std::fabs(u - 0.5f) - half) * 32.0f, 1.0f);
        Set(rgba, 0.2f + 0.2f * (1.0f - v), 0.55f + 0.3f * (1.0f - v), 0.15f, a);
    });
}

// A flower: a yellow heart with five red petals on a green stem.
bool MakeSpriteFlower(const std::string& path)
{
    return MakeRgba(path, 48, 64, [](float u, float v, float* rgba) {
        const float x = u - 0.5f, y = (v - 0.3f) * 0.75f;
        const float r = std::hypot(x, y);
        const float angle = std::atan2(y, x);
        const float petal = r < 0.16f + 0.14f * std::fabs(std::cos(angle * 2.5f)) ? 1.0f : 0.0f;
        const float heart = r < 0.09f ? 1.0f : 0.0f;
        const float stem = (v > 0.45f && std::fabs(u - 0.5f) < 0.04f) ? 1.0f : 0.0f;
        if (heart > 0)
            Set(rgba, 1.0f, 0.85f, 0.1f, 1.0f);
        else if (petal > 0)
            Set(rgba, 0.9f, 0.15f, 0.25f, 1.0f);
        else
            Set(rgba, 0.2f, 0.6f, 0.2f, stem);
    });
}

// A lightning bolt: a bright zig-zag line with a bluish glow around it.
bool MakeSpriteFlash(const std::string& path)
{
    return MakeRgba(path, 64, 64, [](float u, float v, float* rgba) {
        // The bolt's x at height v: three straight pieces that zig and zag.
        const float kinks[4][2] = {{0.0f, 0.55f}, {0.35f, 0.4f}, {0.65f, 0.6f}, {1.0f, 0.45f}};
        float bx = 0.5f;
        for (int i = 0; i < 3; ++i) {
            if (v >= kinks[i][0] && v <= kinks[i + 1][0]) {
                const float t = (v - kinks[i][0]) / (kinks[i + 1][0] - kinks[i][0]);
                bx = kinks[i][1] + t * (kinks[i + 1][1] - kinks[i][1]);
            }
        }
        const float d = std::fabs(u - bx);
        const float core = Soft((d - 0.02f) * 100.0f, 1.0f);
        const float glow = std::clamp(1.0f - d / 0.2f, 0.0f, 1.0f);
        Set(rgba, 0.8f + 0.2f * core, 0.85f + 0.15f * core, 1.0f, std::max(core, glow * glow * 0.6f));
    });
}

// Four frames side by side of a spark: a glowing dot with two, three, four and five rays.
bool MakeSpriteSparkStrip(const std::string& path)
{
    return MakeRgba(path, 256, 64, [](float u, float v, float* rgba) {
        const int frame = std::min(3, int(u * 4.0f));
        const float x = u * 4.0f - float(frame) - 0.5f, y = v - 0.5f;
        const float r = std::hypot(x, y) * 2.0f;
        const float rays = float(frame + 2);
        const float star = std::pow(std::fabs(std::cos(std::atan2(y, x) * rays * 0.5f)), 8.0f);
        const float a = std::clamp((1.0f - r) * (0.3f + 0.7f * star) + (r < 0.25f ? 1.0f : 0.0f), 0.0f, 1.0f);
        Set(rgba, 0.7f + 0.3f * star, 0.85f, 1.0f, a);
    });
}

// A paper lantern: a warm glowing oval body between a dark cap and foot.
bool MakeSpriteLantern(const std::string& path)
{
    return MakeRgba(path, 48, 64, [](float u, float v, float* rgba) {
        const float body = std::hypot((u - 0.5f) / 0.42f, (v - 0.52f) / 0.36f);
        const bool cap = std::fabs(u - 0.5f) < 0.22f && (std::fabs(v - 0.12f) < 0.05f || std::fabs(v - 0.9f) < 0.05f);
        if (cap) {
            Set(rgba, 0.2f, 0.12f, 0.08f, 1.0f);
            return;
        }
        const float ribs = 0.85f + 0.15f * std::cos(v * 6.2832f * 6.0f);
        Set(rgba, 1.0f * ribs, (0.55f + 0.3f * (1.0f - body)) * ribs, 0.2f, Soft((body - 1.0f) * 20.0f, 1.0f));
    });
}

// An autumn leaf pointing right: a pointed oval in orange and brown with a darker middle vein and
// a short stem on the left.
bool MakeSpriteLeaf(const std::string& path)
{
    return MakeRgba(path, 48, 32, [](float u, float v, float* rgba) {
        const float along = (u - 0.55f) / 0.42f;  // -1 at the stem end, 1 at the tip
        const float width = 0.38f * std::sqrt(std::max(0.0f, 1.0f - along * along)) * (1.0f - 0.25f * along);
        const float blade = Soft((std::fabs(v - 0.5f) - width) * 40.0f, 1.0f);
        const float stem = (u > 0.04f && u < 0.16f && std::fabs(v - 0.5f) < 0.04f) ? 1.0f : 0.0f;
        const float vein = std::fabs(v - 0.5f) < 0.03f && along > -0.95f && along < 0.9f ? 1.0f : 0.0f;
        const float warm = 0.5f + 0.5f * u;
        const float dark = 1.0f - 0.45f * std::max(vein, stem);
        Set(rgba, 0.85f * dark, (0.3f + 0.25f * warm) * dark, 0.08f * dark, std::max(blade, stem));
    });
}

// A raindrop streak: a thin pale blue line, faint at its top and brightest at its lower end.
bool MakeSpriteDrop(const std::string& path)
{
    return MakeRgba(path, 8, 64, [](float u, float v, float* rgba) {
        const float across = std::clamp(1.0f - std::fabs(u - 0.5f) * 2.5f, 0.0f, 1.0f);
        Set(rgba, 0.8f, 0.88f, 1.0f, across * (0.15f + 0.85f * v));
    });
}
