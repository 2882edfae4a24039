#include "model/D3DResourceMakers.h"

#include <d3dx9.h>

#include <cmath>

#include "ResourceTestData.h"

using namespace restest;

namespace {

class D3DResourceMakersTest : public CurrentDeviceFixture {};

std::vector<uint16_t> ReadIndices(IDirect3DIndexBuffer9* buffer)
{
    std::vector<uint16_t> indices;
    D3DINDEXBUFFER_DESC desc;
    void* data = nullptr;
    if (!buffer || FAILED(buffer->GetDesc(&desc)) || FAILED(buffer->Lock(0, 0, &data, D3DLOCK_READONLY)))
        return indices;
    const uint16_t* p = static_cast<const uint16_t*>(data);
    indices.assign(p, p + desc.Size / 2);
    buffer->Unlock();
    return indices;
}

}  // namespace

TEST_F(D3DResourceMakersTest, ProgramPictureLoadsWithFullMipChainAndMissingIdFails)
{
    ComRef<IDirect3DTexture9> noise;
    ASSERT_EQ(LoadTextureFromResource(noise, 2, true), S_OK);
    ASSERT_TRUE(noise);
    D3DSURFACE_DESC desc;
    noise->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 512u);
    EXPECT_EQ(desc.Height, 512u);
    EXPECT_EQ(noise->GetLevelCount(), 10u);

    ComRef<IDirect3DTexture9> single;
    ASSERT_EQ(LoadTextureFromResource(single, 2, false), S_OK);
    EXPECT_EQ(single->GetLevelCount(), 1u);

    ComRef<IDirect3DTexture9> missing = noise;  // what the holder had is let go
    EXPECT_EQ(LoadTextureFromResource(missing, 77, true), E_FAIL);
    EXPECT_FALSE(missing);
}

TEST_F(D3DResourceMakersTest, MemoryPictureReportsThePictureSize)
{
    std::vector<uint8_t> bmp = SolidBmp(16, 8, 0xFF3060C0);
    D3DXIMAGE_INFO info = {};
    ComRef<IDirect3DTexture9> texture;
    ASSERT_EQ(LoadTextureFromMemory(info, static_cast<uint32_t>(bmp.size()), bmp.data(), texture), S_OK);
    EXPECT_EQ(info.Width, 16u);
    EXPECT_EQ(info.Height, 8u);
    EXPECT_TRUE(ColorsNear(TexelAt(texture.Get(), 3, 5), 0xFF3060C0));

    // Bad input fails cleanly.
    const uint8_t junk[] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_TRUE(FAILED(LoadTextureFromMemory(info, sizeof(junk), junk, texture)));
    EXPECT_FALSE(texture);
    EXPECT_TRUE(FAILED(LoadTextureFromMemory(info, 0, nullptr, texture)));
}

TEST_F(D3DResourceMakersTest, DuDvPictureKeepsItsFormatAndLevels)
{
    std::vector<uint8_t> dds = BumpDds(10);
    D3DXIMAGE_INFO info = {};
    ComRef<IDirect3DTexture9> texture;
    ASSERT_EQ(LoadTextureFromMemory(info, static_cast<uint32_t>(dds.size()), dds.data(), texture), S_OK);
    EXPECT_EQ(info.Width, 4u);
    EXPECT_EQ(info.Height, 2u);
    EXPECT_EQ(info.Format, D3DFMT_V8U8);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->GetLevelCount(), 2u);
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_V8U8);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<const uint8_t*>(locked.pBits)[1], 11);
    texture->UnlockRect(0);

    // A damaged file of that kind fails like any other undecodable picture.
    dds.resize(140);
    EXPECT_TRUE(FAILED(LoadTextureFromMemory(info, static_cast<uint32_t>(dds.size()), dds.data(), texture)));
    EXPECT_FALSE(texture);
}

