#include "runtime/TexturedQuad.h"

#include "model/D3DResourceMakers.h"

namespace {

const int32_t kSplashPictureId = 5;

}  // namespace

HRESULT TexturedQuad::BuildSplashQuad()
{
    ComRef<IDirect3DTexture9> picture;
    const HRESULT loaded = LoadTextureFromResource(picture, kSplashPictureId, false);
    D3DSURFACE_DESC desc;
    GetBackBufferDesc(desc);
    HRESULT hr = SetTexturedQuad(picture.Get(), SplashQuad(static_cast<int>(desc.Width),
                                                           static_cast<int>(desc.Height)));
    return FAILED(hr) ? hr : loaded;
}

HRESULT TexturedQuad::LoadTexturedQuad(const ScreenQuad& quad)
{
    ComRef<IDirect3DTexture9> picture;
    LoadTextureFromResource(picture, 0, false);
    return SetTexturedQuad(picture.Get(), quad);
}

HRESULT TexturedQuad::SetTexturedQuad(IDirect3DTexture9* texture, const ScreenQuad& quad)
{
    m_texture.Assign(texture);
    HRESULT hr = CreateQuadBuffer<ScreenTexVertex>();
    if (FAILED(hr))
        return hr;
    auto* v = LockQuad<ScreenTexVertex>();
    if (!v)
        return E_FAIL;
    for (int i = 0; i < 4; ++i) {
        const QuadCorner& c = quad.corners[i];
        v[i] = {c.x, c.y, 0.0f, c.z, 0xFFFFFFFFu, c.u, c.v};
    }
    UnlockVertices();
    return S_OK;
}

ScreenQuad TexturedQuad::SplashQuad(int backBufferWidth, int backBufferHeight)
{
    const float side = static_cast<float>(backBufferHeight) * 2.0f / 3.0f;
    const float left = (static_cast<float>(backBufferWidth) - side) * 0.5f;
    const float top = (static_cast<float>(backBufferHeight) - side) * 0.5f;
    ScreenQuad quad;
    InitScreenQuad(quad);
    quad.corners[ScreenQuad::kBottomLeft].x = left;
    quad.corners[ScreenQuad::kBottomLeft].y = top + side;
    quad.corners[ScreenQuad::kTopLeft].x = left;
    quad.corners[ScreenQuad::kTopLeft].y = top;
    quad.corners[ScreenQuad::kBottomRight].x = left + side;
    quad.corners[ScreenQuad::kBottomRight].y = top + side;
    quad.corners[ScreenQuad::kTopRight].x = left + side;
    quad.corners[ScreenQuad::kTopRight].y = top;
    return quad;
}
