#include <gtest/gtest.h>

#include <cmath>

#include "runtime/ScreenView.h"

#include "MeshDeviceTest.h"

namespace {

// Where a point in picture pixels lands in target pixels through world x view x projection.
D3DXVECTOR2 ToTarget(const ScreenView& view, float x, float y, int width, int height)
{
    D3DXMATRIX identity, wvp;
    D3DXMatrixIdentity(&identity);
    view.GetWorldViewProj(wvp, identity);
    D3DXVECTOR3 in(x, y, 0.0f), ndc;
    D3DXVec3TransformCoord(&ndc, &in, &wvp);
    return D3DXVECTOR2((ndc.x + 1.0f) * 0.5f * width, (1.0f - ndc.y) * 0.5f * height);
}

bool AllFinite(const D3DXMATRIX& m)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!std::isfinite(m.m[r][c]))
                return false;
    return true;
}

struct LayoutCase {
    const char* name;
    unsigned pictureWidth, pictureHeight;
    int width, height, mode;
    float sx, sy;
    float fitScale;
    ScreenView::PictureRect rect;
    // The picture's top-left and bottom-right corners in target pixels.
    float left, top, right, bottom;
};

TEST(ScreenView, LayoutByModeGivesScalesAndPictureCorners)
{
    const float k = 1024.0f / 960.0f;  // the fill/stretch stretch factor of the letterboxed case
    const LayoutCase cases[] = {
        // 1024 x 768 into 1280 x 1024: e = 0.75, h/w = 0.8 is not below it, so the picture is
        // limited by the width: 1280 x 960 at top 32.
        {"fit", 1024, 768, 1280, 1024, ScreenView::kFit, 1, 1, 0.8f, {0, 32, 1280, 992},
         0, 32, 1280, 992},
        // Fill: left is 0, so both scales come from the height and the sides are cut.
        {"fill", 1024, 768, 1280, 1024, ScreenView::kFill, k, k, 0.8f, {0, 32, 1280, 992},
         640 - 640 * k, 0, 640 + 640 * k, 1024},
        // Stretch and render-target mode cover the target, aspect not kept.
        {"stretch", 1024, 768, 1280, 1024, ScreenView::kStretch, 1, k, 0.8f, {0, 32, 1280, 992},
         0, 0, 1280, 1024},
        {"render target", 1024, 768, 1280, 1024, ScreenView::kRenderTarget, 1, k, 0.8f,
         {0, 32, 1280, 992}, 0, 0, 1280, 1024},
        // Limited by the height: margins left and right; fill then scales from the width.
        {"fit pillarbox", 512, 1024, 1280, 1024, ScreenView::kFit, 1, 1, 1.0f, {384, 0, 896, 1024},
         384, 0, 896, 1024},
        {"fill pillarbox", 512, 1024, 1280, 1024, ScreenView::kFill, 2.5f, 2.5f, 1.0f,
         {384, 0, 896, 1024}, 0, 512 - 1280, 1280, 512 + 1280},
        // The target's own aspect: every mode leaves the picture as it is.
        {"same aspect fit", 640, 512, 1280, 1024, ScreenView::kFit, 1, 1, 0.5f, {0, 0, 1280, 1024},
         0, 0, 1280, 1024},
        {"same aspect fill", 640, 512, 1280, 1024, ScreenView::kFill, 1, 1, 0.5f,
         {0, 0, 1280, 1024}, 0, 0, 1280, 1024},
        {"same aspect stretch", 640, 512, 1280, 1024, ScreenView::kStretch, 1, 1, 0.5f,
         {0, 0, 1280, 1024}, 0, 0, 1280, 1024},
        // An unknown mode lays out as fit.
        {"unknown mode", 1024, 768, 1280, 1024, 7, 1, 1, 0.8f, {0, 32, 1280, 992}, 0, 32, 1280, 992},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScreenView view;
        view.Layout(c.pictureWidth, c.pictureHeight, c.width, c.height, c.mode, false, c.width,
                    c.height);
        EXPECT_EQ(view.Mode(), c.mode);
        EXPECT_NEAR(1.0f / view.InverseScaleX(), c.sx, 1e-4);
        EXPECT_NEAR(1.0f / view.InverseScaleY(), c.sy, 1e-4);
        EXPECT_FLOAT_EQ(view.FitScale(), c.fitScale);
        EXPECT_EQ(view.GetPictureRect().left, c.rect.left);
        EXPECT_EQ(view.GetPictureRect().top, c.rect.top);
        EXPECT_EQ(view.GetPictureRect().right, c.rect.right);
        EXPECT_EQ(view.GetPictureRect().bottom, c.rect.bottom);

        D3DXVECTOR2 topLeft = ToTarget(view, 0, 0, c.width, c.height);
        D3DXVECTOR2 bottomRight =
            ToTarget(view, float(c.pictureWidth), float(c.pictureHeight), c.width, c.height);
        EXPECT_NEAR(topLeft.x, c.left, 0.05);
        EXPECT_NEAR(topLeft.y, c.top, 0.05);
        EXPECT_NEAR(bottomRight.x, c.right, 0.05);
        EXPECT_NEAR(bottomRight.y, c.bottom, 0.05);
    }
}