TEST_F(D3DResourceMakersTest, CopyTextureScalesLevelZeroIntoAFullChain)
{
    std::vector<uint8_t> bmp = SolidBmp(16, 8, 0xFF10A040);
    D3DXIMAGE_INFO info = {};
    ComRef<IDirect3DTexture9> source;
    ASSERT_EQ(LoadTextureFromMemory(info, static_cast<uint32_t>(bmp.size()), bmp.data(), source), S_OK);

    ComRef<IDirect3DTexture9> copy;
    CopyTexture(32, 32, D3DFMT_A8R8G8B8, source.Get(), copy);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->GetLevelCount(), 6u);
    EXPECT_TRUE(ColorsNear(TexelAt(copy.Get(), 31, 31), 0xFF10A040));

    CopyTexture(32, 32, D3DFMT_A8R8G8B8, nullptr, copy);
    EXPECT_FALSE(copy);
}

TEST_F(D3DResourceMakersTest, GridOfThreeColumnsAndTwoRows)
{
    GridIndexBuffer grid;
    ASSERT_EQ(BuildGridIndexBuffer(grid, 3, 2), S_OK);
    EXPECT_EQ(grid.triangleCount, 4u);
    EXPECT_EQ(grid.locked, nullptr);
    EXPECT_EQ(ReadIndices(grid.indexBuffer.Get()),
              (std::vector<uint16_t>{0, 1, 3, 3, 1, 4, 1, 2, 4, 4, 2, 5}));
}

TEST_F(D3DResourceMakersTest, GridsThatIndicesCannotCoverAreEmpty)
{
    struct Case {
        uint32_t columns, rows;
        bool made;
    };
    const Case cases[] = {
        {1, 5, false},       // no cell
        {5, 1, false},
        {0, 0, false},
        {257, 256, false},   // 65792 vertices: 16-bit indices would wrap
        {65537, 2, false},
        {256, 256, true},    // exactly 65536 vertices, the last one is 65535
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.columns << " x " << c.rows);
        GridIndexBuffer grid;
        HRESULT hr = BuildGridIndexBuffer(grid, c.columns, c.rows);
        EXPECT_EQ(SUCCEEDED(hr), c.made);
        EXPECT_EQ(static_cast<bool>(grid.indexBuffer), c.made);
        if (!c.made) {
            EXPECT_EQ(grid.triangleCount, 0u);
            continue;
        }
        std::vector<uint16_t> indices = ReadIndices(grid.indexBuffer.Get());
        ASSERT_EQ(indices.size(), 3u * grid.triangleCount);
        EXPECT_EQ(indices.back(), 65535);
    }
}

TEST_F(D3DResourceMakersTest, BackBufferDescriptionAndNoDevice)
{
    D3DSURFACE_DESC desc;
    GetBackBufferDesc(desc);
    EXPECT_EQ(desc.Width, kSize);
    EXPECT_EQ(desc.Height, kSize);

    CurrentDevice = nullptr;
    GetBackBufferDesc(desc);
    EXPECT_EQ(desc.Width, 0u);
    EXPECT_EQ(desc.Height, 0u);
    EXPECT_EQ(desc.Format, D3DFMT_UNKNOWN);
}

