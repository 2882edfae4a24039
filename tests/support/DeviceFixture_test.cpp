#include "support/DeviceFixture.h"

#include <d3d9.h>

#include <gtest/gtest-spi.h>

#include "model/ComRef.h"

TEST_F(DeviceFixture, ClearedTargetReadsBackTheClearColour)
{
    ASSERT_EQ(Device()->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 200, 100, 50), 1.0f, 0),
              D3D_OK);
    std::vector<uint32_t> pixels = ReadBack();
    ASSERT_EQ(pixels.size(), size_t(kSize) * kSize);
    for (uint32_t p : pixels)
        ASSERT_EQ(p, 0xFFC86432u);
}

TEST_F(DeviceFixture, ClearOfARectangleLeavesTheRestAlone)
{
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 0, 0, 0), 1.0f, 0);
    D3DRECT rect = {8, 8, 16, 16};
    Device()->Clear(1, &rect, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 0, 0, 255), 1.0f, 0);
    EXPECT_EQ(PixelAt(10, 10), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(20, 10), 0xFF000000u);
    EXPECT_EQ(PixelAt(7, 7), 0xFF000000u);
}

// A read-back that fails must fail the test, not hand back pixels that pass as black.
TEST_F(DeviceFixture, AFailedReadBackFailsTheTest)
{
    EXPECT_NONFATAL_FAILURE(ReadRenderTarget(Device(), nullptr), "read-back failed");
    // Pixels of 16 bits cannot be read as 0xAARRGGBB.
    ComRef<IDirect3DSurface9> narrow;
    ASSERT_EQ(Device()->CreateRenderTarget(kSize, kSize, D3DFMT_R5G6B5, D3DMULTISAMPLE_NONE, 0, FALSE,
                                           narrow.Receive(), nullptr),
              D3D_OK);
    EXPECT_NONFATAL_FAILURE(ReadRenderTarget(Device(), narrow.Get()), "read-back failed");
    EXPECT_NONFATAL_FAILURE(PixelAt(kSize, 0), "outside");
}

TEST(ColorsNearTest, ComparesEachChannelWithinTheTolerance)
{
    EXPECT_TRUE(ColorsNear(0xFF102030, 0xFF112131, 1));
    EXPECT_FALSE(ColorsNear(0xFF102030, 0xFF102033, 2));
    EXPECT_FALSE(ColorsNear(0x00102030, 0xFF102030, 2));
}
