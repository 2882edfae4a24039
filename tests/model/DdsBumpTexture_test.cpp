// The project's own V8U8 DDS reader: a picture tool's du/dv file loads level by level, and broken
// headers fail with a reason instead of reading past the bytes.
#include "model/DdsBumpTexture.h"

#include "support/DdsBytes.h"
#include "support/DeviceFixture.h"
#include "support/GuardPageBuffer.h"
#include "tests/tools/ToolsTestData.h"

#include <gtest/gtest.h>

#include <d3d9.h>
#include <d3dx9.h>

#include <cstring>
#include <functional>

namespace {

class DdsBumpTextureTest : public DeviceFixture {};

// test-bump.dds: 32 x 32, u = 4x - 64, v = 4y - 64. Box filtering keeps these even-stepped ramps
// exact, so level L holds u = 4 * 2^L * x - 64 + 2 * (2^L - 1) (and v likewise).
TEST_F(DdsBumpTextureTest, PictureToolFileLoadsEveryLevel)
{
    std::vector<uint8_t> bytes = ReadToolsTestFile("test-bump.dds");
    ASSERT_FALSE(bytes.empty());
    GuardPageBuffer guarded(bytes);
    EXPECT_TRUE(DdsBumpTexture::IsBumpDds(guarded.begin(), guarded.size()));
    IDirect3DTexture9* texture = nullptr;
    std::string error;
    ASSERT_EQ(DdsBumpTexture::CreateTexture(Device(), guarded.begin(), guarded.size(), &texture, &error), D3D_OK)
        << error;
    ASSERT_EQ(texture->GetLevelCount(), 6u);
    for (unsigned level = 0; level < 6; ++level) {
        SCOPED_TRACE(level);
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(level, &desc);
        EXPECT_EQ(desc.Format, D3DFMT_V8U8);
        EXPECT_EQ(desc.Width, 32u >> level);
        EXPECT_EQ(desc.Height, 32u >> level);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        const int k = 1 << level;
        int wrong = 0;
        for (unsigned y = 0; y < desc.Height; ++y)
            for (unsigned x = 0; x < desc.Width; ++x) {
                const int8_t* t = reinterpret_cast<const int8_t*>(static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch) + 2 * x;
                int u = 4 * k * int(x) - 64 + 2 * (k - 1), v = 4 * k * int(y) - 64 + 2 * (k - 1);
                if ((t[0] != u || t[1] != v) && wrong++ < 3)
                    ADD_FAILURE() << "(" << x << ", " << y << "): " << int(t[0]) << ", " << int(t[1]) << " expected "
                                  << u << ", " << v;
            }
        texture->UnlockRect(level);
    }
    texture->Release();
}

// A hand-built 4 x 2 V8U8 file with two levels whose byte at offset i (from 128 on) is i.
std::vector<uint8_t> SmallBumpFile() { return BumpDds(128); }

TEST_F(DdsBumpTextureTest, BrokenHeadersFailWithAReason)
{
    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> breakIt;
        const char* reason;
    };
    auto put = [](std::vector<uint8_t>& f, size_t at, uint32_t v) { std::memcpy(&f[at], &v, 4); };
    const Case cases[] = {
        {"empty", [](std::vector<uint8_t>& f) { f.clear(); }, "shorter than its 128-byte header"},
        {"half header", [](std::vector<uint8_t>& f) { f.resize(100); }, "shorter than its 128-byte header"},
        {"signature", [](std::vector<uint8_t>& f) { f[0] = 'X'; }, "no 'DDS ' signature"},
        {"header size", [&](std::vector<uint8_t>& f) { put(f, 4, 100); }, "size is wrong"},
        {"zero width", [&](std::vector<uint8_t>& f) { put(f, 16, 0); }, "out of range"},
        {"huge height", [&](std::vector<uint8_t>& f) { put(f, 12, 0x40000000); }, "out of range"},
        {"not bump", [&](std::vector<uint8_t>& f) { put(f, 80, 0x41); put(f, 88, 32); }, "not V8U8"},
        {"other masks", [&](std::vector<uint8_t>& f) { put(f, 92, 0xFF00); put(f, 96, 0x00FF); }, "not V8U8"},
        {"cube map", [&](std::vector<uint8_t>& f) { put(f, 112, 0x200); }, "cube maps"},
        {"too many levels", [&](std::vector<uint8_t>& f) { put(f, 28, 4); }, "mip levels"},
        // A count that would overflow a 32-bit size sum if levels were not limited first.
        {"absurd levels", [&](std::vector<uint8_t>& f) { put(f, 28, 0xFFFFFFFF); }, "mip levels"},
        {"pixels cut short", [](std::vector<uint8_t>& f) { f.pop_back(); }, "truncated"},
        {"second level missing", [](std::vector<uint8_t>& f) { f.resize(128 + 16); }, "truncated"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = SmallBumpFile();
        c.breakIt(bytes);
        // The guard page turns any read past the end into a crash.
        GuardPageBuffer guarded(bytes);
        IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(1);
        std::string error;
        HRESULT hr = DdsBumpTexture::CreateTexture(Device(), guarded.begin(), guarded.size(), &texture, &error);
        EXPECT_EQ(hr, D3DXERR_INVALIDDATA);
        EXPECT_EQ(texture, nullptr);
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_FALSE(DdsBumpTexture::IsBumpDds(guarded.begin(), guarded.size()));
    }
}

TEST_F(DdsBumpTextureTest, SmallFileWithBothLevelsLoads)
{
    std::vector<uint8_t> bytes = SmallBumpFile();
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(DdsBumpTexture::CreateTexture(Device(), bytes.data(), bytes.size(), &texture), D3D_OK);
    ASSERT_EQ(texture->GetLevelCount(), 2u);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(1, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    // Level 1 is 2 x 1: the four bytes after level 0's sixteen.
    EXPECT_EQ(static_cast<const uint8_t*>(locked.pBits)[0], uint8_t(128 + 16));
    EXPECT_EQ(static_cast<const uint8_t*>(locked.pBits)[3], uint8_t(128 + 19));
    texture->UnlockRect(1);
    texture->Release();
}

}  // namespace
