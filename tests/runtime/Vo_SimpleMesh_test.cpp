#include "MeshDeviceTest.h"

#include <cmath>

#include "runtime/TexturedQuad.h"
#include "runtime/Vo_IndexedMesh.h"

namespace {

using Vo_SimpleMeshTest = MeshDeviceTest;

ScreenQuad QuadAt(float left, float top, float right, float bottom)
{
    ScreenQuad q;
    InitRectangleQuad(q, left, top, right, bottom);
    return q;
}

TEST_F(Vo_SimpleMeshTest, ScreenColorQuadAndCornerAlphas)
{
    Vo_SimpleMesh<DX_V::PCT> mesh;
    ASSERT_EQ(mesh.SetQuadWithColor(0x11223344, QuadAt(1, 2, 3, 4)), S_OK);
    EXPECT_EQ(mesh.PrimitiveType(), D3DPT_TRIANGLESTRIP);
    EXPECT_EQ(mesh.PrimitiveCount(), 2u);
    auto v = ReadVertices<ScreenColorVertex>(mesh.VertexBuffer());
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0].x, 1);
    EXPECT_EQ(v[0].y, 4);
    EXPECT_EQ(v[3].x, 3);
    EXPECT_EQ(v[3].y, 2);
    for (const auto& vertex : v) {
        EXPECT_EQ(vertex.z, 0.0f);
        EXPECT_EQ(vertex.rhw, 1.0f);  // the quad's z
        EXPECT_EQ(vertex.color, 0x11223344u);
    }

    // Bottom-left, bottom-right, top-left, top-right: vertices 0, 2, 1, 3.
    mesh.SetCornerAlphas(0.5f, 1.0f, 0.0f, 1.0f);
    mesh.SetScreenCorners(QuadAt(10, 20, 30, 40));
    v = ReadVertices<ScreenColorVertex>(mesh.VertexBuffer());
    EXPECT_EQ(v[0].color, 0x7F223344u);
    EXPECT_EQ(v[2].color, 0xFF223344u);
    EXPECT_EQ(v[1].color, 0x00223344u);
    EXPECT_EQ(v[3].color, 0xFF223344u);
    EXPECT_EQ(v[1].x, 10);
    EXPECT_EQ(v[1].y, 20);

    // Out-of-range and NaN alphas clamp instead of wrapping.
    mesh.SetCornerAlphas(NAN, 2.0f, -1.0f, 0.25f);
    v = ReadVertices<ScreenColorVertex>(mesh.VertexBuffer());
    EXPECT_EQ(v[0].color >> 24, 0u);
    EXPECT_EQ(v[2].color >> 24, 255u);
    EXPECT_EQ(v[1].color >> 24, 0u);
    EXPECT_EQ(v[3].color >> 24, 63u);
}

TEST_F(Vo_SimpleMeshTest, ColorQuadInPictureSpace)
{
    Vo_SimpleMesh<DX_V::PCT> mesh;
    ASSERT_EQ(mesh.SetColorQuadXYZ(0x80FF0000, QuadAt(0, 0, 8, 6)), S_OK);
    mesh.SetRgbXYZ(0xFF123456);  // only the RGB part is taken
    mesh.SetCornerAlphasXYZ(1.0f, 0.0f, 0.5f, 0.0f);
    mesh.SetCornersXYZ(QuadAt(1, 1, 9, 7));
    auto v = ReadVertices<ColorVertex>(mesh.VertexBuffer());
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0].color, 0xFF123456u);
    EXPECT_EQ(v[1].color, 0x7F123456u);
    EXPECT_EQ(v[2].color, 0x00123456u);
    EXPECT_EQ(v[3].color, 0x00123456u);
    EXPECT_EQ(v[2].x, 9);
    EXPECT_EQ(v[2].y, 7);
    EXPECT_EQ(v[2].z, 0);
}