TEST(ScreenView, ScaleFactorsCountTargetPixelsPerPlacedPixel)
{
    // The back buffer is twice the target: the fitted quad is scaled to it, and the factors
    // then compare the back buffer with the scaled quad.
    ScreenView scaled;
    scaled.Layout(512, 1024, 640, 512, ScreenView::kFit, false, 1280, 1024);
    EXPECT_FLOAT_EQ(scaled.ScaleX(), 1280.0f / 512.0f);
    EXPECT_FLOAT_EQ(scaled.ScaleY(), 1.0f);
    // A pushed target size (no scaling) measures against the target itself.
    ScreenView pushed;
    pushed.Layout(512, 1024, 640, 512, ScreenView::kFit, true, 1280, 1024);
    EXPECT_FLOAT_EQ(pushed.ScaleX(), 640.0f / 256.0f);
    EXPECT_FLOAT_EQ(pushed.ScaleY(), 1.0f);
    // Either way the placement matrix works in target pixels: the picture's left edge sits at
    // the pillarbox margin of the 640 x 512 target.
    EXPECT_FLOAT_EQ(scaled.Placement()._41, 192.0f);
    EXPECT_FLOAT_EQ(pushed.Placement()._41, 192.0f);
}

struct ZoomPanCase {
    const char* name;
    float zoom, panX, panY;
    // Picture edges in target pixels.
    float left, top, right, bottom;
};

TEST(ScreenView, ZoomPanMovesTheZoomedPictureOverItsRange)
{
    // 1024 x 768 fitted into 1280 x 1024 (960 high at top 32); zoomed by 1.2 it is 1536 x 1152.
    const ZoomPanCase cases[] = {
        {"no zoom leaves the layout", 1, 0, 0, 0, 32, 1280, 992},
        {"centred zoom", 1.2f, 0, 0, 640 - 768, 512 - 576, 640 + 768, 512 + 576},
        // -1 and +1 put the zoomed picture's edges on the target's edges.
        {"pan to top left", 1.2f, -1, -1, 0, 0, 1536, 1152},
        {"pan to bottom right", 1.2f, 1, 1, 1280 - 1536, 1024 - 1152, 1280, 1024},
        {"double zoom, left and bottom", 2, -1, 1, 0, 1024 - 1920, 2560, 1024},
        // A zoom of 0 would collapse the picture and divide by zero: it counts as no zoom.
        {"zero zoom", 0, 0, 0, 0, 32, 1280, 992},
    };
    for (const ZoomPanCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScreenView view;
        view.Layout(1024, 768, 1280, 1024, ScreenView::kFit, false, 1280, 1024);
        view.ZoomPan(c.zoom, c.panX, c.panY);
        D3DXVECTOR2 topLeft = ToTarget(view, 0, 0, 1280, 1024);
        D3DXVECTOR2 bottomRight = ToTarget(view, 1024, 768, 1280, 1024);
        EXPECT_NEAR(topLeft.x, c.left, 0.05);
        EXPECT_NEAR(topLeft.y, c.top, 0.05);
        EXPECT_NEAR(bottomRight.x, c.right, 0.05);
        EXPECT_NEAR(bottomRight.y, c.bottom, 0.05);
    }
}

