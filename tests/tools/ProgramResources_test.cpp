// The program carries its own pictures and icon: "QNT" 5 (splash) and 2 (noise) decode through
// D3DX to 512 x 512, and icon 101 is there with its sizes.
#include "support/DeviceFixture.h"
#include "support/SaverAsDataFile.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

namespace {

class ProgramResourcesTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_module = m_saver.Module();
        ASSERT_NE(m_module, nullptr);
    }

    // The bytes of a resource, or an empty range.
    std::pair<const void*, DWORD> Resource(int id, const wchar_t* type) const
    {
        HRSRC found = FindResourceW(m_module, MAKEINTRESOURCEW(id), type);
        if (!found)
            return {nullptr, 0};
        HGLOBAL loaded = LoadResource(m_module, found);
        return {loaded ? LockResource(loaded) : nullptr, SizeofResource(m_module, found)};
    }

    SaverAsDataFile m_saver;
    HMODULE m_module = nullptr;
};

TEST_F(ProgramResourcesTest, SplashAndNoisePicturesDecodeTo512Square)
{
    struct Case {
        int id;
        D3DFORMAT format;
    };
    for (const Case& c : {Case{5, D3DFMT_R8G8B8}, Case{2, D3DFMT_L8}}) {
        SCOPED_TRACE(c.id);
        auto [data, size] = Resource(c.id, L"QNT");
        ASSERT_NE(data, nullptr);
        D3DXIMAGE_INFO info = {};
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(Device(), data, size, D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                                                      D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_FILTER_NONE,
                                                      D3DX_FILTER_NONE, 0, &info, nullptr, &texture),
                  D3D_OK);
        EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG);
        EXPECT_EQ(info.Width, 512u);
        EXPECT_EQ(info.Height, 512u);
        EXPECT_EQ(info.Format, c.format);
        // The splash is black apart from its notice; the noise uses the whole grey range.
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        unsigned lo = 255, hi = 0, lit = 0;
        for (unsigned y = 0; y < 512; ++y)
            for (unsigned x = 0; x < 512; ++x) {
                uint32_t p = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch)[x];
                unsigned g = (p >> 8) & 0xFF;
                lo = std::min(lo, g);
                hi = std::max(hi, g);
                lit += g != 0;
            }
        texture->UnlockRect(0);
        texture->Release();
        if (c.id == 5) {
            EXPECT_EQ(lo, 0u);
            EXPECT_GT(lit, 100u);
            EXPECT_LT(lit, 512u * 512u / 50);
        } else {
            EXPECT_EQ(lo, 0u);
            EXPECT_EQ(hi, 255u);
        }
    }
}

TEST_F(ProgramResourcesTest, IconHasItsSizes)
{
    auto [group, size] = Resource(101, MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    ASSERT_GE(size, 6u);
    const uint16_t* header = static_cast<const uint16_t*>(group);
    EXPECT_EQ(header[1], 1);  // icon
    EXPECT_EQ(header[2], 3);  // 16, 32 and 48 pixels
    for (int cx : {16, 32, 48}) {
        SCOPED_TRACE(cx);
        int id = LookupIconIdFromDirectoryEx(static_cast<BYTE*>(const_cast<void*>(group)), TRUE, cx, cx, LR_DEFAULTCOLOR);
        ASSERT_NE(id, 0);
        auto [image, imageSize] = Resource(id, MAKEINTRESOURCEW(3));  // RT_ICON
        ASSERT_NE(image, nullptr);
        HICON icon = CreateIconFromResourceEx(static_cast<BYTE*>(const_cast<void*>(image)), imageSize, TRUE, 0x00030000,
                                              cx, cx, LR_DEFAULTCOLOR);
        ASSERT_NE(icon, nullptr);
        ICONINFO iconInfo = {};
        ASSERT_TRUE(GetIconInfo(icon, &iconInfo));
        BITMAP bitmap = {};
        GetObjectW(iconInfo.hbmColor, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, cx);
        DeleteObject(iconInfo.hbmColor);
        DeleteObject(iconInfo.hbmMask);
        DestroyIcon(icon);
    }
}

}  // namespace