TEST_F(Vo_SimpleMeshTest, TexturedQuadHoldsItsTextureAndFadesItsAlpha)
{
    ComRef<IDirect3DTexture9> texture = MakeRowTexture({0xFFFF0000});
    ASSERT_TRUE(texture);
    const unsigned long before = RefCount(texture.Get());
    {
        TexturedQuad quad;
        ASSERT_EQ(quad.SetTexturedQuad(texture.Get(), TexturedQuad::SplashQuad(64, 48)), S_OK);
        EXPECT_EQ(RefCount(texture.Get()), before + 1);
        auto v = ReadVertices<ScreenTexVertex>(quad.VertexBuffer());
        ASSERT_EQ(v.size(), 4u);
        EXPECT_FLOAT_EQ(v[1].x, 16);
        EXPECT_FLOAT_EQ(v[1].y, 8);
        EXPECT_FLOAT_EQ(v[2].x, 48);
        EXPECT_FLOAT_EQ(v[2].y, 40);
        EXPECT_EQ(v[0].rhw, 1.0f);
        EXPECT_EQ(v[0].z, 0.0f);
        EXPECT_EQ(v[0].color, 0xFFFFFFFFu);
        EXPECT_EQ(v[2].u, 1.0f);
        EXPECT_EQ(v[2].v, 1.0f);

        const struct { uint8_t alpha; float factor; uint32_t expected; } fades[] = {
            {200, 0.5f, 100}, {255, 1.0f, 255}, {200, 2.0f, 255}, {200, -1.0f, 0}, {200, NAN, 0},
        };
        for (const auto& f : fades) {
            SCOPED_TRACE(f.factor);
            quad.SetQuadAlpha(f.alpha, f.factor);
            v = ReadVertices<ScreenTexVertex>(quad.VertexBuffer());
            for (const auto& vertex : v)
                EXPECT_EQ(vertex.color, (f.expected << 24) | 0xFFFFFFu);
        }

        TexturedQuad copy(quad);
        EXPECT_EQ(copy.VertexBuffer(), quad.VertexBuffer());
        EXPECT_EQ(RefCount(texture.Get()), before + 2);
    }
    EXPECT_EQ(RefCount(texture.Get()), before);
}

TEST_F(Vo_SimpleMeshTest, WorldQuadCornersKeepTheirTextureCoordinates)
{
    Vo_SimpleMesh<DX_V::PCT> mesh;
    const float values[20] = {0, 4, 0, 0, 1,  0, 0, 0, 0, 0,  4, 4, 0, 1, 1,  4, 0, 0, 1, 0};
    ASSERT_EQ(mesh.BuildWorldQuad(values), S_OK);
    const float corners[12] = {-1, 9, 2, -1, -1, 2, 9, 9, 2, 9, -1, 2};
    mesh.SetWorldCorners(corners);
    auto v = ReadVertices<TexVertex>(mesh.VertexBuffer());
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[2].x, 9);
    EXPECT_EQ(v[2].y, 9);
    EXPECT_EQ(v[2].z, 2);
    EXPECT_EQ(v[2].u, 1);
    EXPECT_EQ(v[2].v, 1);
    EXPECT_EQ(v[1].v, 0);
}

TEST_F(Vo_SimpleMeshTest, RoutinesNeverWritePastTheBuffer)
{
    // No buffer at all: nothing happens.
    Vo_SimpleMesh<DX_V::PCT> empty;
    empty.SetCornerAlphas(1, 1, 1, 1);
    empty.SetTexturedCorners(QuadAt(0, 0, 1, 1));
    EXPECT_EQ(empty.VertexBuffer(), nullptr);

    // A ColorVertex quad (64 bytes) is too small for four ScreenTexVertex (112 bytes).
    Vo_SimpleMesh<DX_V::PCT> small;
    ASSERT_EQ(small.SetColorQuadXYZ(0x01020304, QuadAt(0, 0, 1, 1)), S_OK);
    small.SetTexturedCorners(QuadAt(50, 50, 60, 60));
    small.SetQuadAlpha(255, 1.0f);
    auto v = ReadVertices<ColorVertex>(small.VertexBuffer());
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0].color, 0x01020304u);
    EXPECT_EQ(v[0].x, 0);
}

