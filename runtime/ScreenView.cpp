#include "runtime/ScreenView.h"

#include <algorithm>

#include "model/CurrentDevice.h"
#include "model/D3DResourceMakers.h"
#include "model/TextureFrameSet.h"
#include "model/TextureInfo.h"
#include "model/Vo_DocResManager.h"
#include "runtime/ScreenQuad.h"

ScreenView::ScreenView()
{
    D3DXMatrixIdentity(&m_placement);
    D3DXMatrixIdentity(&m_offsetScale);
    D3DXMatrixIdentity(&m_world);
    const D3DXVECTOR3 eye(0.0f, 0.0f, -1.0f);
    const D3DXVECTOR3 at(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&m_view, &eye, &at, &up);
    D3DXMatrixIdentity(&m_projection);
    D3DXMatrixIdentity(&m_camera);
}

void ScreenView::Layout(unsigned pictureWidth, unsigned pictureHeight, int width, int height,
                        int mode, bool noScaling, int backBufferWidth, int backBufferHeight)
{
    // A target without area has no layout; one pixel keeps every ratio finite.
    width = std::max(width, 1);
    height = std::max(height, 1);
    // Without a back buffer there is nothing to scale to: lay out in target pixels.
    if (backBufferWidth <= 0 || backBufferHeight <= 0)
        noScaling = true;
    // A missing picture is laid out as if it had the target's size, so no ratio is undefined.
    if (pictureWidth == 0 || pictureHeight == 0) {
        pictureWidth = static_cast<unsigned>(width);
        pictureHeight = static_cast<unsigned>(height);
    }

    m_mode = mode;
    m_pictureWidth = pictureWidth;
    m_pictureHeight = pictureHeight;

    ScreenQuad quad = FitQuadToAspect(pictureWidth, pictureHeight, width, height);
    const QuadCorner& bl = quad.corners[ScreenQuad::kBottomLeft];
    const QuadCorner& tl = quad.corners[ScreenQuad::kTopLeft];
    const QuadCorner& br = quad.corners[ScreenQuad::kBottomRight];
    const QuadCorner& tr = quad.corners[ScreenQuad::kTopRight];
    m_pictureRect = {static_cast<int>(bl.x), static_cast<int>(tl.y), static_cast<int>(tr.x),
                     static_cast<int>(br.y)};

    const float fittedWidth = tr.x - bl.x;
    m_fitScale = fittedWidth == static_cast<float>(width)
                     ? static_cast<float>(pictureWidth) / static_cast<float>(width)
                     : static_cast<float>(pictureHeight) / static_cast<float>(height);

    const int targetWidth = noScaling ? width : backBufferWidth;
    const int targetHeight = noScaling ? height : backBufferHeight;
    if (!noScaling)
        ScaleQuadToBackBuffer(quad, width, height, backBufferWidth, backBufferHeight);

    PlaceBorders();

    D3DXMatrixOrthoOffCenterLH(&m_projection, 0.0f, static_cast<float>(width),
                               static_cast<float>(height), 0.0f, -5000.0f, 5000.0f);

    const float left = bl.x;
    const float top = tl.y;
    const float placedWidth = tr.x - bl.x;
    const float placedHeight = br.y - tl.y;
    m_scaleX = static_cast<float>(targetWidth) / placedWidth;
    m_scaleY = static_cast<float>(targetHeight) / placedHeight;

    D3DXMATRIX scaling, translation;
    D3DXMatrixScaling(&scaling, 1.0f / m_fitScale, 1.0f / m_fitScale, 1.0f);
    const float tx = left / (static_cast<float>(targetWidth) / static_cast<float>(width));
    const float ty = top / (static_cast<float>(targetHeight) / static_cast<float>(height));
    D3DXMatrixTranslation(&translation, tx, ty, 0.0f);
    D3DXMatrixMultiply(&m_placement, &scaling, &translation);

    float sx = 1.0f, sy = 1.0f;
    switch (mode) {
    case kStretch:
    case kRenderTarget:
        sx = (2.0f * left + placedWidth) / placedWidth;
        sy = (2.0f * top + placedHeight) / placedHeight;
        break;
    case kFill:
        sx = left == 0.0f ? (2.0f * top + placedHeight) / placedHeight
                          : (2.0f * left + placedWidth) / placedWidth;
        sy = sx;
        break;
    default:
        break;
    }
    float offsetX, offsetY;
    CenterOffsets(sx, sy, offsetX, offsetY);
    SetOffsetScale(offsetX, offsetY, sx, sy);
}

