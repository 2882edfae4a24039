// The pictures of the fire brush and the flame layer come from the resource module
// "common_res.dll" under the ids their links name, with the properties the effects rely on.
#include <d3dx9.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "model/CurrentDevice.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_ImageFileLink.h"
#include "support/BuildFolderAsCurrent.h"
#include "support/CurrentDeviceFixture.h"
#include "support/TestPaths.h"

namespace {

// Level 0 of a texture as 0xAARRGGBB, whatever its format.
struct Texels {
    unsigned width = 0, height = 0;
    std::vector<uint32_t> argb;
    int Channel(unsigned x, unsigned y, int shift) const { return int((argb[y * width + x] >> shift) & 0xFF); }
};

class FirePicturesInModuleTest : public CurrentDeviceFixture {
protected:

    Texels Read(int32_t id)
    {
        Texels texels;
        const TextureFrameSet& set = m_store.GetTextureFrameSet(Vo_ImageFileLink(id, L"common_res.dll"));
        if (set.frames.empty() || !set.frames[0])
            return texels;
        ComRef<IDirect3DSurface9> source, copy;
        D3DSURFACE_DESC desc;
        if (FAILED(set.frames[0]->GetSurfaceLevel(0, source.Receive())) || FAILED(source->GetDesc(&desc)) ||
            FAILED(Device()->CreateOffscreenPlainSurface(desc.Width, desc.Height, D3DFMT_A8R8G8B8,
                                                         D3DPOOL_SYSTEMMEM, copy.Receive(), nullptr)) ||
            FAILED(D3DXLoadSurfaceFromSurface(copy.Get(), nullptr, nullptr, source.Get(), nullptr, nullptr,
                                              D3DX_FILTER_NONE, 0)))
            return texels;
        D3DLOCKED_RECT locked;
        if (FAILED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
            return texels;
        texels.width = desc.Width;
        texels.height = desc.Height;
        for (unsigned y = 0; y < desc.Height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch);
            texels.argb.insert(texels.argb.end(), row, row + desc.Width);
        }
        copy->UnlockRect();
        return texels;
    }

    Vo_DocResManager m_store;
    BuildFolderAsCurrent m_buildFolder;
};

double MeanOfRow(const Texels& t, unsigned y, int shift)
{
    double sum = 0;
    for (unsigned x = 0; x < t.width; ++x)
        sum += t.Channel(x, y, shift);
    return sum / t.width;
}

// The step across the wrap (last column to the first, or last row to the first) is no larger than
// the picture's steps between neighbours: the picture repeats without a seam.
void ExpectSeamless(const Texels& t, int shift, bool downwards)
{
    double inside = 0, seam = 0;
    unsigned n = 0;
    for (unsigned y = 0; y < t.height; ++y)
        for (unsigned x = 0; x + 1 < t.width; ++x, ++n)
            inside += std::abs(t.Channel(x + 1, y, shift) - t.Channel(x, y, shift));
    inside /= n;
    const unsigned count = downwards ? t.width : t.height;
    for (unsigned i = 0; i < count; ++i)
        seam += downwards ? std::abs(t.Channel(i, 0, shift) - t.Channel(i, t.height - 1, shift))
                          : std::abs(t.Channel(0, i, shift) - t.Channel(t.width - 1, i, shift));
    seam /= count;
    EXPECT_LE(seam, 2 * inside + 1) << "seam " << seam << " against " << inside << (downwards ? " down" : " across");
}

TEST_F(FirePicturesInModuleTest, FlameTonguesAreBrightestAtTheBottomAndRepeatAcross)
{
    for (int32_t id : {7, 93}) {
        SCOPED_TRACE(id);
        const Texels t = Read(id);
        ASSERT_EQ(t.width, 256u);
        ASSERT_EQ(t.height, 256u);
        EXPECT_LT(MeanOfRow(t, 0, 16), 10.0);
        EXPECT_GT(MeanOfRow(t, 128, 16), MeanOfRow(t, 64, 16));
        EXPECT_GT(MeanOfRow(t, 255, 16), 200.0);
        ExpectSeamless(t, 16, false);
    }
}

TEST_F(FirePicturesInModuleTest, NoiseSpansTheRangeAndRepeatsBothWays)
{
    const Texels t = Read(8);
    ASSERT_EQ(t.width, 256u);
    int lo = 255, hi = 0;
    for (uint32_t c : t.argb) {
        lo = std::min(lo, int((c >> 16) & 0xFF));
        hi = std::max(hi, int((c >> 16) & 0xFF));
    }
    EXPECT_LT(lo, 10);
    EXPECT_GT(hi, 245);
    ExpectSeamless(t, 16, false);
    ExpectSeamless(t, 16, true);
}

// Red and green shift the image either way by equal amounts on average.
TEST_F(FirePicturesInModuleTest, HazeDistortionIsCentredOnHalf)
{
    const Texels t = Read(62);
    ASSERT_EQ(t.width, 512u);
    for (int shift : {16, 8}) {
        SCOPED_TRACE(shift);
        double sum = 0;
        for (unsigned y = 0; y < t.height; ++y)
            sum += MeanOfRow(t, y, shift);
        EXPECT_NEAR(sum / t.height, 127.5, 1.0);
        ExpectSeamless(t, shift, false);
        ExpectSeamless(t, shift, true);
    }
}

}  // namespace
