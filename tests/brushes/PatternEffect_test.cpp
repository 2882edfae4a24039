// The pattern brushes' effect ("common_res.dll" 78) on a device: the tile's repeat across the
// picture, the turn of a tile that is not square, and how the mask and the fade lay the pattern
// over the image, against CPU references of the sampling.
#include <cmath>

#include "brushes/Vo_PatternBrush.h"
#include "support/DeviceFixture.h"
#include "support/EffectTesting.h"

using namespace effect_testing;

namespace {

const unsigned kSize = DeviceFixture::kSize;
const uint32_t kCleared = 0xFF103050;
const unsigned kTileWidth = 4, kTileHeight = 2;

// Every texel of the 4 x 2 tile differs.
uint32_t Tile(unsigned x, unsigned y) { return 0xFF000040u | (x * 80) << 16 | (y * 200) << 8; }
uint32_t Picture(unsigned x, unsigned y) { return 0xFF000000u | (y * 4) << 16 | (x * 4); }

class PatternEffectTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_effect = LoadEffect(Device(), "pattern");
        ASSERT_TRUE(m_effect) << "pattern effect not loaded";
        m_tile = MakeTexture(Device(), kTileWidth, kTileHeight, Tile);
        m_white = MakeTexture(Device(), 1, 1, [](unsigned, unsigned) { return 0xFFFFFFFFu; });
        ASSERT_TRUE(m_tile && m_white);
        m_effect->SetTexture("Pattern", m_tile.Get());
        m_effect->SetTexture("Mask", m_white.Get());
        const float scale[2] = {static_cast<float>(kTileWidth) / kTileHeight, 1.0f};
        m_effect->SetFloatArray("scale", scale, 2);
    }

    void TearDown() override
    {
        m_effect.Reset();
        m_tile.Reset();
        m_white.Reset();
        DeviceFixture::TearDown();
    }

    // The brush's transform for a picture of the given size, as its render step sets it.
    void SetTransform(unsigned pictureSize, unsigned scaleRaw, unsigned angle, bool hFlip, bool vFlip)
    {
        Vo_PatternBrush brush;
        brush.Frames().width = kTileWidth;
        brush.Frames().height = kTileHeight;
        brush.PatternScale().SetValue(scaleRaw);
        brush.Angle().ValueRef() = angle;
        brush.HorizontalFlip().ValueRef() = hFlip;
        brush.VerticalFlip().ValueRef() = vFlip;
        float m[4];
        brush.PatternTransform(pictureSize, pictureSize, m);
        m_effect->SetFloatArray("coord_transf", m, 4);
    }

    std::vector<uint32_t> Draw(const char* technique)
    {
        EXPECT_EQ(m_effect->SetTechnique(technique), D3D_OK);
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kCleared, 1.0f, 0);
        EXPECT_EQ(DrawQuadWithEffect(Device(), m_effect.Get(), kSize), D3D_OK);
        return ReadBack();
    }

    ComRef<ID3DXEffect> m_effect;
    ComRef<IDirect3DTexture9> m_tile;
    ComRef<IDirect3DTexture9> m_white;
};

TEST_F(PatternEffectTest, DeclaresEveryNameItsBrushesSet)
{
    ExpectParameters(m_effect.Get(),
                     {"Background", "Mask", "Pattern", "mix_color", "scale", "Scale", "offset", "coord_transf"});
    ExpectTechniques(m_effect.Get(), {"Main", "MainFX"});
    EXPECT_NE(m_effect->GetParameterByName(nullptr, "scale"), m_effect->GetParameterByName(nullptr, "Scale"));
}

// A picture of W pixels shows W / (tile width x s) tiles across: with W = 128 and a 4-pixel tile
// the screen of 64 pixels repeats every 4 / (128 / 64) x s pixels. Each pixel is the tile sampled
// at the picture point's place in tile units (wrapped), plus the offset.
TEST_F(PatternEffectTest, TilesRepeatAcrossThePicture)
{
    const TexelTable tile(kTileWidth, kTileHeight, Tile, TexelTable::kWrap);
    struct Case {
        unsigned scaleRaw;
        float offset[2];
        unsigned period;  // screen pixels
    } cases[] = {{100, {0, 0}, 2}, {200, {0, 0}, 4}, {400, {0.25f, 0.5f}, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scaleRaw);
        SetTransform(128, c.scaleRaw, 0, false, false);
        m_effect->SetFloatArray("offset", c.offset, 2);
        const std::vector<uint32_t> pixels = Draw("Main");
        ASSERT_EQ(pixels.size(), kSize * kSize);
        const double s = c.scaleRaw / 100.0;
        for (unsigned y = 0; y < kSize; ++y)
            for (unsigned x = 0; x < kSize; ++x) {
                const double px = PixelU(x, kSize) * 128, py = PixelU(y, kSize) * 128;  // picture pixels
                const uint32_t want = ToArgb(tile.Sample(px / (kTileWidth * s) + c.offset[0],
                                                         py / (kTileHeight * s) + c.offset[1]));
                const uint32_t got = pixels[y * kSize + x];
                ASSERT_TRUE(ColorsNear(got, want, 3)) << std::hex << got << " want " << want << std::dec << " at "
                                                      << x << "," << y;
                if (x + c.period < kSize) {
                    ASSERT_TRUE(ColorsNear(got, pixels[y * kSize + x + c.period], 3)) << x << "," << y;
                }
            }
        // Half a period along, the tile shows another column.
        EXPECT_FALSE(ColorsNear(pixels[0], pixels[c.period / 2], 3));
    }
}