void ScreenView::Layout(const TextureInfo& picture, int width, int height, int mode, bool noScaling)
{
    D3DSURFACE_DESC desc;
    GetBackBufferDesc(desc);
    Layout(picture.width, picture.height, width, height, mode, noScaling,
           static_cast<int>(desc.Width), static_cast<int>(desc.Height));
    ApplyTransforms();
}

void ScreenView::BindBorderTextures(const Vo_ImageFileLink& link)
{
    IDirect3DTexture9* texture = nullptr;
    if (CurrentDocResManager) {
        const TextureFrameSet& set = CurrentDocResManager->GetTextureFrameSet(link);
        if (set.currentFrame < set.frames.size())
            texture = set.frames[set.currentFrame].Get();
    }
    const float values[20] = {0, 0, 0, 1, 1,  0, 0, 0, 0, 1,  0, 0, 0, 1, 0,  0, 0, 0, 0, 0};
    for (TexturedQuad& border : m_borders) {
        border.BuildWorldQuad(values);
        border.SetTexture(texture);
    }
    // A view laid out before its borders existed places them now rather than at the next layout.
    PlaceBorders();
}

void ScreenView::PlaceBorders()
{
    for (int side = kLeft; side <= kBottom; ++side) {
        D3DXVECTOR3 corners[4];
        BorderCorners(side, m_pictureWidth, m_pictureHeight, corners);
        float positions[12];
        for (int i = 0; i < 4; ++i) {
            positions[3 * i] = corners[i].x;
            positions[3 * i + 1] = corners[i].y;
            positions[3 * i + 2] = corners[i].z;
        }
        m_borders[side].SetWorldCorners(positions);
    }
}

void ScreenView::BorderCorners(int side, unsigned pictureWidth, unsigned pictureHeight,
                               D3DXVECTOR3 corners[4])
{
    const float w = static_cast<float>(pictureWidth);
    const float h = static_cast<float>(pictureHeight);
    const float m = 3.0f * std::max(w, h);
    switch (side) {
    case kLeft:
        corners[0] = {-m, h, 0}; corners[1] = {-m, 0, 0}; corners[2] = {0, h, 0}; corners[3] = {0, 0, 0};
        break;
    case kRight:
        corners[0] = {w, h, 0}; corners[1] = {w, 0, 0}; corners[2] = {w + m, h, 0}; corners[3] = {w + m, 0, 0};
        break;
    case kTop:
        corners[0] = {-m, 0, 0}; corners[1] = {-m, -m, 0}; corners[2] = {w + m, 0, 0}; corners[3] = {w + m, -m, 0};
        break;
    default:
        corners[0] = {-m, h + m, 0}; corners[1] = {-m, h, 0}; corners[2] = {w + m, h + m, 0}; corners[3] = {w + m, h, 0};
        break;
    }
}

void ScreenView::ApplyTransforms() const
{
    if (!CurrentDevice)
        return;
    CurrentDevice->SetTransform(D3DTS_WORLD, &m_world);
    CurrentDevice->SetTransform(D3DTS_VIEW, &m_view);
    CurrentDevice->SetTransform(D3DTS_PROJECTION, &m_projection);
}