TEST_F(D3DResourceMakersTest, TextMeshBecomesNormalTexVertices)
{
    std::vector<uint8_t> x = QuadMeshBytes();
    MeshRecord record;
    ASSERT_EQ(LoadMeshFromMemory(x.data(), static_cast<uint32_t>(x.size()), 32, record), S_OK);
    EXPECT_EQ(record.vertexCount, 4u);
    EXPECT_EQ(record.faceCount, 2u);
    EXPECT_NEAR(record.boundingRadius, std::sqrt(2.0f), 1e-4);
    EXPECT_NEAR(record.boundingCentre[0], 0.0f, 1e-5);
    EXPECT_NEAR(record.boundingCentre[1], 0.0f, 1e-5);
    EXPECT_NEAR(record.boundingCentre[2], 0.0f, 1e-5);

    ASSERT_TRUE(record.vertexBuffer);
    D3DVERTEXBUFFER_DESC vdesc;
    record.vertexBuffer->GetDesc(&vdesc);
    EXPECT_EQ(vdesc.Size, 4u * 32u);
    EXPECT_EQ(vdesc.Pool, D3DPOOL_MANAGED);
    // Every vertex lies on a corner with a normal along z (computed, since the file has none).
    void* data = nullptr;
    ASSERT_EQ(record.vertexBuffer->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    const float* v = static_cast<const float*>(data);
    for (int i = 0; i < 4; ++i, v += 8) {
        EXPECT_FLOAT_EQ(std::fabs(v[0]), 1.0f);
        EXPECT_FLOAT_EQ(std::fabs(v[1]), 1.0f);
        EXPECT_NEAR(std::fabs(v[5]), 1.0f, 1e-4);
    }
    record.vertexBuffer->Unlock();

    std::vector<uint16_t> indices = ReadIndices(record.indexBuffer.Get());
    ASSERT_EQ(indices.size(), 6u);
    for (uint16_t i : indices)
        EXPECT_LT(i, 4);
}

TEST_F(D3DResourceMakersTest, MeshThatCannotBeCopiedLeavesTheRecordAlone)
{
    std::vector<uint8_t> x = QuadMeshBytes();
    MeshRecord record;
    ASSERT_EQ(LoadMeshFromMemory(x.data(), static_cast<uint32_t>(x.size()), 32, record), S_OK);
    IDirect3DVertexBuffer9* kept = record.vertexBuffer.Get();

    const uint8_t junk[] = "xof 0303txt 0032\nMesh { 4; broken";
    struct Case {
        const char* what;
        const uint8_t* bytes;
        uint32_t size;
        uint32_t stride;
    };
    const Case cases[] = {
        {"stride 24 would split vertices", x.data(), static_cast<uint32_t>(x.size()), 24},
        {"stride 40 would read past each vertex", x.data(), static_cast<uint32_t>(x.size()), 40},
        {"broken .x data", junk, sizeof(junk), 32},
        {"no bytes", nullptr, 0, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(FAILED(LoadMeshFromMemory(c.bytes, c.size, c.stride, record)));
        EXPECT_EQ(record.vertexBuffer.Get(), kept);
        EXPECT_EQ(record.vertexCount, 4u);
    }
}

TEST_F(D3DResourceMakersTest, CopiesRefuseThirtyTwoBitIndicesAndForeignStrides)
{
    ComRef<ID3DXMesh> wide;
    ASSERT_EQ(D3DXCreateMeshFVF(2, 4, D3DXMESH_SYSTEMMEM | D3DXMESH_32BIT,
                                D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, Device(), wide.Receive()),
              D3D_OK);
    ComRef<IDirect3DIndexBuffer9> indices;
    EXPECT_TRUE(FAILED(CopyMeshIndices(indices, wide.Get())));
    EXPECT_FALSE(indices);

    ComRef<IDirect3DVertexBuffer9> vertices;
    EXPECT_TRUE(FAILED(CopyMeshVertices(vertices, wide.Get(), 64)));
    EXPECT_FALSE(vertices);
    EXPECT_EQ(CopyMeshVertices(vertices, wide.Get(), 32), S_OK);
    EXPECT_TRUE(vertices);
}

TEST_F(D3DResourceMakersTest, MeshFromModuleResource)
{
    BuildFolderAsCurrent buildFolder;
    ModuleHandle module = nullptr;
    ASSERT_TRUE(OpenResourceModule(L"test_res.dll", module));
    MeshRecord record;
    EXPECT_EQ(LoadMeshFromResource(module, 901, 32, record), S_OK);
    EXPECT_EQ(record.faceCount, 2u);

    MeshRecord none;
    EXPECT_TRUE(FAILED(LoadMeshFromResource(module, 999, 32, none)));
    EXPECT_FALSE(none.vertexBuffer);
}