TEST_F(Vo_SimpleMeshTest, QuadIndexBuffers)
{
    Vo_IndexedMesh<DX_V::PCT> mesh;
    ASSERT_EQ(FillQuadIndexBuffer(mesh, 2), S_OK);
    EXPECT_EQ(ReadIndices(mesh.IndexBuffer()),
              (std::vector<uint16_t>{0, 1, 2, 2, 1, 3, 4, 5, 6, 6, 5, 7}));
    EXPECT_EQ(mesh.VertexCount(), 8u);
    EXPECT_EQ(mesh.IndexedPrimitiveCount(), 4u);
    EXPECT_EQ(mesh.PrimitiveType(), D3DPT_TRIANGLELIST);
    EXPECT_EQ(ReadVertices<DX_V::PCT>(mesh.VertexBuffer()).size(), 8u);

    // The largest count whose indices stay within 16 bits without wrapping.
    Vo_IndexedMesh<DX_V::PCT> full;
    ASSERT_EQ(FillQuadIndexBuffer(full, 16383), S_OK);
    std::vector<uint16_t> indices = ReadIndices(full.IndexBuffer());
    ASSERT_EQ(indices.size(), 6u * 16383);
    EXPECT_EQ(std::vector<uint16_t>(indices.end() - 6, indices.end()),
              (std::vector<uint16_t>{65528, 65529, 65530, 65530, 65529, 65531}));

    // No quads, or more than one index buffer addresses: nothing is made.
    const int refused[] = {0, -3, 16384, 100000};
    for (int n : refused) {
        SCOPED_TRACE(n);
        Vo_IndexedMesh<DX_V::PCT> none;
        EXPECT_NE(FillQuadIndexBuffer(none, n), S_OK);
        EXPECT_EQ(none.IndexBuffer(), nullptr);
        EXPECT_EQ(none.VertexBuffer(), nullptr);
    }
}

TEST_F(Vo_SimpleMeshTest, GridOfAnIndexedMesh)
{
    Vo_IndexedMesh<DX_V::PCT> grid;
    ASSERT_EQ(CreateWorldVertexBuffer(grid.VertexBufferRef(), 9, D3DUSAGE_WRITEONLY, D3DPOOL_MANAGED), S_OK);
    ScreenQuad corners = QuadAt(0, 0, 10, 20);
    // Corner 0 (0, 20) to corner 1 (0, 0) is row 0; corner 2 to corner 3 the last row.
    Vo_SimpleMesh<DX_V::PCT>::BuildGrid(corners, grid, 2, 2);
    auto v = ReadVertices<TexVertex>(grid.VertexBuffer());
    ASSERT_EQ(v.size(), 9u);
    EXPECT_FLOAT_EQ(v[1].x, 0);
    EXPECT_FLOAT_EQ(v[1].y, 10);
    EXPECT_FLOAT_EQ(v[4].x, 5);
    EXPECT_FLOAT_EQ(v[4].y, 10);
    EXPECT_FLOAT_EQ(v[4].u, 0.5f);
    EXPECT_FLOAT_EQ(v[8].x, 10);
    EXPECT_FLOAT_EQ(v[8].y, 0);

    // A 3 x 3 grid needs 16 vertices: the 9-vertex buffer is left alone.
    Vo_SimpleMesh<DX_V::PCT>::BuildGrid(QuadAt(100, 100, 200, 200), grid, 3, 3);
    EXPECT_FLOAT_EQ(ReadVertices<TexVertex>(grid.VertexBuffer())[8].x, 10);
}

}  // namespace
