#include "MeshDeviceTest.h"

#include "runtime/Vo_ChunkedSpriteArray.h"

namespace {

using Vo_ChunkedSpriteArrayTest = MeshDeviceTest;

struct ChunkCase {
    int quads;
    std::vector<UINT> chunkQuads;  // quads per chunk; 0 = a chunk without buffers
};

TEST_F(Vo_ChunkedSpriteArrayTest, ChunkBoundaries)
{
    const ChunkCase cases[] = {
        {0, {0}},
        {1, {1}},
        {16382, {16382}},
        // A multiple of the chunk size leaves an empty last chunk.
        {16383, {16383, 0}},
        {16384, {16383, 1}},
        {32767, {16383, 16383, 1}},
    };
    for (const ChunkCase& c : cases) {
        SCOPED_TRACE(c.quads);
        Vo_ChunkedSpriteArray sprites;
        sprites.Resize(c.quads);
        EXPECT_EQ(sprites.QuadCount(), c.quads);
        ASSERT_EQ(sprites.Chunks().size(), c.chunkQuads.size());
        for (size_t k = 0; k < c.chunkQuads.size(); ++k) {
            const TexturedMesh& chunk = sprites.Chunks()[k];
            const UINT q = c.chunkQuads[k];
            EXPECT_EQ(chunk.VertexCount(), 4 * q);
            EXPECT_EQ(chunk.IndexedPrimitiveCount(), 2 * q);
            EXPECT_EQ(chunk.VertexBuffer() != nullptr, q > 0);
            EXPECT_EQ(chunk.IndexBuffer() != nullptr, q > 0);
        }
    }
}

TEST_F(Vo_ChunkedSpriteArrayTest, QuadsAreAddressedAcrossChunksAndBounded)
{
    Vo_ChunkedSpriteArray sprites;
    sprites.Resize(16384);

    // Fresh vertices: origin, rhw 1, colour 0, standard texture coordinates.
    auto fresh = ReadVertices<ScreenTexVertex>(sprites.Chunks()[1].VertexBuffer());
    ASSERT_EQ(fresh.size(), 4u);
    EXPECT_EQ(fresh[0].rhw, 1.0f);
    EXPECT_EQ(fresh[0].color, 0u);
    EXPECT_EQ(fresh[0].v, 1.0f);
    EXPECT_EQ(fresh[3].u, 1.0f);
    EXPECT_EQ(fresh[3].v, 0.0f);
    auto lastIndices = ReadIndices(sprites.Chunks()[0].IndexBuffer());
    EXPECT_EQ(lastIndices.back(), 65531);

    sprites.LockAll();
    // Quad 16383 is quad 0 of the second chunk.
    sprites.SetQuad(16383, D3DXVECTOR3(10, 20, 0), D3DXVECTOR3(2, 0, 0), D3DXVECTOR3(0, 3, 0));
    sprites.SetTexCoords(16383, 0.25f, 0.5f, 0.125f, 0.375f);
    sprites.SetQuadColor(16383, 0xFF00FF00);
    sprites.SetQuadColor(16382, 0xFFFF0000);
    // Indices outside the array are ignored.
    sprites.SetQuad(16384, D3DXVECTOR3(1, 1, 0), D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 1, 0));
    sprites.SetQuad(-1, D3DXVECTOR3(1, 1, 0), D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 1, 0));
    sprites.SetQuadColor(1 << 30, 0x12345678);
    sprites.UnlockAll();
    // Unlocked: writes are ignored rather than going to a stale pointer.
    sprites.SetQuadColor(16383, 0x12345678);

    auto second = ReadVertices<ScreenTexVertex>(sprites.Chunks()[1].VertexBuffer());
    // Bottom-left P - X + Y, top-left P - X - Y, bottom-right P + X + Y, top-right P + X - Y.
    const float expected[4][2] = {{8, 23}, {8, 17}, {12, 23}, {12, 17}};
    const float uv[4][2] = {{0.25f, 0.375f}, {0.25f, 0.125f}, {0.5f, 0.375f}, {0.5f, 0.125f}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(second[i].x, expected[i][0]);
        EXPECT_EQ(second[i].y, expected[i][1]);
        EXPECT_EQ(second[i].u, uv[i][0]);
        EXPECT_EQ(second[i].v, uv[i][1]);
        EXPECT_EQ(second[i].color, 0xFF00FF00u);
    }
    auto first = ReadVertices<ScreenTexVertex>(sprites.Chunks()[0].VertexBuffer());
    EXPECT_EQ(first[4 * 16382 + 3].color, 0xFFFF0000u);
    EXPECT_EQ(first[0].color, 0u);
}

TEST_F(Vo_ChunkedSpriteArrayTest, DrawsEveryChunkWithItsTexture)
{
    ComRef<IDirect3DTexture9> white = MakeRowTexture({0xFFFFFFFF});
    Vo_ChunkedSpriteArray sprites;
    sprites.SetTexture(white.Get());
    sprites.Resize(16384);
    EXPECT_EQ(sprites.Chunks()[1].Texture(), white.Get());

    sprites.LockAll();
    // The last quad of chunk 0 on the left half, the only quad of chunk 1 on the right half.
    sprites.SetQuad(16382, D3DXVECTOR3(16, 32, 0), D3DXVECTOR3(16, 0, 0), D3DXVECTOR3(0, 32, 0));
    sprites.SetQuadColor(16382, 0xFFFF0000);
    sprites.SetQuad(16383, D3DXVECTOR3(48, 32, 0), D3DXVECTOR3(16, 0, 0), D3DXVECTOR3(0, 32, 0));
    sprites.SetQuadColor(16383, 0xFF0000FF);
    sprites.UnlockAll();

    IDirect3DDevice9* d = Device();
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_ZENABLE, FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    ASSERT_EQ(d->BeginScene(), D3D_OK);
    sprites.Draw();
    d->EndScene();
    EXPECT_TRUE(ColorsNear(PixelAt(10, 10), 0xFFFF0000)) << std::hex << PixelAt(10, 10);
    EXPECT_TRUE(ColorsNear(PixelAt(50, 50), 0xFF0000FF)) << std::hex << PixelAt(50, 50);
}

}  // namespace