TEST(ScreenView, ZoomPanOfOneIsTheIdentityAndRenderTargetModeIgnoresTheCamera)
{
    ScreenView view;
    view.Layout(1024, 768, 1280, 1024, ScreenView::kFill, false, 1280, 1024);
    view.ZoomPan(1, 0, 0);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    EXPECT_TRUE(view.Camera() == identity);

    view.ZoomPan(2, 0.3f, -0.7f);
    view.Layout(1024, 768, 1280, 1024, ScreenView::kRenderTarget, false, 1280, 1024);
    D3DXVECTOR2 topLeft = ToTarget(view, 0, 0, 1280, 1024);
    D3DXVECTOR2 bottomRight = ToTarget(view, 1024, 768, 1280, 1024);
    EXPECT_NEAR(topLeft.x, 0, 0.05);
    EXPECT_NEAR(topLeft.y, 0, 0.05);
    EXPECT_NEAR(bottomRight.x, 1280, 0.05);
    EXPECT_NEAR(bottomRight.y, 1024, 0.05);

    // The view-projection of render-target mode carries the offset and scale, otherwise not.
    D3DXMATRIX viewProj, expected;
    view.GetViewProj(viewProj);
    view.GetWorldViewProj(expected, identity);
    EXPECT_TRUE(viewProj == expected);
}

TEST(ScreenView, CombinedMatrixHasNoTranslation)
{
    ScreenView view;
    view.Layout(1024, 768, 1280, 1024, ScreenView::kFill, false, 1280, 1024);
    view.ZoomPan(1.5f, 1, 1);
    D3DXMATRIX combined, expected;
    D3DXMatrixMultiply(&expected, &view.Camera(), &view.OffsetScale());
    view.GetCombinedMatrix(combined);
    EXPECT_FLOAT_EQ(combined._41, 0.0f);
    EXPECT_FLOAT_EQ(combined._42, 0.0f);
    EXPECT_FLOAT_EQ(combined._11, expected._11);
    EXPECT_FLOAT_EQ(combined._22, expected._22);
    EXPECT_NE(expected._41, 0.0f);
}

TEST(ScreenView, MissingPictureOrBackBufferLaysOutWithoutNaN)
{
    struct Case {
        const char* name;
        unsigned pictureWidth, pictureHeight;
        int width, height, backBufferWidth, backBufferHeight;
    };
    const Case cases[] = {
        {"no picture", 0, 0, 1280, 1024, 1280, 1024},
        {"picture without height", 512, 0, 1280, 1024, 1280, 1024},
        {"no back buffer", 1024, 768, 1280, 1024, 0, 0},
        {"zero target", 1024, 768, 0, 0, 1280, 1024},
    };
    for (const Case& c : cases) {
        for (int mode = 0; mode <= 3; ++mode) {
            SCOPED_TRACE(std::string(c.name) + " mode " + std::to_string(mode));
            ScreenView view;
            view.Layout(c.pictureWidth, c.pictureHeight, c.width, c.height, mode, false,
                        c.backBufferWidth, c.backBufferHeight);
            view.ZoomPan(1.2f, 1, -1);
            D3DXMATRIX identity, wvp, viewProj;
            D3DXMatrixIdentity(&identity);
            view.GetWorldViewProj(wvp, identity);
            view.GetViewProj(viewProj);
            EXPECT_TRUE(AllFinite(wvp));
            EXPECT_TRUE(AllFinite(viewProj));
            EXPECT_TRUE(std::isfinite(view.ScaleX()) && std::isfinite(view.ScaleY()));
            EXPECT_TRUE(std::isfinite(view.OffsetX()) && std::isfinite(view.OffsetY()));
        }
    }
    // Without a picture the view lays out as if it had the target's size: it covers the target.
    ScreenView view;
    view.Layout(0, 0, 1280, 1024, ScreenView::kFit, false, 1280, 1024);
    D3DXVECTOR2 bottomRight = ToTarget(view, float(view.PictureWidth()), float(view.PictureHeight()), 1280, 1024);
    EXPECT_NEAR(bottomRight.x, 1280, 0.05);
    EXPECT_NEAR(bottomRight.y, 1024, 0.05);
}

