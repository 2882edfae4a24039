#include "runtime/ScreenQuad.h"

#include "model/D3DResourceMakers.h"
#include "model/MediaRectangle.h"
#include "model/TextureInfo.h"

void InitScreenQuad(ScreenQuad& quad)
{
    static const float kUV[4][2] = {{0, 1}, {0, 0}, {1, 1}, {1, 0}};
    for (int i = 0; i < 4; ++i)
        quad.corners[i] = {0.0f, 0.0f, 1.0f, kUV[i][0], kUV[i][1]};
}

void InitRectangleQuad(ScreenQuad& quad, float left, float top, float right, float bottom)
{
    InitScreenQuad(quad);
    quad.corners[ScreenQuad::kBottomLeft].x = left;
    quad.corners[ScreenQuad::kBottomLeft].y = bottom;
    quad.corners[ScreenQuad::kTopLeft].x = left;
    quad.corners[ScreenQuad::kTopLeft].y = top;
    quad.corners[ScreenQuad::kBottomRight].x = right;
    quad.corners[ScreenQuad::kBottomRight].y = bottom;
    quad.corners[ScreenQuad::kTopRight].x = right;
    quad.corners[ScreenQuad::kTopRight].y = top;
}

void InitRectangleQuad(ScreenQuad& quad, const MediaRectangle& rectangle)
{
    InitRectangleQuad(quad, float(rectangle.Left().Value()), float(rectangle.Top().Value()),
                      float(rectangle.Right().Value()), float(rectangle.Bottom().Value()));
}

void InitBackBufferQuad(ScreenQuad& quad, float width, float height)
{
    InitRectangleQuad(quad, 0.0f, 0.0f, width, height);
}

ScreenQuad FitQuadToAspect(unsigned pictureWidth, unsigned pictureHeight, int width, int height)
{
    if (pictureWidth == 0 || pictureHeight == 0) {
        pictureWidth = width > 0 ? static_cast<unsigned>(width) : 1u;
        pictureHeight = height > 0 ? static_cast<unsigned>(height) : 1u;
    }
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const float ratio = static_cast<float>(static_cast<double>(pictureHeight) / pictureWidth);

    float fittedWidth, fittedHeight, left, top;
    if (width > 0 && static_cast<float>(h / w) < ratio) {
        // Limited by the height: margins left and right.
        fittedWidth = static_cast<float>(h / ratio);
        fittedHeight = h;
        left = (w - fittedWidth) * 0.5f;
        top = 0.0f;
    } else {
        fittedWidth = w;
        fittedHeight = static_cast<float>(w * ratio);
        left = 0.0f;
        top = (h - fittedHeight) * 0.5f;
    }

    ScreenQuad quad;
    InitRectangleQuad(quad, left, top, left + fittedWidth, top + fittedHeight);
    return quad;
}

void ScaleQuadToBackBuffer(ScreenQuad& quad, int width, int height, int backBufferWidth,
                           int backBufferHeight)
{
    // A zero target would turn every corner into infinity; such a target has nothing to scale.
    if (width <= 0 || height <= 0)
        return;
    const float sx = static_cast<float>(static_cast<float>(backBufferWidth) / width);
    const float sy = static_cast<float>(static_cast<float>(backBufferHeight) / height);
    for (QuadCorner& c : quad.corners) {
        c.x *= sx;
        c.y *= sy;
    }
}

void ScaleQuadCorner(QuadCorner& corner, float factor)
{
    corner.x *= factor;
    corner.y *= factor;
    corner.z *= factor;
    corner.u *= factor;
    corner.v *= factor;
}

void InitBackBufferQuad(ScreenQuad& quad)
{
    D3DSURFACE_DESC desc;
    GetBackBufferDesc(desc);
    InitBackBufferQuad(quad, static_cast<float>(desc.Width), static_cast<float>(desc.Height));
}

ScreenQuad FitQuadToAspect(const TextureInfo& picture, int width, int height)
{
    return FitQuadToAspect(picture.width, picture.height, width, height);
}

void ScaleQuadToBackBuffer(ScreenQuad& quad, int width, int height)
{
    D3DSURFACE_DESC desc;
    GetBackBufferDesc(desc);
    ScaleQuadToBackBuffer(quad, width, height, static_cast<int>(desc.Width),
                          static_cast<int>(desc.Height));
}
