// Every picture format the picture tool writes decodes through D3DX under Wine with the size,
// format and texels the tool's formulas give.
#include "support/DeviceFixture.h"
#include "tests/tools/ToolsTestData.h"

#include <gtest/gtest.h>

#include <d3d9.h>
#include <d3dx9.h>

#include <cstdlib>

namespace {

struct Texel {
    unsigned x, y;
    uint32_t argb;
};

struct PictureCase {
    const char* file;
    UINT width, height;
    D3DXIMAGE_FILEFORMAT fileFormat;
    D3DFORMAT sourceFormat;
    int tolerance;
    std::vector<Texel> texels;  // level 0, read back as A8R8G8B8
};

uint32_t Argb(unsigned a, unsigned r, unsigned g, unsigned b) { return a << 24 | r << 16 | g << 8 | b; }

std::vector<PictureCase> Cases()
{
    auto grey = [](unsigned x, unsigned y) { unsigned v = x * 3 + y * 2; return Texel{x, y, Argb(255, v, v, v)}; };
    auto rgb = [](unsigned x, unsigned y) { return Texel{x, y, Argb(255, x * 5, y * 6, 255 - x * 2 - y)}; };
    auto rgba = [](unsigned x, unsigned y) {
        return Texel{x, y, Argb(255 - x * 4, 200 - x * 3, 50 + y * 5, (x * 7 + y * 3) & 0xFF)};
    };
    auto bmp = [](unsigned x, unsigned y) { return Texel{x, y, Argb(255, x * 6, y * 12, 100 + (x ^ y))}; };
    auto dds = [](unsigned x, unsigned y) { return Texel{x, y, Argb(255 - x * 4, x * 8, y * 16, 128)}; };
    return {
        {"test-grey.png", 64, 32, D3DXIFF_PNG, D3DFMT_L8, 0, {grey(0, 0), grey(63, 31), grey(17, 5)}},
        {"test-rgb.png", 48, 40, D3DXIFF_PNG, D3DFMT_R8G8B8, 0, {rgb(0, 0), rgb(47, 39), rgb(20, 9)}},
        {"test-rgba.png", 40, 24, D3DXIFF_PNG, D3DFMT_A8R8G8B8, 0, {rgba(0, 0), rgba(39, 23), rgba(13, 11)}},
        // Block centres of the flat 16 x 16 blocks; JPEG is lossy.
        {"test-jpeg.jpg", 64, 48, D3DXIFF_JPG, D3DFMT_R8G8B8, 6,
         {{8, 8, Argb(255, 200, 30, 30)}, {56, 8, Argb(255, 220, 220, 40)}, {24, 40, Argb(255, 160, 90, 40)}, {40, 40, Argb(255, 40, 90, 160)},
          {40, 24, Argb(255, 128, 128, 128)}}},
        // The last column sits next to the row padding.
        {"test-bmp.bmp", 37, 19, D3DXIFF_BMP, D3DFMT_R8G8B8, 0, {bmp(0, 0), bmp(36, 18), bmp(36, 0), bmp(5, 11)}},
        {"test-argb.dds", 32, 16, D3DXIFF_DDS, D3DFMT_A8R8G8B8, 0, {dds(0, 0), dds(31, 15), dds(9, 4)}},
    };
}

class PictureMakerTest : public DeviceFixture {};

TEST_F(PictureMakerTest, EachFormatDecodesWithItsSizeFormatAndTexels)
{
    for (const PictureCase& c : Cases()) {
        SCOPED_TRACE(c.file);
        std::vector<uint8_t> bytes = ReadToolsTestFile(c.file);
        ASSERT_FALSE(bytes.empty());
        D3DXIMAGE_INFO info = {};
        IDirect3DTexture9* texture = nullptr;
        HRESULT hr = D3DXCreateTextureFromFileInMemoryEx(
            Device(), bytes.data(), UINT(bytes.size()), D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, 1, 0,
            D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0, &info, nullptr, &texture);
        ASSERT_EQ(hr, D3D_OK);
        EXPECT_EQ(info.Width, c.width);
        EXPECT_EQ(info.Height, c.height);
        EXPECT_EQ(info.ImageFileFormat, c.fileFormat);
        EXPECT_EQ(info.Format, c.sourceFormat);
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(0, &desc);
        EXPECT_EQ(desc.Width, c.width);
        EXPECT_EQ(desc.Height, c.height);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        for (const Texel& t : c.texels) {
            uint32_t got = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.pBits) + t.y * locked.Pitch)[t.x];
            EXPECT_TRUE(ColorsNear(got, t.argb, c.tolerance))
                << "texel (" << t.x << ", " << t.y << "): got " << std::hex << got << ", expected " << t.argb;
        }
        texture->UnlockRect(0);
        texture->Release();
    }
}

// The DDS carries its whole mip chain; every level is the box-filtered ramp, which for these
// even-stepped ramps is exact: level L holds 8 * 2^L * x + 4 * (2^L - 1) in red, and so on.
TEST_F(PictureMakerTest, DdsMipChainLoadsWithEveryLevel)
{
    std::vector<uint8_t> bytes = ReadToolsTestFile("test-argb.dds");
    ASSERT_FALSE(bytes.empty());
    D3DXIMAGE_INFO info = {};
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(Device(), bytes.data(), UINT(bytes.size()), D3DX_DEFAULT_NONPOW2,
                                                  D3DX_DEFAULT_NONPOW2, D3DX_FROM_FILE, 0, D3DFMT_FROM_FILE,
                                                  D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0, &info,
                                                  nullptr, &texture),
              D3D_OK);
    EXPECT_EQ(info.MipLevels, 6u);
    ASSERT_EQ(texture->GetLevelCount(), 6u);
    for (unsigned level = 0; level < 6; ++level) {
        SCOPED_TRACE(level);
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(level, &desc);
        EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
        const unsigned k = 1u << level;
        const unsigned ky = 1u << std::min(level, 4u);  // the height reaches 1 a level earlier
        EXPECT_EQ(desc.Width, 32u / k);
        EXPECT_EQ(desc.Height, 16u / ky);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        const unsigned x = desc.Width - 1, y = desc.Height - 1;
        uint32_t got = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch)[x];
        uint32_t expected = Argb(255 - 4 * k * x - 2 * (k - 1), 8 * k * x + 4 * (k - 1), 16 * ky * y + 8 * (ky - 1), 128);
        EXPECT_EQ(got, expected) << std::hex << got << " " << expected;
        texture->UnlockRect(level);
    }
    texture->Release();
}

}  // namespace
