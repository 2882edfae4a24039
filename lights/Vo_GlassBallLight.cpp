#include "lights/Vo_GlassBallLight.h"

#include <d3dx9tex.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "model/ClassReaderRegistration.h"
#include "model/CurrentDevice.h"
#include "model/D3DResourceMakers.h"
#include "model/TextureFrameSet.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/ScreenQuad.h"
#include "runtime/ScreenView.h"
#include "runtime/VertexBuffers.h"

namespace {

// The ball and the stand are squares of this many world units around the frame's centre.
const float kBallHalfSize = 256.0f;
const float kFieldOfView = D3DX_PI / 4.0f;
const float kNearPlane = 1.0f;
const float kFarPlane = 3000.0f;

// Every glass-ball layer of the process moves by one accumulator, so that layers on several
// displays (each with its own document) stay in step; the last writer's time wins.
struct SharedMotion {
    float accumulator = 0.0f;
    float lastTime = 0.0f;
    bool used = false;
};
SharedMotion g_motion;

DWORD FloatBits(float value)
{
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The texture of the current frame of a link's picture in the current store, with a reference.
void FetchFrameTexture(const Vo_ImageFileLink& link, ComRef<IDirect3DTexture9>& texture)
{
    texture.Reset();
    if (!CurrentDocResManager)
        return;
    const TextureFrameSet& set = CurrentDocResManager->GetTextureFrameSet(link);
    if (set.currentFrame < set.frames.size())
        texture.Assign(set.frames[set.currentFrame].Get());
}

// The hemisphere of radius 128 over the bump map's 256 x 256 texels; 0 outside it.
double HemisphereHeight(int x, int y)
{
    const double radicand = 16384.0 - static_cast<double>((x - 128) * (x - 128) + (y - 128) * (y - 128));
    return radicand >= 0.0 ? std::sqrt(radicand) : 0.0;
}

// The slope between two heights as a signed 16-bit texel component: atan of the difference,
// pi / 2 mapping to 25600.
int16_t SlopeComponent(double difference)
{
    return static_cast<int16_t>(std::atan(difference) * 16297.4658);
}

// A W x H rectangle of screen pixels whose top-left corner lies at (x, y), rhw 1.
ScreenQuad PixelRectangle(float x, float y, float width, float height)
{
    ScreenQuad quad;
    InitBackBufferQuad(quad, width, height);
    for (QuadCorner& corner : quad.corners) {
        corner.x += x;
        corner.y += y;
    }
    return quad;
}

// A pre-transformed textured quad, drawn with whatever blending is set.
void DrawScreenTexQuad(IDirect3DDevice9* device, const TexturedQuad& quad)
{
    if (!quad.VertexBuffer())
        return;
    device->SetTexture(0, quad.Texture());
    quad.BindScreenTexStream();
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
}

// A 4-vertex TwoTexVertex strip in a managed buffer: corners bottom-left, top-left, bottom-right,
// top-right of the rectangle, texture (0, 1) to (1, 0); the second pair is generated on stage 1.
HRESULT MakeTwoTexQuad(ComRef<IDirect3DVertexBuffer9>& buffer, float left, float bottom, float right,
                       float top)
{
    HRESULT hr = CreateVertexBufferOf<TwoTexVertex>(buffer, 4, D3DUSAGE_WRITEONLY, D3DPOOL_MANAGED);
    if (FAILED(hr))
        return hr;
    void* locked = nullptr;
    hr = buffer->Lock(0, 0, &locked, 0);
    if (FAILED(hr) || !locked) {
        buffer.Reset();
        return FAILED(hr) ? hr : E_FAIL;
    }
    const TwoTexVertex corners[4] = {{left, bottom, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f},
                                     {left, top, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
                                     {right, bottom, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f},
                                     {right, top, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f}};
    std::memcpy(locked, corners, sizeof corners);
    buffer->Unlock();
    return S_OK;
}

}  // namespace

Vo_GlassBallLight::Vo_GlassBallLight()
    : m_highlightALink(58, L"common_res.dll"),
      m_highlightBLink(59, L"common_res.dll"),
      m_standLink(60, L"common_res.dll"),
      m_backgroundLink(5, L"common_res.dll"),
      m_ballSize(100),
      m_lens(0),
      m_ballOff(0),
      m_highlightA(1),
      m_highlightB(1),
      m_stand(0),
      m_backgroundSwitch(0),
      m_motion(kWobble),
      m_gradient1(0),
      m_gradient2(0)
{
    m_speed.Rescale(0.02f, 1.0f);
    D3DXMatrixIdentity(&m_textureMatrix);
}

Vo_GlassBallLight::~Vo_GlassBallLight() = default;

void Vo_GlassBallLight::Load(int32_t, Vo_IOF_Virtual& stream)
{
    ReadFileLink(stream, m_highlightALink);
    ReadFileLink(stream, m_highlightBLink);
    ReadFileLink(stream, m_standLink);
    ReadFileLink(stream, m_backgroundLink);
    uint32_t speed = m_speed.Value();
    stream.ReadUInt(speed);
    m_speed.SetValue(speed);
    stream.ReadPoint(m_ballPosition.ValueRef());
    stream.ReadUInt(m_ballSize.ValueRef());
    stream.ReadUInt(m_lens.ValueRef());
    MediaParamT<int>* const switches[] = {&m_highlightA, &m_highlightB, &m_stand,
                                          &m_backgroundSwitch, &m_motion};
    for (MediaParamT<int>* param : switches)
        stream.ReadInt(param->ValueRef());
    for (MediaColor* colour : {&m_gradient1, &m_gradient2}) {
        int32_t value = static_cast<int32_t>(colour->Value());
        stream.ReadInt(value);
        colour->ValueRef() = static_cast<uint32_t>(value);
    }
    Vo_2D_Light::Load(stream);
}

template <>
struct ClassRecordFields<Vo_GlassBallLight> {
    static void Read(Vo_GlassBallLight& layer, Vo_IOF_Virtual& stream, int32_t version)
    {
        layer.Load(version, stream);
    }
};

Vo_GlassBallLight* CreateGlassBallLight(Vo_IOF_Virtual& stream, int32_t version)
{
    std::unique_ptr<Vo_GlassBallLight> layer(new Vo_GlassBallLight());
    layer->Load(version, stream);
    return layer.release();
}

VO_REGISTER_LIGHT_READER(Vo_GlassBallLight);

// --- Procedural textures ---

void Vo_GlassBallLight::FillBumpMap(uint8_t* bits, int pitch)
{
    for (int y = 0; y < kBumpSize; ++y) {
        int16_t* row = reinterpret_cast<int16_t*>(bits + static_cast<ptrdiff_t>(y) * pitch);
        for (int x = 0; x < kBumpSize; ++x) {
            // The last column compares each texel with itself: flat.
            const int next = x < kBumpSize - 1 ? 1 : 0;
            const double h = HemisphereHeight(x, y);
            row[2 * x] = SlopeComponent(h - HemisphereHeight(x + next, y));
            row[2 * x + 1] = SlopeComponent(h - HemisphereHeight(x, y + next));
        }
    }
}

void Vo_GlassBallLight::FillCircleMask(uint8_t* bits, int pitch)
{
    const int kRadiusSquared = 508 * 508;
    for (int y = 0; y < kMaskSize; ++y) {
        uint8_t* row = bits + static_cast<ptrdiff_t>(y) * pitch;
        const int dy = y - kMaskSize / 2;
        for (int x = 0; x < kMaskSize; ++x) {
            const int dx = x - kMaskSize / 2;
            row[x] = dx * dx + dy * dy <= kRadiusSquared ? 0x00 : 0xFF;
        }
    }
}

void Vo_GlassBallLight::FillGradient(uint8_t* bits, int pitch, unsigned long colour1, unsigned long colour2)
{
    for (int y = 0; y < kGradientSize; ++y) {
        uint8_t channels[3];
        for (int c = 0; c < 3; ++c) {
            const float from = static_cast<float>((colour1 >> (8 * c)) & 0xFF);
            const float to = static_cast<float>((colour2 >> (8 * c)) & 0xFF);
            // Multiplied before divided, so that rows where the step is whole come out whole.
            const float value = from + (to - from) * static_cast<float>(y) / 255.0f;
            channels[c] = static_cast<uint8_t>(static_cast<int>(value));
        }
        // Red, green, blue of 0x00BBGGRR into A8R8G8B8 with alpha 0.
        const uint32_t texel = static_cast<uint32_t>(channels[0]) << 16 |
                               static_cast<uint32_t>(channels[1]) << 8 | channels[2];
        uint32_t* row = reinterpret_cast<uint32_t*>(bits + static_cast<ptrdiff_t>(y) * pitch);
        for (int x = 0; x < kGradientSize; ++x)
            row[x] = texel;
    }
}

void Vo_GlassBallLight::BuildBumpMap()
{
    m_bumpMap.Reset();
    if (!CurrentDevice)
        return;
    if (FAILED(CurrentDevice->CreateTexture(kBumpSize, kBumpSize, 1, 0, D3DFMT_V16U16, D3DPOOL_MANAGED,
                                            m_bumpMap.Receive(), nullptr)))
        return;
    D3DLOCKED_RECT rect;
    if (FAILED(m_bumpMap->LockRect(0, &rect, nullptr, 0))) {
        m_bumpMap.Reset();
        return;
    }
    FillBumpMap(static_cast<uint8_t*>(rect.pBits), rect.Pitch);
    m_bumpMap->UnlockRect(0);
}

void Vo_GlassBallLight::BuildCircleMask()
{
    m_circleMask.Reset();
    if (!CurrentDevice)
        return;
    if (FAILED(CurrentDevice->CreateTexture(kMaskSize, kMaskSize, 1, 0, D3DFMT_A8, D3DPOOL_MANAGED,
                                            m_circleMask.Receive(), nullptr)))
        return;
    D3DLOCKED_RECT rect;
    if (FAILED(m_circleMask->LockRect(0, &rect, nullptr, 0))) {
        m_circleMask.Reset();
        return;
    }
    FillCircleMask(static_cast<uint8_t*>(rect.pBits), rect.Pitch);
    m_circleMask->UnlockRect(0);
}

void Vo_GlassBallLight::BuildGradientTexture()
{
    m_gradientTexture.Reset();
    if (!CurrentDevice)
        return;
    if (FAILED(D3DXCreateTexture(CurrentDevice, kGradientSize, kGradientSize, 0, 0, D3DFMT_A8R8G8B8,
                                 D3DPOOL_MANAGED, m_gradientTexture.Receive())))
        return;
    D3DLOCKED_RECT rect;
    if (FAILED(m_gradientTexture->LockRect(0, &rect, nullptr, 0))) {
        m_gradientTexture.Reset();
        return;
    }
    FillGradient(static_cast<uint8_t*>(rect.pBits), rect.Pitch, m_gradient1.Value(), m_gradient2.Value());
    m_gradientTexture->UnlockRect(0);
    // The background is minified on targets below 256 pixels high: the smaller levels must hold
    // the gradient too, not whatever the texture was made with.
    D3DXFilterTexture(m_gradientTexture.Get(), nullptr, 0, D3DX_DEFAULT);
}

void Vo_GlassBallLight::ApplyGradientBackground()
{
    BuildGradientTexture();
    m_backgroundTexture.Assign(m_gradientTexture.Get());
}

// --- Content and background ---

void Vo_GlassBallLight::LoadContent()
{
    Vo_2D_Light::LoadContent();
    FetchFrameTexture(m_highlightALink, m_highlightATexture);
    FetchFrameTexture(m_highlightBLink, m_highlightBTexture);
    FetchFrameTexture(m_standLink, m_standTexture);
    BuildBumpMap();
    BuildGradientTexture();
    BuildCircleMask();
    if (CurrentDevice) {
        ScreenQuad backBuffer;
        InitBackBufferQuad(backBuffer);
        m_backgroundQuad.SetTexturedQuad(m_gradientTexture.Get(), backBuffer);
        for (TexturedQuad& quad : m_scrollQuads)
            quad.SetTexturedQuad(nullptr, backBuffer);
        for (Vo_SimpleMesh<DX_V::PCT>& bar : m_bars)
            bar.SetQuadWithColor(0xFF000000u, backBuffer);
        // A quad that cannot be made is skipped when drawing.
        MakeTwoTexQuad(m_ballQuad, -kBallHalfSize, -kBallHalfSize, kBallHalfSize, kBallHalfSize);
        MakeTwoTexQuad(m_standQuad, -230.4f, -372.192932f, 232.9f, -185.614120f);

        D3DXMATRIX world, view, projection;
        D3DXMatrixIdentity(&world);
        const D3DXVECTOR3 eye(0.0f, 0.0f, -2001.0f), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&projection, kFieldOfView, 1.0f, kNearPlane, kFarPlane);
        CurrentDevice->SetTransform(D3DTS_WORLD, &world);
        CurrentDevice->SetTransform(D3DTS_VIEW, &view);
        CurrentDevice->SetTransform(D3DTS_PROJECTION, &projection);
    }
    ApplyGradientBackground();
    SelectBackground();
    FetchPicture();
}

void Vo_GlassBallLight::SelectBackground()
{
    if (m_backgroundSwitch.Value() == 1) {
        m_backgroundTexture.Assign(m_backgroundPicture.texture.Get());
        m_mode = ScreenView::kFit;
    } else {
        m_backgroundTexture.Assign(m_gradientTexture.Get());
        m_mode = ScreenView::kFill;
    }
    Layout(m_keptWidth, m_keptHeight);
    Layout(m_keptWidth, m_keptHeight);
}

void Vo_GlassBallLight::FetchPicture()
{
    if (CurrentDocResManager)
        m_backgroundPicture = CopyFirstTextureInfo(CurrentDocResManager->GetTextureFrameSet(m_backgroundLink));
    if (m_backgroundSwitch.Value() == 1) {
        m_backgroundTexture.Assign(m_backgroundPicture.texture.Get());
        Layout(m_keptWidth, m_keptHeight);
    }
}

// --- Layout ---

Vo_GlassBallLight::LensTerms Vo_GlassBallLight::LensTermsFor(unsigned size, unsigned lens, float k1, float s1)
{
    const float s = static_cast<float>(size), l = static_cast<float>(lens);
    LensTerms terms;
    terms.distance = (-600.0f / (0.75f * s / 100.0f + 0.25f)) / (k1 * s1);
    terms.depth = ((s * s1 * k1 / 100.0f) * 1.105f + 0.385f) * 1.05f * (0.5f * l / 100.0f + 1.0f);
    terms.p = 0.5f * l * 0.18f / 100.0f;
    terms.r = 0.125f + 0.5f * l * 0.125f / 100.0f;
    return terms;
}

void Vo_GlassBallLight::ComputeLensTerms()
{
    m_lensTerms = LensTermsFor(m_ballSize.Value(), m_lens.Value(), m_k1, m_s1);
}

void Vo_GlassBallLight::BackgroundSize(float& width, float& height) const
{
    if (m_backgroundPicture.width > 0 && m_backgroundPicture.height > 0) {
        width = static_cast<float>(m_backgroundPicture.width);
        height = static_cast<float>(m_backgroundPicture.height);
    } else if (Picture().width > 0 && Picture().height > 0) {
        width = static_cast<float>(Picture().width);
        height = static_cast<float>(Picture().height);
    } else {
        width = static_cast<float>(m_keptWidth > 0 ? m_keptWidth : 1);
        height = static_cast<float>(m_keptHeight > 0 ? m_keptHeight : 1);
    }
}

float Vo_GlassBallLight::PictureRatio() const
{
    if (Picture().width == 0 || Picture().height == 0)
        return 1.0f;
    return static_cast<float>(Picture().width) / static_cast<float>(Picture().height);
}

void Vo_GlassBallLight::FrameSize(float& width, float& height) const
{
    if (m_sizePushed) {
        width = static_cast<float>(m_keptWidth);
        height = static_cast<float>(m_keptHeight);
    } else {
        D3DSURFACE_DESC desc = {};
        GetBackBufferDesc(desc);
        width = static_cast<float>(desc.Width);
        height = static_cast<float>(desc.Height);
    }
    // Without a target the ball has no frame; one pixel keeps every ratio finite.
    if (!(width >= 1.0f))
        width = 1.0f;
    if (!(height >= 1.0f))
        height = 1.0f;
}

void Vo_GlassBallLight::Layout(int width, int height)
{
    // While a size is pushed the base keeps its own target size, which its push stores and its pop
    // brings back; the ball's layouts for the pushed surface must not replace it.
    if (m_sizePushed)
        Vo_2D_Light::Layout(TargetWidth(), TargetHeight());
    else
        Vo_2D_Light::Layout(width, height);
    if (!m_sizePushed) {
        m_keptWidth = width;
        m_keptHeight = height;
    }
    // A target without area (before the first real layout) has no shares; one pixel keeps every
    // ratio finite.
    width = std::max(width, 1);
    height = std::max(height, 1);
    float backgroundWidth, backgroundHeight;
    BackgroundSize(backgroundWidth, backgroundHeight);
    const unsigned pictureWidth = static_cast<unsigned>(backgroundWidth);
    const unsigned pictureHeight = static_cast<unsigned>(backgroundHeight);
    D3DSURFACE_DESC backBuffer = {};
    GetBackBufferDesc(backBuffer);
    if (CurrentScreenView) {
        CurrentScreenView->Layout(pictureWidth, pictureHeight, width, height, m_mode, false,
                                  static_cast<int>(backBuffer.Width), static_cast<int>(backBuffer.Height));
        CurrentScreenView->ApplyTransforms();
    }
    ComputeLensTerms();

    ScreenQuad fitted = FitQuadToAspect(pictureWidth, pictureHeight, width, height);
    // Without a back buffer (no device) the quad stays in target pixels.
    if (!m_sizePushed && backBuffer.Width > 0 && backBuffer.Height > 0)
        ScaleQuadToBackBuffer(fitted, width, height, static_cast<int>(backBuffer.Width),
                              static_cast<int>(backBuffer.Height));

    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    if (CurrentScreenView)
        D3DXMatrixMultiply(&m, &CurrentScreenView->Camera(), &CurrentScreenView->OffsetScale());
    const float lf = fitted.corners[ScreenQuad::kBottomLeft].x;
    const float tf = fitted.corners[ScreenQuad::kTopLeft].y;
    const float fw = fitted.corners[ScreenQuad::kBottomRight].x - lf;
    const float fh = fitted.corners[ScreenQuad::kBottomLeft].y - tf;
    m_k1 = m._11;
    m_k2 = m._22;
    // The view's offsets in picture pixels, brought to the fitted quad's pixels.
    m_ox = m._41 * fw / backgroundWidth;
    m_oy = m._42 * fh / backgroundHeight;

    ScreenQuad moved = fitted;
    for (QuadCorner& corner : moved.corners) {
        corner.x = lf + m_k1 * (corner.x - lf) + m_ox;
        corner.y = tf + m_k2 * (corner.y - tf) + m_oy;
    }
    m_backgroundQuad.SetTexturedCorners(moved);

    m_s0 = m_k1 * fw / (m_k1 * fw + 2.0f * (std::trunc(m_k1 * lf) + 1.0f));
    m_s1 = m_k2 * fh / (m_k2 * fh + 2.0f * (std::trunc(m_k2 * tf) + 1.0f));

    PlaceBars(fitted);

    ComputeLensTerms();
    if (CurrentScreenView) {
        CurrentScreenView->Layout(pictureWidth, pictureHeight, width, height, ScreenView::kFit, false,
                                  static_cast<int>(backBuffer.Width), static_cast<int>(backBuffer.Height));
        CurrentScreenView->ApplyTransforms();
    }
}

void Vo_GlassBallLight::PlaceBars(const ScreenQuad& fitted)
{
    float backgroundWidth, backgroundHeight;
    BackgroundSize(backgroundWidth, backgroundHeight);
    const float ix = CurrentScreenView ? CurrentScreenView->InverseScaleX() : 1.0f;
    const float iy = CurrentScreenView ? CurrentScreenView->InverseScaleY() : 1.0f;
    const float offsetX = CurrentScreenView ? CurrentScreenView->OffsetX() : 0.0f;
    const float offsetY = CurrentScreenView ? CurrentScreenView->OffsetY() : 0.0f;
    const float lf = fitted.corners[ScreenQuad::kBottomLeft].x;
    const float tf = fitted.corners[ScreenQuad::kTopLeft].y;
    const float fw = fitted.corners[ScreenQuad::kBottomRight].x - lf;
    const float fh = fitted.corners[ScreenQuad::kBottomLeft].y - tf;
    const float dx = offsetX * ix * m_k1 * fw / backgroundWidth;
    const float dy = offsetY * iy * m_k2 * fh / backgroundHeight;
    const float left = lf + dx, right = left + ix * fw;
    const float top = tf + dy, bottom = top + iy * fh;
    // Left and right bars reach one pixel into the picture, top and bottom ones likewise, so
    // that no seam of the cleared target shows between bar and picture.
    const float sideWidth = std::trunc(left) + 1.0f, sideHeight = std::trunc(iy * fh);
    const float barWidth = std::trunc(ix * fw), barHeight = std::trunc(top) + 1.0f;
    m_bars[0].SetScreenCorners(PixelRectangle(0.0f, 0.0f, sideWidth, sideHeight));
    m_bars[1].SetScreenCorners(PixelRectangle(right, 0.0f, sideWidth, sideHeight));
    m_bars[2].SetScreenCorners(PixelRectangle(0.0f, 0.0f, barWidth, barHeight));
    m_bars[3].SetScreenCorners(PixelRectangle(0.0f, bottom, barWidth, barHeight));
}

void Vo_GlassBallLight::SetPicturePosition(int mode)
{
    m_mode = m_backgroundSwitch.Value() == 1 ? mode : ScreenView::kFill;
    Layout(m_keptWidth, m_keptHeight);
}

void Vo_GlassBallLight::PushTargetSize(const D3DSURFACE_DESC& surface, int mode)
{
    m_savedMode = m_mode;
    m_sizePushed = 1;
    if (mode != ScreenView::kRenderTarget) {
        m_mode = m_backgroundSwitch.Value() == 1 ? mode : ScreenView::kFill;
        Layout(m_keptWidth, m_keptHeight);
        Layout(static_cast<int>(surface.Width), static_cast<int>(surface.Height));
    }
    Vo_2D_Light::PushTargetSize(surface, mode);
}

void Vo_GlassBallLight::PopTargetSize()
{
    m_sizePushed = 0;
    Layout(m_keptWidth, m_keptHeight);
    m_mode = m_backgroundSwitch.Value() == 1 ? m_savedMode : ScreenView::kFill;
    Layout(m_keptWidth, m_keptHeight);
    Vo_2D_Light::PopTargetSize();
}

// --- Ball transforms ---

void Vo_GlassBallLight::SetBallTransforms(bool ballPass)
{
    float frameWidth, frameHeight;
    FrameSize(frameWidth, frameHeight);
    const float keptRatio = m_keptWidth > 0 && m_keptHeight > 0
                                ? static_cast<float>(m_keptWidth) / static_cast<float>(m_keptHeight)
                                : 1.0f;
    const float d = m_lensTerms.distance;
    const tagPOINT& position = m_ballPosition.Value();
    float bx = -(d / 600.0f) * ((static_cast<float>(position.x) + 250.0f) * m_k1 - 250.0f +
                                500.0f * m_ox / (frameWidth * m_s0));
    float by = (d / 600.0f) * ((static_cast<float>(position.y) + 250.0f) * m_k2 - 250.0f +
                               500.0f * m_oy / (frameHeight * m_s1));
    if (m_backgroundSwitch.Value() == 1) {
        by = m_s1 * by;
        bx = keptRatio * bx * m_s0;
    }

    float z, ex = 0.0f, ey = 0.0f;
    if (ballPass) {
        z = m_lensTerms.depth;
        const float lensFactor = 1.5f - static_cast<float>(m_lens.Value() >> 1) * 0.01f;
        ex = m_lensTerms.r * m_wobble - lensFactor * (bx / frameWidth) / PictureRatio();
        ey = lensFactor * by / frameHeight;
    } else {
        z = m_s1;
    }

    D3DXMATRIX world, view, projection;
    D3DXMatrixTranslation(&world, bx, by, 0.0f);
    const D3DXVECTOR3 eye(0.0f, 0.0f, d), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, kFieldOfView, keptRatio, kNearPlane, kFarPlane);