TEST(ScreenView, BordersAdjoinThePictureAndReachPastTheZoomedRange)
{
    // Each border shares an edge with the picture and together they cover the plane around it
    // out to 3 x max(W, H), further than the largest pan of a zoomed picture reveals.
    const unsigned w = 1024, h = 768;
    D3DXVECTOR3 c[4][4];
    for (int side = 0; side < 4; ++side)
        ScreenView::BorderCorners(side, w, h, c[side]);
    const float m = 3.0f * 1024;
    // Left and right: full picture height, meeting the picture's vertical edges.
    EXPECT_EQ(c[ScreenView::kLeft][2], D3DXVECTOR3(0, float(h), 0));
    EXPECT_EQ(c[ScreenView::kLeft][3], D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(c[ScreenView::kLeft][1], D3DXVECTOR3(-m, 0, 0));
    EXPECT_EQ(c[ScreenView::kRight][0], D3DXVECTOR3(float(w), float(h), 0));
    EXPECT_EQ(c[ScreenView::kRight][3], D3DXVECTOR3(w + m, 0, 0));
    // Top and bottom span the full width including the side borders.
    EXPECT_EQ(c[ScreenView::kTop][0], D3DXVECTOR3(-m, 0, 0));
    EXPECT_EQ(c[ScreenView::kTop][3], D3DXVECTOR3(w + m, -m, 0));
    EXPECT_EQ(c[ScreenView::kBottom][1], D3DXVECTOR3(-m, float(h), 0));
    EXPECT_EQ(c[ScreenView::kBottom][2], D3DXVECTOR3(w + m, h + m, 0));
}

// Draws a 32 x 16 picture of four texel columns (red, green, blue, white) on the 64 x 64 target
// and reads back where its edges fall.
class ScreenViewDrawing : public MeshDeviceTest {
protected:
    static constexpr unsigned kPictureWidth = 32;
    static constexpr unsigned kPictureHeight = 16;

    void SetUp() override
    {
        MeshDeviceTest::SetUp();
        if (HasFatalFailure())
            return;
        m_picture = MakeRowTexture({0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
        const float w = kPictureWidth, h = kPictureHeight;
        const float values[20] = {0, h, 0, 0, 1,  0, 0, 0, 0, 0,  w, h, 0, 1, 1,  w, 0, 0, 1, 0};
        ASSERT_EQ(m_quad.BuildWorldQuad(values), S_OK);
        IDirect3DDevice9* d = Device();
        d->SetRenderState(D3DRS_LIGHTING, FALSE);
        d->SetRenderState(D3DRS_ZENABLE, FALSE);
        d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    }
    void TearDown() override
    {
        m_quad = Vo_SimpleMesh<DX_V::PCT>();
        m_picture.Reset();
        MeshDeviceTest::TearDown();
    }

    void DrawPicture(const ScreenView& view, bool borders = false)
    {
        IDirect3DDevice9* d = Device();
        d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        ASSERT_EQ(d->BeginScene(), D3D_OK);
        if (borders)
            view.DrawBorders();
        view.ApplyTransforms();
        view.SetWorldTransform(m_quad.World());
        d->SetTexture(0, m_picture.Get());
        m_quad.BindWorldStream();
        d->DrawPrimitive(m_quad.PrimitiveType(), 0, m_quad.PrimitiveCount());
        d->EndScene();
    }

    // Samples the centres of a 4 x 4 grid of 16-pixel cells, row by row: R, G, B, W, Y or '.'
    // for black.
    std::string Cells()
    {
        std::string out;
        std::vector<uint32_t> pixels = ReadBack();
        for (unsigned y = 8; y < 64; y += 16) {
            for (unsigned x = 8; x < 64; x += 16) {
                const uint32_t p = pixels.empty() ? 0 : pixels[y * 64 + x];
                const struct { uint32_t color; char name; } names[] = {
                    {0xFFFF0000, 'R'}, {0xFF00FF00, 'G'}, {0xFF0000FF, 'B'},
                    {0xFFFFFFFF, 'W'}, {0xFFFFFF00, 'Y'}, {0xFF000000, '.'}};
                char c = '?';
                for (const auto& n : names)
                    if (ColorsNear(p, n.color))
                        c = n.name;
                out += c;
            }
            out += '|';
        }
        return out;
    }

    ComRef<IDirect3DTexture9> m_picture;
    Vo_SimpleMesh<DX_V::PCT> m_quad;
};

TEST_F(ScreenViewDrawing, PictureEdgesFallWhereTheModeSays)
{
    const struct {
        const char* name;
        int mode;
        float zoom, panX, panY;
        const char* cells;
    } cases[] = {
        // Aspect 0.5 in a square: fitted 64 x 32 at top 16.
        {"fit", ScreenView::kFit, 1, 0, 0, "....|RGBW|RGBW|....|"},
        {"stretch", ScreenView::kStretch, 1, 0, 0, "RGBW|RGBW|RGBW|RGBW|"},
        // Fill doubles the picture about its centre: the outer texel columns are cut.
        {"fill", ScreenView::kFill, 1, 0, 0, "GGBB|GGBB|GGBB|GGBB|"},
        // Render-target mode stretches and leaves the camera out.
        {"render target", ScreenView::kRenderTarget, 2, 1, 1, "RGBW|RGBW|RGBW|RGBW|"},
        // The camera: zoomed twice and panned to the top-left end of its travel.
        {"fit zoomed to the top left", ScreenView::kFit, 2, -1, -1, "RRGG|RRGG|RRGG|RRGG|"},
        {"fit zoomed to the bottom right", ScreenView::kFit, 2, 1, 1, "BBWW|BBWW|BBWW|BBWW|"},
        // Fill and camera together: the camera scales before the fill does, so the zoomed
        // picture still reaches exactly to the target's edges at the ends of its travel.
        {"fill zoomed to the left", ScreenView::kFill, 2, -1, -1, "RRRR|RRRR|RRRR|RRRR|"},
        {"fill zoomed to the right", ScreenView::kFill, 2, 1, 1, "WWWW|WWWW|WWWW|WWWW|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScreenView view;
        view.Layout(kPictureWidth, kPictureHeight, 64, 64, c.mode, false, 64, 64);
        view.ZoomPan(c.zoom, c.panX, c.panY);
        DrawPicture(view);
        EXPECT_EQ(Cells(), c.cells);
    }
}

TEST_F(ScreenViewDrawing, BordersFillTheMarginsAndFollowTheCamera)
{
    ComRef<IDirect3DTexture9> yellow = MakeRowTexture({0xFFFFFF00});
    ScreenView view;
    const float zero[20] = {0, 0, 0, 1, 1,  0, 0, 0, 0, 1,  0, 0, 0, 1, 0,  0, 0, 0, 0, 0};
    for (int side = 0; side < 4; ++side) {
        ASSERT_EQ(view.BorderQuad(side).BuildWorldQuad(zero), S_OK);
        // The bottom border has no picture: it stays undrawn.
        if (side != ScreenView::kBottom)
            view.BorderQuad(side).SetTexture(yellow.Get());
    }
    view.Layout(kPictureWidth, kPictureHeight, 64, 64, ScreenView::kFit, false, 64, 64);
    DrawPicture(view, true);
    EXPECT_EQ(Cells(), "YYYY|RGBW|RGBW|....|");

    // The camera moves the borders with the picture: panned down by its full travel at zoom 1,
    // the picture leaves the top half to the top border.
    view.ZoomPan(1, 0, 1);
    DrawPicture(view, true);
    EXPECT_EQ(Cells(), "YYYY|YYYY|RGBW|RGBW|");
}

}  // namespace
