#pragma once
// A device test of a brush effect that moves the picture under its mask: the ramp picture, a mask
// that covers the columns left of kMaskEdge, the effect's "Main" and "MainFX" drawn over the whole
// target, and every pixel compared with a CPU reference of where the pass samples the picture.
#include <functional>
#include <string>

#include "support/MaskedEffectFixture.h"

namespace effect_testing {

class DisplacementEffectFixture : public MaskedEffectFixture {
public:
    static constexpr unsigned kMaskEdge = 48;

    // At pixel centres the filtered alpha is exactly 1 left of the edge and exactly 0 from it.
    static uint32_t Mask(unsigned x, unsigned) { return x < kMaskEdge ? 0xFFFFFFFFu : 0x00FFFFFFu; }
    static double MaskAt(unsigned x) { return x < kMaskEdge ? 1.0 : 0.0; }
    // Texture coordinates of a pixel centre.
    static double U(unsigned x) { return PixelU(x, kSize); }

    // Where the pass samples the picture for the pixel at (u, v) under mask weight m.
    struct Point {
        double u, v;
    };
    using Sampling = std::function<Point(double u, double v, double m)>;

protected:
    // The effect from the build folder with the picture and this fixture's mask set, or a fatal
    // failure.
    void LoadBrushEffect(const std::string& name) { LoadMaskedEffect(name, Mask); }

    // Draws the technique over the cleared target and compares every pixel: under the mask the
    // picture where the sampling says (times the tint), outside it the cleared target ("Main"
    // blends) or the picture itself ("MainFX"). Returns how many masked pixels moved.
    int DrawAndCompare(const char* technique, const Sampling& sampling, const Rgba& tint = {1, 1, 1, 1});

    // The picture as the device filters it, mirrored.
    static Rgba Picture(double u, double v);
};

inline Rgba DisplacementEffectFixture::Picture(double u, double v)
{
    static const TexelTable picture(kSize, kSize, Ramp, TexelTable::kMirror);
    return picture.Sample(u, v);
}

inline int DisplacementEffectFixture::DrawAndCompare(const char* technique, const Sampling& sampling,
                                                      const Rgba& tint)
{
    const bool blended = std::string(technique) == "Main";
    EXPECT_EQ(m_effect->SetTechnique(technique), D3D_OK);
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kCleared, 1.0f, 0);
    EXPECT_EQ(DrawQuadWithEffect(Device(), m_effect.Get(), kSize), D3D_OK);
    std::vector<uint32_t> pixels = ReadBack();
    EXPECT_EQ(pixels.size(), kSize * kSize);
    if (pixels.size() != kSize * kSize)
        return 0;
    int moved = 0, wrong = 0;
    for (unsigned y = 0; y < kSize; ++y)
        for (unsigned x = 0; x < kSize; ++x) {
            const uint32_t got = pixels[y * kSize + x];
            if (x >= kMaskEdge) {
                const uint32_t want = blended ? kCleared : Ramp(x, y);
                if (got != want && wrong++ < 5)
                    ADD_FAILURE() << technique << ": unmasked pixel " << x << "," << y << std::hex << ": " << got
                                  << " want " << want;
                continue;
            }
            const Point p = sampling(U(x), U(y), MaskAt(x));
            Rgba c = Picture(p.u, p.v);
            c = {c.r * tint.r, c.g * tint.g, c.b * tint.b, c.a * tint.a};
            uint32_t want = ToArgb(c);
            if (blended) {
                // The pass's alpha blends its colour over the cleared target.
                const Rgba under = {((kCleared >> 16) & 0xFF) / 255.0, ((kCleared >> 8) & 0xFF) / 255.0,
                                    (kCleared & 0xFF) / 255.0, 1.0};
                const double a = Saturate(c.a);
                want = ToArgb({Saturate(c.r) * a + under.r * (1 - a), Saturate(c.g) * a + under.g * (1 - a),
                               Saturate(c.b) * a + under.b * (1 - a), a * a + (1 - a)});
            }
            if (!ColorsNear(got, want, 3) && wrong++ < 5)
                ADD_FAILURE() << technique << ": " << std::hex << got << " want " << want << " at " << std::dec << x
                              << "," << y;
            if (!ColorsNear(got, Ramp(x, y), 3))
                ++moved;
        }
    if (wrong > 0) {
        ADD_FAILURE() << technique << ": " << wrong << " pixels differ; target saved as "
                      << SaveTarget(std::string("displacement_") + technique);
    }
    return moved;
}

}  // namespace effect_testing