    float ratio = PictureRatio();
    if (!ballPass && m_backgroundSwitch.Value() != 0) {
        float backgroundWidth, backgroundHeight;
        BackgroundSize(backgroundWidth, backgroundHeight);
        ratio = backgroundWidth / backgroundHeight;
    }
    D3DXMATRIX p2;
    D3DXMatrixPerspectiveFovLH(&p2, kFieldOfView, ratio, kNearPlane, kFarPlane);
    const float distance =
        std::sqrt(view._41 * view._41 + view._42 * view._42 + view._43 * view._43) * z;
    const float w = p2._33 * distance + p2._34;

    D3DXMatrixIdentity(&m_textureMatrix);
    m_textureMatrix._11 = 0.5f * p2._11 / w;
    m_textureMatrix._22 = -0.5f * p2._22 / w;
    m_textureMatrix._41 = (ex - std::floor(ex)) + 0.5f;
    m_textureMatrix._42 = ey + 0.5f;

    IDirect3DDevice9* device = CurrentDevice;
    if (!device)
        return;
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetTransform(D3DTS_TEXTURE1, &m_textureMatrix);
    device->SetTextureStageState(1, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION | 1);
}

// --- Per frame ---

float Vo_GlassBallLight::WobbleAt(float accumulator)
{
    const float x = accumulator * 0.5f;
    return std::fabs((x - std::floor(x)) * 2.0f - 1.0f) * 2.0f - 1.0f;
}