// A turn keeps the tile's shape: turned by 90 degrees a 4 x 2 tile stands 2 wide and 4 high, the
// picture point (X, Y) reaching the tile at (-Y / 4, X / 2). Mirroring both axes is the same as
// a half turn.
TEST_F(PatternEffectTest, TurnedAndMirroredTiles)
{
    const TexelTable tile(kTileWidth, kTileHeight, Tile, TexelTable::kWrap);
    SetTransform(64, 400, 90, false, false);
    std::vector<uint32_t> pixels = Draw("Main");
    ASSERT_EQ(pixels.size(), kSize * kSize);
    for (unsigned y = 0; y < kSize; ++y)
        for (unsigned x = 0; x < kSize; ++x) {
            const double px = PixelU(x, kSize) * 64 / 4, py = PixelU(y, kSize) * 64 / 4;  // at scale 4
            const uint32_t want = ToArgb(tile.Sample(-py / kTileWidth, px / kTileHeight));
            ASSERT_TRUE(ColorsNear(pixels[y * kSize + x], want, 3))
                << std::hex << pixels[y * kSize + x] << " want " << want << std::dec << " at " << x << "," << y;
        }

    SetTransform(64, 400, 180, false, false);
    const std::vector<uint32_t> halfTurn = Draw("Main");
    SetTransform(64, 400, 0, true, true);
    const std::vector<uint32_t> mirrored = Draw("Main");
    ASSERT_EQ(halfTurn.size(), mirrored.size());
    SetTransform(64, 400, 0, false, false);
    const std::vector<uint32_t> upright = Draw("Main");
    ASSERT_EQ(upright.size(), mirrored.size());
    int differs = 0;
    for (size_t i = 0; i < halfTurn.size(); ++i) {
        ASSERT_TRUE(ColorsNear(halfTurn[i], mirrored[i], 2)) << i;
        differs += !ColorsNear(halfTurn[i], upright[i], 3);
    }
    EXPECT_GT(differs, 1000) << "a half turn should change the picture";
}

// The pattern's alpha x "mix_color" alpha x mask lays it over the image: "Main" by blending,
// "MainFX" by writing the mix with the picture's own alpha; outside the mask the image stays.
TEST_F(PatternEffectTest, MaskAndFadeLayThePatternOverTheImage)
{
    const TexelTable tile(kTileWidth, kTileHeight, Tile, TexelTable::kWrap);
    ComRef<IDirect3DTexture9> picture = MakeTexture(Device(), kSize, kSize, Picture);
    ComRef<IDirect3DTexture9> mask = MakeTexture(Device(), kSize, kSize, HalfMask);
    ASSERT_TRUE(picture && mask);
    m_effect->SetTexture("Background", picture.Get());
    m_effect->SetTexture("Mask", mask.Get());
    const float mix[4] = {1.0f, 1.0f, 1.0f, 0.5f};
    m_effect->SetFloatArray("mix_color", mix, 4);
    SetTransform(128, 200, 0, false, false);
    for (const char* technique : {"Main", "MainFX"}) {
        SCOPED_TRACE(technique);
        const bool blended = std::string(technique) == "Main";
        const std::vector<uint32_t> pixels = Draw(technique);
        ASSERT_EQ(pixels.size(), kSize * kSize);
        for (unsigned y = 0; y < kSize; ++y)
            for (unsigned x = 0; x < kSize; ++x) {
                const uint32_t under = blended ? kCleared : Picture(x, y);
                uint32_t want = under;
                if (x < 32) {
                    const Rgba p = tile.Sample(PixelU(x, kSize) * 128 / 8, PixelU(y, kSize) * 128 / 4);
                    auto channel = [](uint32_t c, int shift) { return ((c >> shift) & 0xFF) / 255.0; };
                    want = ToArgb({channel(under, 16) + (p.r - channel(under, 16)) * 0.5,
                                   channel(under, 8) + (p.g - channel(under, 8)) * 0.5,
                                   channel(under, 0) + (p.b - channel(under, 0)) * 0.5, 1.0});
                }
                const uint32_t got = pixels[y * kSize + x];
                ASSERT_TRUE(ColorsNear(got | 0xFF000000u, want, 3))
                    << std::hex << got << " want " << want << std::dec << " at " << x << "," << y;
            }
    }
}

}  // namespace
