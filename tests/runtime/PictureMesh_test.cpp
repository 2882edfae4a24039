#include "MeshDeviceTest.h"

#include "model/TextureFrameSet.h"
#include "model/Vo_DocResManager.h"
#include "runtime/PictureMesh.h"
#include "runtime/ScreenView.h"

namespace {

// The device fixture with a resource store made current.
class PictureMeshTest : public MeshDeviceTest {
protected:
    void SetUp() override
    {
        MeshDeviceTest::SetUp();
        m_store = std::make_unique<Vo_DocResManager>();
        CurrentDocResManager = m_store.get();
    }
    void TearDown() override
    {
        CurrentDocResManager = nullptr;
        m_store.reset();
        MeshDeviceTest::TearDown();
    }

    // The frame set the store keeps for a link to a file the document does not embed, filled
    // by hand with the given frames.
    TextureFrameSet& FillSet(const Vo_ImageFileLink& link, std::vector<IDirect3DTexture9*> frames,
                             uint32_t width, uint32_t height)
    {
        TextureFrameSet& set = m_store->GetTextureFrameSet(link);
        for (IDirect3DTexture9* frame : frames) {
            set.frames.emplace_back();
            set.frames.back().Assign(frame);
        }
        set.width = width;
        set.height = height;
        set.aspect = float(height) / float(width);
        return set;
    }

    std::unique_ptr<Vo_DocResManager> m_store;
};

TEST_F(PictureMeshTest, LoadsTheFirstFrameAndTakesThePictureSize)
{
    ComRef<IDirect3DTexture9> first = MakeRowTexture({0xFFFF0000});
    ComRef<IDirect3DTexture9> second = MakeRowTexture({0xFF00FF00});
    Vo_ImageFileLink link(0, L"C:\\pictures\\sea.jpg");
    FillSet(link, {first.Get(), second.Get()}, 40, 30);

    PictureMesh mesh;
    ASSERT_EQ(mesh.CreateQuad(), S_OK);
    mesh.LoadPicture(link);
    EXPECT_EQ(mesh.Texture(), first.Get());
    EXPECT_EQ(mesh.Picture().texture.Get(), first.Get());
    EXPECT_EQ(mesh.Picture().width, 40u);
    EXPECT_FLOAT_EQ(mesh.Picture().aspect, 0.75f);
    auto v = ReadVertices<TexVertex>(mesh.VertexBuffer());
    ASSERT_EQ(v.size(), 4u);
    const float expected[4][4] = {{0, 30, 0, 1}, {0, 0, 0, 0}, {40, 30, 1, 1}, {40, 0, 1, 0}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(v[i].x, expected[i][0]);
        EXPECT_EQ(v[i].y, expected[i][1]);
        EXPECT_EQ(v[i].u, expected[i][2]);
        EXPECT_EQ(v[i].v, expected[i][3]);
    }
}

TEST_F(PictureMeshTest, MissingPictureLeavesNoTextureAndNoArea)
{
    PictureMesh mesh;
    ASSERT_EQ(mesh.CreateQuad(), S_OK);
    mesh.LoadPicture(Vo_ImageFileLink(0, L"C:\\not\\embedded.png"));
    EXPECT_EQ(mesh.Texture(), nullptr);
    EXPECT_EQ(mesh.Picture().width, 0u);
    EXPECT_FLOAT_EQ(mesh.Picture().aspect, 1.0f);
    for (const TexVertex& v : ReadVertices<TexVertex>(mesh.VertexBuffer())) {
        EXPECT_EQ(v.x, 0);
        EXPECT_EQ(v.y, 0);
    }

    // Laid out, the missing picture still gives a finite view over the whole target.
    ScreenView view;
    view.Layout(mesh.Picture(), 64, 64, ScreenView::kFill, false);
    EXPECT_EQ(view.PictureWidth(), 64u);
    EXPECT_FLOAT_EQ(view.FitScale(), 1.0f);
}

TEST_F(PictureMeshTest, BorderQuadsTakeTheCurrentFrameOrStayUndrawn)
{
    ComRef<IDirect3DTexture9> first = MakeRowTexture({0xFFFF0000});
    ComRef<IDirect3DTexture9> second = MakeRowTexture({0xFFFFFF00});
    Vo_ImageFileLink link(0, L"C:\\pictures\\frame.png");
    FillSet(link, {first.Get(), second.Get()}, 4, 4).currentFrame = 1;

    IDirect3DDevice9* d = Device();
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_ZENABLE, FALSE);