float Vo_GlassBallLight::MotionAccumulator()
{
    return g_motion.accumulator;
}

void Vo_GlassBallLight::UpdateScroll(float c)
{
    const float f = c - std::floor(c);
    D3DSURFACE_DESC desc = {};
    GetBackBufferDesc(desc);
    const float width = static_cast<float>(desc.Width), height = static_cast<float>(desc.Height);
    m_scrollQuads[0].SetTexturedCorners(PixelRectangle(f * width, 0.0f, width, height));
    m_scrollQuads[1].SetTexturedCorners(PixelRectangle(-(1.0f - f) * width, 0.0f, width, height));
}

void Vo_GlassBallLight::Update(float time)
{
    Vo_2D_Light::Update(time);
    Layout(m_keptWidth, m_keptHeight);
    const int motion = m_motion.Value();
    if (motion == kStill) {
        m_wobble = 0.0f;
        return;
    }
    if (!g_motion.used) {
        g_motion.used = true;
        g_motion.lastTime = time;
    }
    g_motion.accumulator += (time - g_motion.lastTime) * m_speed.Result() * 0.0625f;
    if (motion == kScrollLeft || motion == kScrollRight) {
        m_wobble = 0.0f;
        UpdateScroll(g_motion.accumulator * (motion == kScrollLeft ? -0.5f : 0.5f));
    } else if (motion == kWobble) {
        m_wobble = WobbleAt(g_motion.accumulator);
    }
    g_motion.lastTime = time;
}

