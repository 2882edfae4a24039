// The part of a mask a brush paints through: texels of alpha above 0, one texel more each way,
// over every mip level, in texture coordinates; the whole picture when the mask tells nothing.
#include "brushes/MaskBounds.h"

#include <d3d9.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "model/ComRef.h"
#include "support/DeviceFixture.h"

namespace {

using Texel = std::pair<unsigned, unsigned>;

// An 8 x 4 texture of the format whose level 0 (and level 1, 4 x 2, when given) holds alpha 1/255
// at the listed texels and 0 everywhere else; the colour bytes are white, which must not count.
ComRef<IDirect3DTexture9> MakeMask(IDirect3DDevice9* device, D3DFORMAT format, const std::vector<Texel>& level0,
                                   const std::vector<Texel>* level1 = nullptr)
{
    ComRef<IDirect3DTexture9> texture;
    const UINT levels = level1 ? 2 : 1;
    if (FAILED(device->CreateTexture(8, 4, levels, 0, format, D3DPOOL_MANAGED, texture.Receive(), nullptr)))
        return texture;
    for (UINT level = 0; level < levels; ++level) {
        const std::vector<Texel>& shown = level == 0 ? level0 : *level1;
        D3DLOCKED_RECT locked = {};
        if (FAILED(texture->LockRect(level, &locked, nullptr, 0)))
            return ComRef<IDirect3DTexture9>();
        const unsigned width = 8 >> level, height = 4 >> level;
        for (unsigned y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
            for (unsigned x = 0; x < width; ++x) {
                bool on = false;
                for (const Texel& t : shown)
                    on = on || (t.first == x && t.second == y);
                row[x] = on ? 0x01FFFFFFu : 0x00FFFFFFu;
            }
        }
        texture->UnlockRect(level);
    }
    return texture;
}

using MaskBoundsTest = DeviceFixture;

TEST_F(MaskBoundsTest, TheTexelsThatShowThroughWidenedByOneTexel)
{
    const std::vector<Texel> upperRight = {{6, 0}};
    const std::vector<Texel> rightColumn = {{3, 0}};
    struct Case {
        const char* name;
        D3DFORMAT format;
        std::vector<Texel> level0;
        const std::vector<Texel>* level1;
        MaskBounds expected;  // u0, v0, u1, v1, worked out from the 8 x 4 (and 4 x 2) texel grid
    };
    const Case cases[] = {
        // Texel columns 2..4 of 8, rows 1..3 of 4.
        {"one texel inside", D3DFMT_A8R8G8B8, {{3, 2}}, nullptr, {2.0f / 8, 1.0f / 4, 5.0f / 8, 4.0f / 4}},
        // Widening stops at the picture's edges.
        {"a corner texel", D3DFMT_A8R8G8B8, {{0, 0}}, nullptr, {0.0f, 0.0f, 2.0f / 8, 2.0f / 4}},
        {"two texels apart", D3DFMT_A8R8G8B8, {{1, 1}, {5, 2}}, nullptr, {0.0f, 0.0f, 7.0f / 8, 4.0f / 4}},
        // Level 0 gives columns 5..8 of 8 and rows 0..2 of 4; level 1 columns 2..4 of 4 (from 0.5)
        // and rows 0..2 of 2 (all).
        {"both levels", D3DFMT_A8R8G8B8, upperRight, &rightColumn, {0.5f, 0.0f, 1.0f, 1.0f}},
        {"transparent everywhere", D3DFMT_A8R8G8B8, {}, nullptr, {0.0f, 0.0f, 1.0f, 1.0f}},
        // The shader samples alpha 1 from a format without alpha: all of it shows.
        {"no alpha in the format", D3DFMT_X8R8G8B8, {{3, 2}}, nullptr, {0.0f, 0.0f, 1.0f, 1.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ComRef<IDirect3DTexture9> mask = MakeMask(Device(), c.format, c.level0, c.level1);
        ASSERT_TRUE(mask);
        const MaskBounds bounds = FindMaskBounds(mask.Get());
        EXPECT_FLOAT_EQ(bounds.u0, c.expected.u0);
        EXPECT_FLOAT_EQ(bounds.v0, c.expected.v0);
        EXPECT_FLOAT_EQ(bounds.u1, c.expected.u1);
        EXPECT_FLOAT_EQ(bounds.v1, c.expected.v1);
    }
}

TEST_F(MaskBoundsTest, NoMaskIsTheWholePicture)
{
    EXPECT_TRUE(FindMaskBounds(nullptr).Whole());
}

// A default-pool texture cannot be locked: nothing is known of it.
TEST_F(MaskBoundsTest, AMaskThatCannotBeReadIsTheWholePicture)
{
    ComRef<IDirect3DTexture9> target;
    ASSERT_EQ(Device()->CreateTexture(8, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                      target.Receive(), nullptr),
              D3D_OK);
    EXPECT_TRUE(FindMaskBounds(target.Get()).Whole());
}

}  // namespace
