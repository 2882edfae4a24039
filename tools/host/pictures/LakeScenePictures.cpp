#include "LakeScenePictures.h"

#include "Image.h"
#include "PictureFiles.h"
#include "SeededRandom.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Layout of the landscape, in pixels of the 1024 x 768 picture. The lake layer of the scene uses
// horizon raw 63, so the lowest 18.5 % of the picture (from y = 626) is covered by the mirror of
// the band just above it; everything that should be reflected lies above that line.
constexpr unsigned kWidth = 1024;
constexpr unsigned kHeight = 768;
constexpr float kHorizonY = kHeight * (1.0f - 0.185f);
constexpr float kFallLeft = 792.0f;   // the waterfall's strip on the cliff face
constexpr float kFallRight = 842.0f;
constexpr float kFallTop = 232.0f;
constexpr float kPoolCentreX = 800.0f;  // the pool the waterfall drops into
constexpr float kPoolCentreY = 566.0f;
constexpr float kPoolRadiusX = 120.0f;
constexpr float kPoolRadiusY = 26.0f;

float Smooth(float edge0, float edge1, float x)
{
    float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

uint8_t ToByte(float v)
{
    return uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

// Value noise along one axis, several octaves, deterministic from the seed; about [0, 1].
class RidgeNoise {
public:
    RidgeNoise(uint32_t seed, unsigned count)
    {
        SeededRandom random(seed);
        m_values.resize(count);
        for (float& v : m_values)
            v = float(random.Unit());
    }
    float At(float x, float period) const
    {
        float sum = 0, total = 0, amplitude = 1;
        for (int octave = 0; octave < 4; ++octave) {
            float p = x / period + octave * 17.0f;
            int i = int(std::floor(p));
            float f = p - float(i);
            f = f * f * (3 - 2 * f);
            float a = m_values[size_t(i) % m_values.size()], b = m_values[size_t(i + 1) % m_values.size()];
            sum += amplitude * (a + (b - a) * f);
            total += amplitude;
            amplitude *= 0.5f;
            period *= 0.5f;
        }
        return sum / total;
    }

private:
    std::vector<float> m_values;
};

// Two-dimensional value noise for textures (grass, rock, clouds, foam); about [0, 1].
class FieldNoise {
public:
    explicit FieldNoise(uint32_t seed)
    {
        SeededRandom random(seed);
        for (float& v : m_lattice)
            v = float(random.Unit());
    }
    float At(float x, float y, float period) const
    {
        float sum = 0, total = 0, amplitude = 1;
        for (int octave = 0; octave < 4; ++octave) {
            sum += amplitude * Octave(x / period, y / period);
            total += amplitude;
            amplitude *= 0.5f;
            period *= 0.5f;
        }
        return sum / total;
    }

private:
    static constexpr unsigned kCells = 256;
    float Octave(float px, float py) const
    {
        int ix = int(std::floor(px)), iy = int(std::floor(py));
        float fx = px - float(ix), fy = py - float(iy);
        fx = fx * fx * (3 - 2 * fx);
        fy = fy * fy * (3 - 2 * fy);
        auto at = [&](int i, int j) { return m_lattice[(unsigned(j) % kCells) * kCells + unsigned(i) % kCells]; };
        float top = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * fx;
        float bottom = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * fx;
        return top + (bottom - top) * fy;
    }
    float m_lattice[kCells * kCells];
};

struct Rgb {
    float r, g, b;
};

Rgb Mix(Rgb a, Rgb b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// The shapes every picture of the scene agrees on.
struct LakeSceneLayout {
    RidgeNoise farRidge{11, 97};
    RidgeNoise nearRidge{12, 89};
    RidgeNoise cliffEdge{13, 83};

    float FarHillTop(float x) const { return 250.0f + 170.0f * farRidge.At(x, 300.0f); }
    float NearHillTop(float x) const { return 420.0f + 90.0f * nearRidge.At(x + 400.0f, 210.0f) + 40.0f * std::sin(x / 170.0f); }
    // The cliff rises on the right: its left face leans, its top is ragged.
    float CliffFaceX(float y) const { return 700.0f - (y - 200.0f) * 0.12f + 14.0f * cliffEdge.At(y, 60.0f); }
    float CliffTop(float x) const { return 200.0f - (x - 700.0f) * 0.05f + 24.0f * cliffEdge.At(x + 300.0f, 50.0f); }
    // The cliff stands on the meadow: its foot runs just behind the pool.
    float CliffFoot(float x) const { return kPoolCentreY - 6.0f + 10.0f * cliffEdge.At(x + 900.0f, 30.0f); }
    bool InCliff(float x, float y) const { return y >= CliffTop(x) && x >= CliffFaceX(y) && y < CliffFoot(x); }

    // 1 inside the falling water, fading over two pixels at its sides.
    float Waterfall(float x, float y) const
    {
        if (y < kFallTop - 6.0f || y > kPoolCentreY)
            return 0.0f;
        float widen = (y - kFallTop) * 0.04f;  // the sheet spreads as it falls
        float side = std::min(x - (kFallLeft - widen), (kFallRight + widen) - x);
        float top = Smooth(kFallTop - 6.0f, kFallTop + 4.0f, y);
        return std::clamp(side / 2.0f, 0.0f, 1.0f) * top;
    }
    // The pool at the foot of the waterfall and the stream that runs from it down to the lake.
    float Pool(float x, float y) const
    {
        float dx = (x - kPoolCentreX) / kPoolRadiusX, dy = (y - kPoolCentreY) / kPoolRadiusY;
        float pool = 1.0f - Smooth(0.85f, 1.0f, std::sqrt(dx * dx + dy * dy));
        float stream = 0.0f;
        if (y > kPoolCentreY && y < kHorizonY + 4.0f) {
            float t = (y - kPoolCentreY) / (kHorizonY - kPoolCentreY);
            float centre = kPoolCentreX - 40.0f - 260.0f * t * t;
            float half = 14.0f + 40.0f * t;
            stream = 1.0f - Smooth(half - 4.0f, half, std::fabs(x - centre));
        }
        return std::max(pool, stream);
    }
};

Rgb Sky(float x, float y, const FieldNoise& clouds)
{
    Rgb zenith{38, 84, 158}, low{236, 190, 150};
    Rgb sky = Mix(zenith, low, std::pow(std::clamp(y / 480.0f, 0.0f, 1.0f), 1.6f));
    // A low evening sun behind the far hills, left of the middle.
    float dx = x - 330.0f, dy = y - 330.0f;
    float glow = std::exp(-(dx * dx + dy * dy) / (2 * 90.0f * 90.0f));
    sky = Mix(sky, Rgb{255, 232, 190}, glow * 0.8f);
    // Soft clouds, stretched sideways, thinning towards the hills.
    float c = clouds.At(x, y * 2.6f, 220.0f);
    float cover = Smooth(0.52f, 0.72f, c) * (1.0f - Smooth(180.0f, 340.0f, y));
    return Mix(sky, Rgb{250, 236, 228}, cover * 0.85f);
}

Image LandscapeImage()
{
    const LakeSceneLayout layout;
    const FieldNoise clouds(21), grass(22), rock(23), foam(24);
    Image image(kWidth, kHeight, 3);
    for (unsigned py = 0; py < kHeight; ++py)
        for (unsigned px = 0; px < kWidth; ++px) {
            const float x = float(px), y = float(py);
            Rgb c = Sky(x, y, clouds);
            // Far hills: blue with distance.
            float far = layout.FarHillTop(x);
            if (y >= far)
                c = Mix(Rgb{96, 120, 150}, Rgb{120, 140, 150}, Smooth(far, far + 160.0f, y));
            // Near hills and the meadow down to the lake, lit from the left, darker in hollows.
            float nearTop = layout.NearHillTop(x);
            if (y >= nearTop) {
                float g = grass.At(x, y * 1.8f, 90.0f);
                float depth = Smooth(nearTop, kHorizonY, y);
                Rgb meadow = Mix(Rgb{118, 150, 72}, Rgb{62, 104, 44}, depth);
                meadow = Mix(meadow, Rgb{150, 160, 70}, Smooth(0.55f, 0.8f, g) * 0.5f);
                meadow = Mix(meadow, Rgb{40, 70, 36}, Smooth(0.45f, 0.2f, g) * 0.5f);
                // A thin bright rim where the hill meets the sky.
                meadow = Mix(meadow, Rgb{190, 196, 120}, (1.0f - Smooth(0.0f, 5.0f, y - nearTop)) * 0.6f);
                c = meadow;
            }
            // The cliff: warm grey rock in ledges, shadowed towards its face.
            if (layout.InCliff(x, y)) {
                float r = rock.At(x * 0.7f, y * 2.2f, 70.0f);
                float ledge = 0.5f + 0.5f * std::sin(y / 9.0f + r * 6.0f);
                Rgb stone = Mix(Rgb{92, 84, 78}, Rgb{150, 138, 122}, r);
                stone = Mix(stone, Rgb{60, 54, 52}, (1.0f - ledge) * 0.35f);
                float faceShade = 1.0f - Smooth(0.0f, 40.0f, x - layout.CliffFaceX(y));
                stone = Mix(stone, Rgb{46, 42, 44}, faceShade * 0.5f);
                // Moss on the top edge.
                stone = Mix(stone, Rgb{70, 110, 52}, (1.0f - Smooth(0.0f, 10.0f, y - layout.CliffTop(x))) * 0.8f);
                c = stone;
            }
            // Pool and stream: sky-coloured water, darker near the banks.
            float pool = layout.Pool(x, y);
            if (pool > 0.0f)
                c = Mix(c, Mix(Rgb{90, 130, 160}, Rgb{150, 180, 196}, foam.At(x, y * 3.0f, 40.0f)), pool);
            // The waterfall: streaks of white water, foam at its foot.
            float fall = layout.Waterfall(x, y);
            if (fall > 0.0f) {
                float streak = foam.At(x * 3.0f, y * 0.15f, 30.0f);
                Rgb water = Mix(Rgb{170, 200, 220}, Rgb{246, 250, 252}, Smooth(0.3f, 0.7f, streak));
                c = Mix(c, water, fall);
            }
            float dx = (x - (kFallLeft + kFallRight) * 0.5f) / 90.0f, dy = (y - (kPoolCentreY - 8.0f)) / 16.0f;
            float spray = std::exp(-(dx * dx + dy * dy)) * Smooth(0.3f, 0.6f, foam.At(x, y, 12.0f));
            c = Mix(c, Rgb{244, 248, 250}, spray);
            // Below the horizon the lake's mirror covers the picture; keep a calm dark water there
            // so the picture still reads when shown without the lake.
            if (y >= kHorizonY)
                c = Mix(Rgb{56, 84, 110}, Rgb{30, 48, 70}, Smooth(kHorizonY, float(kHeight), y));
            uint8_t* p = image.At(px, py);
            p[0] = ToByte(c.r);
            p[1] = ToByte(c.g);
            p[2] = ToByte(c.b);
        }
    return image;
}

// A mask: white, its strength in alpha (and, for viewers, in grey as well).
template <typename Strength>
bool WriteMask(const std::string& path, Strength strength)
{
    const LakeSceneLayout layout;
    Image image(kWidth, kHeight, 4);
    for (unsigned py = 0; py < kHeight; ++py)
        for (unsigned px = 0; px < kWidth; ++px) {
            uint8_t s = ToByte(std::clamp(strength(layout, float(px), float(py)), 0.0f, 1.0f) * 255.0f);
            uint8_t* p = image.At(px, py);
            p[0] = p[1] = p[2] = p[3] = s;
        }
    return WritePng(path, image);
}

}  // namespace

bool MakeLakeLandscape(const std::string& path)
{
    return WritePng(path, LandscapeImage());
}

bool MakeLakeWaterMask(const std::string& path)
{
    return WriteMask(path, [](const LakeSceneLayout& l, float x, float y) {
        return y < kHorizonY ? l.Pool(x, y) * (1.0f - l.Waterfall(x, y)) : 0.0f;
    });
}

bool MakeLakeWaterfallMask(const std::string& path)
{
    return WriteMask(path, [](const LakeSceneLayout& l, float x, float y) { return l.Waterfall(x, y); });
}

// The lake's surface: nothing at the horizon, full strength from a little below it.
bool MakeLakeWavesMask(const std::string& path)
{
    return WriteMask(path, [](const LakeSceneLayout&, float, float y) { return Smooth(kHorizonY, kHorizonY + 30.0f, y); });
}
