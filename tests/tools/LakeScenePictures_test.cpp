// The embedded scene's landscape and its brush masks: they decode through D3DX, share one size,
// and each mask is strong where the landscape shows its water and empty elsewhere.
#include "support/DeviceFixture.h"
#include "tests/tools/ToolsTestData.h"

#include <gtest/gtest.h>

#include <d3d9.h>
#include <d3dx9.h>

namespace {

class LakeScenePicturesTest : public DeviceFixture {
protected:
    // Level 0 as A8R8G8B8 texels, row after row; empty when the file does not load.
    std::vector<uint32_t> Load(const char* file, UINT& width, UINT& height)
    {
        std::vector<uint32_t> texels;
        std::vector<uint8_t> bytes = ReadToolsTestFile(file);
        IDirect3DTexture9* texture = nullptr;
        D3DXIMAGE_INFO info = {};
        if (bytes.empty() ||
            FAILED(D3DXCreateTextureFromFileInMemoryEx(Device(), bytes.data(), UINT(bytes.size()), D3DX_DEFAULT_NONPOW2,
                                                       D3DX_DEFAULT_NONPOW2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                                       D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0, &info, nullptr, &texture)))
            return texels;
        width = info.Width;
        height = info.Height;
        D3DLOCKED_RECT locked;
        if (SUCCEEDED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) {
            for (UINT y = 0; y < height; ++y) {
                auto row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch);
                texels.insert(texels.end(), row, row + width);
            }
            texture->UnlockRect(0);
        }
        texture->Release();
        return texels;
    }
};

unsigned Alpha(uint32_t argb) { return argb >> 24; }

struct MaskCase {
    const char* file;
    unsigned strongX, strongY;  // a point inside the masked water
    unsigned emptyX, emptyY;    // a point on land or sky
};

TEST_F(LakeScenePicturesTest, MasksMatchTheLandscapeWater)
{
    UINT w = 0, h = 0;
    std::vector<uint32_t> landscape = Load("lake-landscape.png", w, h);
    ASSERT_EQ(landscape.size(), size_t(1024) * 768);
    // The waterfall is light, the sky above the hills blue, the meadow green.
    auto rgb = [&](unsigned x, unsigned y) { return landscape[y * w + x] & 0xFFFFFF; };
    EXPECT_GT(rgb(817, 400) & 0xFF, 200u) << std::hex << rgb(817, 400);
    EXPECT_GT(rgb(100, 40) & 0xFF, (rgb(100, 40) >> 16) & 0xFF);
    EXPECT_GT((rgb(200, 590) >> 8) & 0xFF, (rgb(200, 590) >> 16) & 0xFF);

    const MaskCase cases[] = {
        {"lake-water-mask.png", 720, 566, 200, 590},
        {"lake-waterfall-mask.png", 817, 400, 760, 400},
        {"lake-waves-mask.png", 500, 720, 500, 600},
    };
    for (const MaskCase& c : cases) {
        SCOPED_TRACE(c.file);
        UINT mw = 0, mh = 0;
        std::vector<uint32_t> mask = Load(c.file, mw, mh);
        ASSERT_EQ(mw, w);
        ASSERT_EQ(mh, h);
        EXPECT_EQ(Alpha(mask[c.strongY * mw + c.strongX]), 255u);
        EXPECT_EQ(Alpha(mask[c.emptyY * mw + c.emptyX]), 0u);
    }
}

}  // namespace