void ScreenView::SetWorldTransform(const D3DXMATRIX& matrix) const
{
    if (!CurrentDevice)
        return;
    D3DXMATRIX world = matrix;
    if (m_mode != kRenderTarget)
        D3DXMatrixMultiply(&world, &world, &m_camera);
    D3DXMatrixMultiply(&world, &world, &m_offsetScale);
    D3DXMatrixMultiply(&world, &world, &m_placement);
    CurrentDevice->SetTransform(D3DTS_WORLD, &world);
}

void ScreenView::GetWorldViewProj(D3DXMATRIX& out, const D3DXMATRIX& matrix) const
{
    D3DXMATRIX result = matrix;
    if (m_mode != kRenderTarget)
        D3DXMatrixMultiply(&result, &result, &m_camera);
    D3DXMatrixMultiply(&result, &result, &m_offsetScale);
    D3DXMatrixMultiply(&result, &result, &m_placement);
    D3DXMatrixMultiply(&result, &result, &m_view);
    D3DXMatrixMultiply(&out, &result, &m_projection);
}

void ScreenView::GetViewProj(D3DXMATRIX& out) const
{
    D3DXMATRIX result = m_placement;
    if (m_mode == kRenderTarget)
        D3DXMatrixMultiply(&result, &m_offsetScale, &m_placement);
    D3DXMatrixMultiply(&result, &result, &m_view);
    D3DXMatrixMultiply(&out, &result, &m_projection);
}

void ScreenView::GetCombinedMatrix(D3DXMATRIX& out) const
{
    D3DXMatrixMultiply(&out, &m_camera, &m_offsetScale);
    out._41 = 0.0f;
    out._42 = 0.0f;
}

void ScreenView::ZoomPan(float zoom, float panX, float panY)
{
    // A zoom of 0 (or a damaged value) would collapse the picture and divide by zero below.
    if (!(zoom > 0.0f))
        zoom = 1.0f;
    float cx, cy;
    CenterOffsets(zoom, zoom, cx, cy);
    D3DXMATRIX q;
    D3DXMatrixMultiply(&q, &m_offsetScale, &m_placement);
    const float tx = q._41 / q._11 / zoom;
    const float ty = q._42 / q._22 / zoom;
    const float x = (tx + cx) * (panX + 1.0f) - tx;
    const float y = (ty + cy) * (panY + 1.0f) - ty;
    D3DXMATRIX translation, scaling;
    D3DXMatrixTranslation(&translation, x, y, 0.0f);
    D3DXMatrixScaling(&scaling, zoom, zoom, 1.0f);
    D3DXMatrixMultiply(&m_camera, &translation, &scaling);
}

void ScreenView::CenterOffsets(float sx, float sy, float& offsetX, float& offsetY) const
{
    offsetX = (1.0f - sx) * 0.5f * static_cast<float>(m_pictureWidth) / sx;
    offsetY = (1.0f - sy) * 0.5f * static_cast<float>(m_pictureHeight) / sy;
}

void ScreenView::SetOffsetScale(float offsetX, float offsetY, float sx, float sy)
{
    m_offsetX = offsetX;
    m_offsetY = offsetY;
    m_inverseScaleX = 1.0f / sx;
    m_inverseScaleY = 1.0f / sy;
    D3DXMATRIX translation, scaling;
    D3DXMatrixTranslation(&translation, offsetX, offsetY, 0.0f);
    D3DXMatrixScaling(&scaling, sx, sy, 1.0f);
    D3DXMatrixMultiply(&m_offsetScale, &translation, &scaling);
}

void ScreenView::DrawBorders() const
{
    if (!CurrentDevice)
        return;
    ApplyTransforms();
    SetWorldTransform(m_borders[0].World());
    for (const TexturedQuad& border : m_borders) {
        // A border whose picture did not load stays undrawn rather than drawn untextured.
        if (!border.Texture() || !border.VertexBuffer())
            continue;
        CurrentDevice->SetTexture(0, border.Texture());
        border.BindWorldStream();
        CurrentDevice->DrawPrimitive(border.PrimitiveType(), 0, border.PrimitiveCount());
    }
}