// --- Device ---

void Vo_GlassBallLight::RestoreDeviceObjects()
{
    Vo_2D_Light::RestoreDeviceObjects();
    IDirect3DDevice9* device = CurrentDevice;
    if (!device)
        return;
    device->SetSamplerState(1, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    device->SetSamplerState(1, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
    device->SetSamplerState(1, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(1, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    // The bump map's slopes move the ball's texture coordinates by at most a fifth of the scene
    // across and a quarter down.
    device->SetTextureStageState(0, D3DTSS_BUMPENVMAT00, FloatBits(0.2f));
    device->SetTextureStageState(0, D3DTSS_BUMPENVMAT01, FloatBits(0.0f));
    device->SetTextureStageState(0, D3DTSS_BUMPENVMAT10, FloatBits(0.0f));
    device->SetTextureStageState(0, D3DTSS_BUMPENVMAT11, FloatBits(0.25f));
    device->SetTextureStageState(0, D3DTSS_BUMPENVLSCALE, FloatBits(1.0f));
    device->SetTextureStageState(0, D3DTSS_BUMPENVLOFFSET, FloatBits(0.0f));
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

void Vo_GlassBallLight::InvalidateDeviceObjects()
{
    Vo_2D_Light::InvalidateDeviceObjects();
    for (TexturedQuad& quad : m_scrollQuads)
        quad.ReleaseTexture();
}

void Vo_GlassBallLight::BeginRender(int)
{
    Vo_2D_Light::BeginRender(0);
}

void Vo_GlassBallLight::DrawBallQuad(IDirect3DVertexBuffer9* buffer)
{
    if (!buffer)
        return;
    BindVertexStream(CurrentDevice, buffer, sizeof(TwoTexVertex), TwoTexVertex::kFVF);
    CurrentDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
}

void Vo_GlassBallLight::EndRender(int)
{
    IDirect3DDevice9* device = CurrentDevice;
    if (!device) {
        EndEffects(false);
        return;
    }
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    const int motion = m_motion.Value();
    if (motion == kScrollLeft || motion == kScrollRight) {
        // The image drawn so far, twice side by side, into the pair's other texture.
        IDirect3DTexture9* image = SwapTarget();
        for (TexturedQuad& quad : m_scrollQuads) {
            quad.SetTexture(image);
            DrawScreenTexQuad(device, quad);
        }
    }
    ComRef<IDirect3DTexture9> scene;
    scene.Assign(EndEffects(false).Current());

    // The background.
    if (m_backgroundQuad.VertexBuffer()) {
        device->SetTexture(0, m_backgroundTexture.Get());
        m_backgroundQuad.BindScreenTexStream();
        device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    }

    // The ball: the scene through the bump map.
    SetBallTransforms(true);
    device->SetTexture(0, m_bumpMap.Get());
    device->SetTexture(1, scene.Get());
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_BUMPENVMAP);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    DrawBallQuad(m_ballQuad.Get());

    // Highlights over it, blended by their alpha.
    SetBallTransforms(false);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTexture(1, nullptr);
    if (m_highlightA.Value()) {
        device->SetTexture(0, m_highlightATexture.Get());
        DrawBallQuad(m_ballQuad.Get());
    }
    if (m_highlightB.Value()) {
        device->SetTexture(0, m_highlightBTexture.Get());
        DrawBallQuad(m_ballQuad.Get());
    }

    // The mask: outside the circle the background, mapped onto the ball quad as the background
    // quad lies on the target.
    device->SetTexture(0, m_circleMask.Get());
    device->SetTexture(1, m_backgroundTexture.Get());
    float frameWidth, frameHeight;
    FrameSize(frameWidth, frameHeight);
    D3DXMATRIX mask = m_textureMatrix;
    mask._11 = mask._11 / m_k1;
    mask._22 = mask._22 / m_k2;
    mask._41 = (mask._41 - m_ox / frameWidth / m_s0) / m_k1;
    mask._42 = (mask._42 - m_oy / frameHeight / m_s1) / m_k2;
    device->SetTransform(D3DTS_TEXTURE1, &mask);
    DrawBallQuad(m_ballQuad.Get());
    device->SetTexture(1, nullptr);

    if (m_stand.Value()) {
        device->SetTexture(0, m_standTexture.Get());
        DrawBallQuad(m_standQuad.Get());
    }

    device->SetTexture(0, nullptr);
    if (m_backgroundSwitch.Value() == 1 && m_mode == ScreenView::kFit)
        for (Vo_SimpleMesh<DX_V::PCT>& bar : m_bars)
            DrawOverlayQuad(&bar);

    // The next frame's picture and the slide's objects draw with one texture coordinate set.
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(1, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
}
