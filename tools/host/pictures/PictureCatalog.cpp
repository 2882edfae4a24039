#include "PictureCatalog.h"

#include "Image.h"
#include "LakeScenePictures.h"
#include "DisplacementPicture.h"
#include "FirePictures.h"
#include "GlyphPictures.h"
#include "ObjectPictures.h"
#include "BoltPictures.h"
#include "GlassBallPictures.h"
#include "PictureFiles.h"
#include "PatternPictures.h"
#include "PixelFont.h"
#include "SeededRandom.h"
#include "SpritePictures.h"
#include "TileableNoise.h"

#include <algorithm>
#include <cmath>

namespace {

uint8_t ToByte(float v)
{
    return uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

// The splash picture: black, with a small grey loading notice in the middle.
bool MakeSplash(const std::string& path)
{
    Image image(512, 512, 3);
    const std::string text = "LOADING...";
    const unsigned scale = 2;
    const uint8_t grey[3] = {168, 168, 168};
    int x = int(512 - PixelFont::TextWidth(text, scale)) / 2;
    int y = int(512 - PixelFont::kGlyphHeight * scale) / 2;
    PixelFont::Draw(image, text, x, y, scale, grey);
    return WritePng(path, image);
}

// The grey noise picture the lake layer builds its ripple relief from.
bool MakeNoise(const std::string& path)
{
    const unsigned size = 512;
    std::vector<float> noise = TileableNoise(size, 2, 64);
    float lo = *std::min_element(noise.begin(), noise.end());
    float hi = *std::max_element(noise.begin(), noise.end());
    Image image(size, size, 1);
    for (size_t i = 0; i < noise.size(); ++i)
        image.bytes[i] = ToByte((noise[i] - lo) / (hi - lo) * 255.0f);
    return WritePng(path, image);
}

// The water brush's bump picture: du in red, dv in green, a finer grain than the heat haze's.
bool MakeWaterBump(const std::string& path)
{
    return WritePng(path, DisplacementPicture(256, 89, 90, 32));
}

// A du/dv ripple picture for the lake: the slope of a tileable height field, full mip chain.
bool MakeLakeDuDv(const std::string& path)
{
    const unsigned size = 512;
    std::vector<float> h = TileableNoise(size, 3, 64);
    Image image(size, size, 2);
    for (unsigned y = 0; y < size; ++y)
        for (unsigned x = 0; x < size; ++x) {
            float du = h[y * size + (x + 1) % size] - h[y * size + (x + size - 1) % size];
            float dv = h[((y + 1) % size) * size + x] - h[((y + size - 1) % size) * size + x];
            image.At(x, y)[0] = uint8_t(int8_t(std::clamp(std::lround(du * 1200.0f), -127L, 127L)));
            image.At(x, y)[1] = uint8_t(int8_t(std::clamp(std::lround(dv * 1200.0f), -127L, 127L)));
        }
    return WriteDds(path, BuildMipChain(image, true), DdsFormat::V8U8);
}

// The program's icon: a four-pointed glimmer on a deep blue disc.
Image IconImage(unsigned size)
{
    Image image(size, size, 4);
    const float c = (size - 1) * 0.5f;
    for (unsigned y = 0; y < size; ++y)
        for (unsigned x = 0; x < size; ++x) {
            float dx = (x - c) / (size * 0.5f), dy = (y - c) / (size * 0.5f);
            float r = std::sqrt(dx * dx + dy * dy);
            float disc = std::clamp((1.0f - r) * size * 0.5f, 0.0f, 1.0f);
            // Brightness falls off along the two axes of the star.
            float star = std::max(0.0f, 1.0f - std::fabs(dx) * std::fabs(dy) * 40.0f - r * 1.1f);
            star = std::min(1.0f, star * 1.6f);
            uint8_t* p = image.At(x, y);
            p[0] = ToByte(20 + star * 235);
            p[1] = ToByte(40 + star * 200);
            p[2] = ToByte(110 + star * 40);
            p[3] = ToByte(disc * 255);
        }
    return image;
}

bool MakeIcon(const std::string& path)
{
    return WriteIco(path, {IconImage(16), IconImage(32), IconImage(48)});
}

// Test pictures: plain formulas, so a test can work out any texel on its own.

bool MakeTestGrey(const std::string& path)
{
    Image image(64, 32, 1);
    for (unsigned y = 0; y < image.height; ++y)
        for (unsigned x = 0; x < image.width; ++x)
            image.At(x, y)[0] = uint8_t(x * 3 + y * 2);
    return WritePng(path, image);
}

bool MakeTestRgb(const std::string& path)
{
    Image image(48, 40, 3);
    for (unsigned y = 0; y < image.height; ++y)
        for (unsigned x = 0; x < image.width; ++x) {
            uint8_t* p = image.At(x, y);
            p[0] = uint8_t(x * 5);
            p[1] = uint8_t(y * 6);
            p[2] = uint8_t(255 - x * 2 - y);
        }
    return WritePng(path, image);
}

bool MakeTestRgba(const std::string& path)
{
    Image image(40, 24, 4);
    for (unsigned y = 0; y < image.height; ++y)
        for (unsigned x = 0; x < image.width; ++x) {
            uint8_t* p = image.At(x, y);
            p[0] = uint8_t(200 - x * 3);
            p[1] = uint8_t(50 + y * 5);
            p[2] = uint8_t(x * 7 + y * 3);
            p[3] = uint8_t(255 - x * 4);
        }
    return WritePng(path, image);
}

// JPEG is lossy: flat 16 x 16 blocks (one colour per 4:2:0 macroblock) keep block centres exact
// to within a few levels.
bool MakeTestJpeg(const std::string& path)
{
    static const uint8_t colours[12][3] = {
        {200, 30, 30}, {30, 200, 30}, {30, 30, 200}, {220, 220, 40},
        {40, 220, 220}, {220, 40, 220}, {128, 128, 128}, {250, 250, 250},
        {10, 10, 10}, {160, 90, 40}, {40, 90, 160}, {90, 160, 40},
    };
    Image image(64, 48, 3);
    for (unsigned y = 0; y < image.height; ++y)
        for (unsigned x = 0; x < image.width; ++x) {
            const uint8_t* c = colours[(y / 16) * 4 + x / 16];
            std::copy(c, c + 3, image.At(x, y));
        }
    return WriteJpeg(path, image, 95);
}

// 37 pixels wide, so every BMP row carries a padding byte.
bool MakeTestBmp(const std::string& path)
{
    Image image(37, 19, 3);
    for (unsigned y = 0; y < image.height; ++y)
        for (unsigned x = 0; x < image.width; ++x) {
            uint8_t* p = image.At(x, y);
            p[0] = uint8_t(x * 6);
            p[1] = uint8_t(y * 12);
            p[2] = uint8_t(100 + (x ^ y));
        }
    return WriteBmp(path, image);
}

// Linear ramps with even steps: every box-filtered level is exact, so level L holds the
// level-0 formula at the block centre.
bool MakeTestArgbDds(const std::string& path)
{
    Image image(32, 16, 4);
    for (unsigned y = 0; y < image.height; ++y)
        for (unsigned x = 0; x < image.width; ++x) {
            uint8_t* p = image.At(x, y);
            p[0] = uint8_t(x * 8);
            p[1] = uint8_t(y * 16);
            p[2] = 128;
            p[3] = uint8_t(255 - x * 4);
        }
    return WriteDds(path, BuildMipChain(image, false), DdsFormat::A8R8G8B8);
}

bool MakeTestBumpDds(const std::string& path)
{
    Image image(32, 32, 2);
    for (unsigned y = 0; y < image.height; ++y)
        for (unsigned x = 0; x < image.width; ++x) {
            uint8_t* p = image.At(x, y);
            p[0] = uint8_t(int8_t(int(x) * 4 - 64));
            p[1] = uint8_t(int8_t(int(y) * 4 - 64));
        }
    return WriteDds(path, BuildMipChain(image, true), DdsFormat::V8U8);
}

}  // namespace

const std::vector<PictureEntry>& PictureCatalog()
{
    static const std::vector<PictureEntry> s_catalog = {
        {"splash", "splash.png", "512 x 512 RGB PNG, black with a loading notice", MakeSplash},
        {"noise", "noise.png", "512 x 512 8-bit grey PNG, tileable noise (seed 2)", MakeNoise},
        {"lake-dudv", "lake-dudv.dds", "512 x 512 V8U8 DDS, ripple slopes (seed 3), full mip chain", MakeLakeDuDv},
        {"lake-landscape", "lake-landscape.png", "1024 x 768 RGB PNG, sky, hills, a cliff with a waterfall, land to the horizon", MakeLakeLandscape},
        {"lake-water-mask", "lake-water-mask.png", "1024 x 768 RGBA PNG, the pool and stream of the landscape in alpha", MakeLakeWaterMask},
        {"lake-waterfall-mask", "lake-waterfall-mask.png", "1024 x 768 RGBA PNG, the waterfall of the landscape in alpha", MakeLakeWaterfallMask},
        {"lake-waves-mask", "lake-waves-mask.png", "1024 x 768 RGBA PNG, the lake below the horizon in alpha", MakeLakeWavesMask},
        {"fire-tongues", "fire-tongues.png", "256 x 256 grey PNG, flame tongues bright at the bottom, seamless across (seed 7)", MakeFireTongues},
        {"fire-pattern", "fire-pattern.png", "256 x 256 grey PNG, flame tongues bright at the bottom, seamless across (seed 93)", MakeFirePattern},
        {"fire-noise", "fire-noise.png", "256 x 256 grey PNG, seamless turbulence noise (seed 8)", MakeFireNoise},
        {"glyph-strip", "glyph-strip.png", "32 x 1024 RGBA PNG, 34 white glyphs on transparent ground, one per 1024 / 34 pixels", MakeGlyphStrip},
        {"water-bump", "water-bump.png", "256 x 256 RGB PNG, seamless red and green noise with mean 0.5 (seeds 89 and 90)", MakeWaterBump},
        {"haze-distortion", "haze-distortion.png", "512 x 512 RGB PNG, seamless red and green noise with mean 0.5 (seeds 2 and 3)", MakeHazeDistortion},
        {"bolt", "bolt.png", "256 x 64 RGBA PNG, two jagged bolts stacked with a blue glow, tapered ends (seed 95)", MakeBolt},
        {"bolt-alternate", "bolt-alternate.png", "256 x 64 RGBA PNG, two thinner, wilder bolts with a violet glow, tapered ends (seed 98)", MakeBoltAlternate},
        {"bolt-glow", "bolt-glow.png", "64 x 64 RGBA PNG, a soft white band along the middle of each half, narrowing at the sides", MakeBoltGlow},
        {"glassball-background", "glassball-background.png", "800 x 600 RGB PNG, a meadow valley with hills under an evening sky and a low sun (seed 5)", MakeGlassBallBackground},
        {"glassball-glare", "glassball-glare.png", "256 x 256 RGBA PNG, a soft white crescent along the ball's upper-left rim", MakeGlassBallGlare},
        {"glassball-spot", "glassball-spot.png", "128 x 128 RGBA PNG, a small bright specular spot above left of the centre", MakeGlassBallSpot},
        {"glassball-stand", "glassball-stand.png", "463 x 187 RGBA PNG, a bronze pedestal with a cradle for the ball, transparent around it", MakeGlassBallStand},
        {"icon", "glimmer.ico", "icon, 16, 32 and 48 pixels, 32-bit", MakeIcon},
        {"sprite-glow", "sprite-glow.png", "32 x 32 RGBA PNG, a white glow fading to its rim", MakeSpriteGlow},
        {"sprite-streak", "sprite-streak.png", "32 x 32 RGBA PNG, a white streak across, fading to the top and bottom", MakeSpriteStreak},
        {"sprite-fish", "sprite-fish.png", "64 x 32 RGBA PNG, an orange fish facing right", MakeSpriteFish},
        {"sprite-bird", "sprite-bird.png", "64 x 32 RGBA PNG, a dark bird with raised wings", MakeSpriteBird},
        {"sprite-ghost", "sprite-ghost.png", "32 x 48 RGBA PNG, a pale ghost with a waving hem", MakeSpriteGhost},
        {"sprite-fog", "sprite-fog.png", "64 x 64 RGBA PNG, a soft grey cloud", MakeSpriteFog},
        {"sprite-ray", "sprite-ray.png", "32 x 256 RGBA PNG, a warm light beam fading downwards", MakeSpriteRay},
        {"sprite-blade", "sprite-blade.png", "16 x 64 RGBA PNG, a green grass blade", MakeSpriteBlade},
        {"sprite-flower", "sprite-flower.png", "48 x 64 RGBA PNG, a red flower on a green stem", MakeSpriteFlower},
        {"sprite-flash", "sprite-flash.png", "64 x 64 RGBA PNG, a lightning bolt with a blue glow", MakeSpriteFlash},
        {"sprite-sparks", "sprite-sparks.png", "256 x 64 RGBA PNG, four frames of a spark with 2 to 5 rays", MakeSpriteSparkStrip},
        {"sprite-lantern", "sprite-lantern.png", "48 x 64 RGBA PNG, a glowing paper lantern", MakeSpriteLantern},
        {"butterfly-body", "butterfly-body.png", "64 x 64 RGB PNG, almost black brown with faint bands (module picture 6)", MakeButterflyBody},
        {"clock-face", "clock-face.png", "256 x 256 RGBA PNG, a cream dial with hour marks, transparent outside (module picture 71)", MakeClockFace},
        {"clock-hand", "clock-hand.png", "32 x 256 RGBA PNG, a dark blue hand, tip at the top (module picture 72)", MakeClockHand},
        {"sound-icon", "sound-icon.png", "64 x 64 RGBA PNG, a slate loudspeaker with three light blue waves, transparent around (module picture 2016)", MakeSoundIcon},
        {"butterfly-wing", "butterfly-wing.png", "128 x 128 RGBA PNG, an orange wing with black margins, hinge on the left", MakeButterflyWing},
        {"leaf", "leaf.png", "64 x 96 RGBA PNG, a red and yellow autumn leaf, stem at the bottom", MakeLeaf},
        {"sprite-leaf", "sprite-leaf.png", "48 x 32 RGBA PNG, an orange autumn leaf pointing right", MakeSpriteLeaf},
        {"sprite-drop", "sprite-drop.png", "8 x 64 RGBA PNG, a pale blue raindrop streak, brightest at its foot", MakeSpriteDrop},
        {"test-grey", "test-grey.png", "64 x 32 grey PNG, x * 3 + y * 2", MakeTestGrey},
        {"test-rgb", "test-rgb.png", "48 x 40 RGB PNG, (5x, 6y, 255 - 2x - y)", MakeTestRgb},
        {"test-rgba", "test-rgba.png", "40 x 24 RGBA PNG, (200 - 3x, 50 + 5y, 7x + 3y, 255 - 4x)", MakeTestRgba},
        {"test-jpeg", "test-jpeg.jpg", "64 x 48 JPEG, 4 x 3 flat blocks of 16 x 16", MakeTestJpeg},
        {"test-bmp", "test-bmp.bmp", "37 x 19 24-bit BMP, (6x, 12y, 100 + (x ^ y))", MakeTestBmp},
        {"test-argb-dds", "test-argb.dds", "32 x 16 A8R8G8B8 DDS, (8x, 16y, 128, 255 - 4x), full mip chain", MakeTestArgbDds},
        {"test-bump-dds", "test-bump.dds", "32 x 32 V8U8 DDS, (4x - 64, 4y - 64), full mip chain", MakeTestBumpDds},
        {"test-pattern-a", "test-pattern-a.png", "8 x 4 RGBA PNG, (32x, 64y, 200, 255), frame 1 of the module's pattern set", MakeTestPatternA},
        {"test-pattern-b", "test-pattern-b.png", "8 x 4 RGBA PNG, (255 - 32x, 40, 64y, 255), frame 2 of the module's pattern set", MakeTestPatternB},
    };
    return s_catalog;
}

const PictureEntry* FindPicture(const std::string& name)
{
    for (const PictureEntry& e : PictureCatalog())
        if (name == e.name)
            return &e;
    return nullptr;
}