    // A picture of aspect 0.5 fitted into the 64 x 64 back buffer: margins above and below.
    ScreenView view;
    TextureInfo picture;
    picture.width = 32;
    picture.height = 16;
    view.Layout(picture, 64, 64, ScreenView::kFit, false);
    view.BindBorderTextures(link);
    for (int side = 0; side < 4; ++side)
        EXPECT_EQ(view.BorderQuad(side).Texture(), second.Get());
    auto corners = ReadVertices<TexVertex>(view.BorderQuad(ScreenView::kTop).VertexBuffer());
    ASSERT_EQ(corners.size(), 4u);
    EXPECT_EQ(corners[3].x, 32 + 96);  // placed at once for the picture laid out before
    EXPECT_EQ(corners[0].u, 1.0f);
    EXPECT_EQ(corners[3].v, 0.0f);

    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(d->BeginScene(), D3D_OK);
    view.DrawBorders();
    d->EndScene();
    EXPECT_TRUE(ColorsNear(PixelAt(32, 4), 0xFFFFFF00)) << std::hex << PixelAt(32, 4);
    EXPECT_TRUE(ColorsNear(PixelAt(32, 60), 0xFFFFFF00)) << std::hex << PixelAt(32, 60);
    EXPECT_TRUE(ColorsNear(PixelAt(32, 32), 0xFF000000)) << std::hex << PixelAt(32, 32);

    // A border picture whose set holds no frame: no texture, nothing drawn.
    view.BindBorderTextures(Vo_ImageFileLink(0, L"C:\\pictures\\absent.png"));
    EXPECT_EQ(view.BorderQuad(ScreenView::kLeft).Texture(), nullptr);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(d->BeginScene(), D3D_OK);
    view.DrawBorders();
    d->EndScene();
    EXPECT_TRUE(ColorsNear(PixelAt(32, 4), 0xFF000000)) << std::hex << PixelAt(32, 4);
}

TEST_F(PictureMeshTest, SplashQuadOnTheBackBufferAndTargetTextureSizes)
{
    // The test program holds no splash picture: the failure is reported, the quad still built.
    TexturedQuad splash;
    EXPECT_TRUE(FAILED(splash.BuildSplashQuad()));
    EXPECT_EQ(splash.Texture(), nullptr);
    auto v = ReadVertices<ScreenTexVertex>(splash.VertexBuffer());
    ASSERT_EQ(v.size(), 4u);
    EXPECT_NEAR(v[1].x, 10.6667f, 1e-3);
    EXPECT_NEAR(v[2].y, 53.3333f, 1e-3);

    ComRef<IDirect3DTexture9> source = MakeRowTexture({0xFFFF0000, 0xFF0000FF});
    const struct { int n; UINT side; } cases[] = {{0, 128}, {1, 256}, {-4, 128}, {40, 4096}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n);
        ComRef<IDirect3DTexture9> copy;
        Vo_SimpleMesh<DX_V::PCT>::CreateTargetTexture(c.n, copy, source.Get());
        ASSERT_TRUE(copy);
        D3DSURFACE_DESC desc;
        copy->GetLevelDesc(0, &desc);
        EXPECT_EQ(desc.Width, c.side);
        EXPECT_EQ(desc.Height, c.side);
    }
    ComRef<IDirect3DTexture9> none;
    Vo_SimpleMesh<DX_V::PCT>::CreateTargetTexture(1, none, nullptr);
    EXPECT_FALSE(none);
}

}  // namespace
