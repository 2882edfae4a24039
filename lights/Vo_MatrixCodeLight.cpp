#include "lights/Vo_MatrixCodeLight.h"

#include <d3d9.h>

#include <cmath>
#include <new>

#include "lights/GlyphSprite.h"
#include "model/ClassReaderRegistration.h"
#include "model/CurrentDevice.h"
#include "model/D3DResourceMakers.h"
#include "model/TextureFrameSet.h"
#include "model/Vo_DocResManager.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/PicturePlacement.h"
#include "runtime/ScreenView.h"

namespace {

const int kDefaultGlyphPictureId = 40;

uint32_t NonNegative(int value) { return value > 0 ? static_cast<uint32_t>(value) : 0u; }

// An opacity to an alpha byte, truncated; values outside 0..1 (a transparency raw above 100)
// are held at the ends instead of wrapping.
uint32_t AlphaByte(float opacity)
{
    if (!(opacity > 0.0f))
        return 0;
    if (opacity >= 1.0f)
        return 255;
    return static_cast<uint32_t>(opacity * 255.0f);
}

float SafeRatio(float numerator, float denominator)
{
    return denominator != 0.0f && std::isfinite(denominator) ? numerator / denominator : 0.0f;
}

}  // namespace

Vo_MatrixCodeLight::Vo_MatrixCodeLight()
    : m_cellSize(16),
      m_spawnIndex(20),
      m_keepsChanging(50),
      m_flicker(0),
      m_backgroundMode(kPicture),
      m_flow(2),
      m_trailColor(0),
      m_headColor(0),
      m_glyphLink(kDefaultGlyphPictureId, L"common_res.dll")
{
    m_transparency.Rescale(-0.01f, 1.0f);
}

Vo_MatrixCodeLight::~Vo_MatrixCodeLight() = default;

void Vo_MatrixCodeLight::Load(int32_t version, Vo_IOF_Virtual& stream)
{
    stream.ReadUInt(m_cellSize.ValueRef());
    stream.ReadUInt(m_spawnIndex.ValueRef());
    stream.ReadUInt(m_keepsChanging.ValueRef());
    stream.ReadLong(m_flicker.ValueRef());
    stream.ReadLong(m_backgroundMode.ValueRef());
    stream.ReadLong(m_flow.ValueRef());
    for (MediaColor* colour : {&m_trailColor, &m_headColor}) {
        int32_t value = static_cast<int32_t>(colour->Value());
        stream.ReadInt(value);
        colour->ValueRef() = static_cast<uint32_t>(value);
    }
    ReadScaled(stream, m_transparency);
    // A negative version read as unsigned is above 1.
    if (static_cast<uint32_t>(version) > 1)
        ReadFileLink(stream, m_glyphLink);
    Vo_2D_Light::Load(stream);
}

template <>
struct ClassRecordFields<Vo_MatrixCodeLight> {
    static void Read(Vo_MatrixCodeLight& layer, Vo_IOF_Virtual& stream, int32_t version)
    {
        layer.Load(version, stream);
    }
};

Vo_MatrixCodeLight* CreateMatrixCodeLight(Vo_IOF_Virtual& stream, int32_t version)
{
    std::unique_ptr<Vo_MatrixCodeLight> layer(new Vo_MatrixCodeLight());
    layer->Load(version, stream);
    return layer.release();
}

VO_REGISTER_LIGHT_READER(Vo_MatrixCodeLight);

void Vo_MatrixCodeLight::TakeSettings()
{
    m_settings.cellSize = m_cellSize.Value() ? m_cellSize.Value() : 1u;
    const unsigned spawn = m_spawnIndex.Value();
    m_settings.spawnIndex = spawn < 1 ? 1u : spawn > 100 ? 100u : spawn;
    m_settings.keepsChanging = m_keepsChanging.Value();
    m_settings.flicker = m_flicker.Value();
    m_settings.flow = m_flow.Value();
}

void Vo_MatrixCodeLight::LoadContent()
{
    Vo_2D_Light::LoadContent();
    // The picture's size goes into the placement, which the grid is measured from.
    Layout(1, 1);
    TextureInfo glyphs;
    if (CurrentDocResManager)
        glyphs = CopyFirstTextureInfo(CurrentDocResManager->GetTextureFrameSet(m_glyphLink));
    // The strip is cut into G equal slices from the top. Without a picture (or with only the
    // stand-in size of a module that could not be opened) there is no glyph, and no grid: the
    // layer shows its background alone.
    m_settings.glyphRows =
        glyphs.width && glyphs.texture ? static_cast<int32_t>(glyphs.height / glyphs.width + 2) : 0;
    m_sprites.SetTexture(glyphs.texture.Get());
    TakeSettings();
    RecreateGlyphRain();
    ReserveGlyphSprites();
    BuildLuminanceMap();
}

void Vo_MatrixCodeLight::RecreateGlyphRain()
{
    m_cursor.reset();
    std::unique_ptr<GlyphRainCursor> cursor(new (std::nothrow) GlyphRainCursor());
    if (!cursor)
        return;
    const PicturePlacement& placement = GetPicturePlacement();
    cursor->rain = CreateGlyphRain(m_settings, NonNegative(placement.pictureWidth),
                                   NonNegative(placement.pictureHeight));
    m_cursor = std::move(cursor);
}

void Vo_MatrixCodeLight::ReserveGlyphSprites()
{
    // One sprite per cell; a grid that could not be made has none.
    const GlyphRain* rain = Rain();
    m_sprites.Resize(rain ? rain->cols * rain->rows : 0);
}

void Vo_MatrixCodeLight::BuildLuminanceMap()
{
    m_luminance.reset();
    if (m_backgroundMode.Value() != kLuminance)
        return;
    ComRef<IDirect3DTexture9> copy;
    CopyTexture(kLuminanceSize, kLuminanceSize, D3DFMT_R8G8B8, Picture().texture.Get(), copy);
    // Without a picture there is no table, and the glyphs take the full opacity.
    if (!copy)
        return;
    D3DSURFACE_DESC desc = {};
    if (FAILED(copy->GetLevelDesc(0, &desc)) || desc.Width < unsigned(kLuminanceSize) ||
        desc.Height < unsigned(kLuminanceSize))
        return;
    // The device gives the nearest format it has: four bytes a texel, or three.
    unsigned texelSize = 0;
    if (desc.Format == D3DFMT_X8R8G8B8 || desc.Format == D3DFMT_A8R8G8B8)
        texelSize = 4;
    else if (desc.Format == D3DFMT_R8G8B8)
        texelSize = 3;
    if (texelSize == 0)
        return;
    D3DLOCKED_RECT locked = {};
    if (FAILED(copy->LockRect(0, &locked, nullptr, D3DLOCK_READONLY)) || !locked.pBits)
        return;
    std::unique_ptr<float[]> map(new (std::nothrow) float[kLuminanceSize * kLuminanceSize]);
    if (map) {
        for (int y = 0; y < kLuminanceSize; ++y) {
            const uint8_t* row = static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch;
            for (int x = 0; x < kLuminanceSize; ++x) {
                const uint8_t* texel = row + x * texelSize;
                map[y * kLuminanceSize + x] =
                    0.299f * texel[2] / 255.0f + 0.587f * texel[1] / 255.0f + 0.114f * texel[0] / 255.0f;
            }
        }
    }
    copy->UnlockRect(0);
    m_luminance = std::move(map);
}

uint32_t Vo_MatrixCodeLight::SpriteColor(int state, int column, int row, uint32_t mask) const
{
    float opacity = m_transparency.Result();
    if (state == GlyphSprite::kFading)
        opacity *= 0.5f;
    const GlyphRain* rain = Rain();
    if (m_backgroundMode.Value() == kLuminance && state != GlyphSprite::kBright && m_luminance && rain) {
        const int64_t y = int64_t(kLuminanceSize) * row / rain->rows;
        const int64_t x = int64_t(kLuminanceSize) * column / rain->cols;
        opacity = m_luminance[y * kLuminanceSize + x] * m_transparency.Result();
    }
    const MediaColor& colour = state == GlyphSprite::kBright ? m_headColor : m_trailColor;
    const uint32_t argb = AlphaByte(opacity) << 24 | uint32_t(colour.Red()) << 16 |
                          uint32_t(colour.Green()) << 8 | uint32_t(colour.Blue());
    return argb & mask;
}

void Vo_MatrixCodeLight::BuildGlyphSprites(float time)
{
    Camera().Update(time);
    GlyphRainCursor* cursor = m_cursor.get();
    GlyphRain* rain = Rain();
    if (!cursor || !rain)
        return;

    const PicturePlacement& placement = GetPicturePlacement();
    const ScreenQuad& placed = placement.placedQuad;
    const float left = placed.corners[ScreenQuad::kBottomLeft].x;
    const float top = placed.corners[ScreenQuad::kTopLeft].y;
    const float quadWidth = placed.corners[ScreenQuad::kTopRight].x - left;
    const float quadHeight = placed.corners[ScreenQuad::kBottomRight].y - top;
    // Back-buffer pixels per picture pixel.
    const float perPixelX = SafeRatio(quadWidth * 0.5f, float(placement.pictureWidth));
    const float perPixelY = SafeRatio(quadHeight * 0.5f, float(placement.pictureHeight));
    const float cellSize = float(m_settings.cellSize);

    GlyphSprite sprite;
    sprite.hx = cellSize * perPixelX * m_glyphScaleX;
    sprite.hy = cellSize * perPixelY * m_glyphScaleY;

    cursor->column = 0;
    cursor->row = 0;
    cursor->previousVisible = cursor->visible;
    cursor->visible = 0;
    const int capacity = m_sprites.QuadCount();
    // When every cell was lit the drops write blanks, so the screen never stays full.
    StepGlyphColumns(*rain, cursor->previousVisible >= capacity);
    SpawnGlyphDrops(*rain);

    m_sprites.LockAll();
    // The view's camera zoom and pan, carried over to the pre-transformed sprites.
    float sx = 1.0f, sy = 1.0f, ox = 0.0f, oy = 0.0f;
    if (const ScreenView* view = CurrentScreenView) {
        if (view->Mode() == ScreenView::kRenderTarget) {
            sx = SafeRatio(1.0f, view->InverseScaleX());
            sy = SafeRatio(1.0f, view->InverseScaleY());
            ox = view->OffsetX();
            oy = view->OffsetY();
        } else {
            D3DXMATRIX m;
            D3DXMatrixMultiply(&m, &view->Camera(), &view->OffsetScale());
            sx = m._11;
            sy = m._22;
            ox = SafeRatio(m._41, m._11);
            oy = SafeRatio(m._42, m._22);
        }
    }
    const float shiftX = 2.0f * ox * perPixelX * sx;
    const float shiftY = 2.0f * oy * perPixelY * sy;
    const D3DXVECTOR3 halfX(sprite.hx * sx, 0.0f, 0.0f);
    const D3DXVECTOR3 halfY(0.0f, sprite.hy * sy, 0.0f);
    for (int i = 0; i < capacity; ++i) {
        NextGlyphSprite(sprite, *cursor);
        const D3DXVECTOR3 centre(left + sx * (sprite.x - left) + shiftX, top + sy * (sprite.y - top) + shiftY,
                                 0.0f);
        m_sprites.SetQuad(i, centre, halfX, halfY);
        m_sprites.SetQuadColor(i, SpriteColor(sprite.state, sprite.column, sprite.row, sprite.colorMask));
        m_sprites.SetTexCoords(i, sprite.leftU, sprite.rightU, sprite.topV, sprite.bottomV);
    }
    m_sprites.UnlockAll();
}

void Vo_MatrixCodeLight::BeginRender(int nested)
{
    BuildGlyphSprites(m_frameTime);
    IDirect3DDevice9* device = CurrentDevice;
    if (!device)
        return;
    if (m_backgroundMode.Value() == kPicture)
        Vo_2D_Light::BeginRender(nested);
    else if (m_backgroundMode.Value() == kLuminance)
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000, 1.0f, 0);
    // The glyph strip times the vertex colour, in colour and alpha.
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_sprites.Draw();
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

void Vo_MatrixCodeLight::Update(float time)
{
    m_frameTime = time;
}

void Vo_MatrixCodeLight::RestoreDeviceObjects()
{
    Vo_2D_Light::RestoreDeviceObjects();
    if (IDirect3DDevice9* device = CurrentDevice) {
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    }
}

HRESULT Vo_MatrixCodeLight::DrawTexturedQuad(TexturedQuad* quad)
{
    const HRESULT hr = Vo_2D_Light::DrawTexturedQuad(quad);
    // The base leaves the alpha of stage 0 to the texture alone.
    if (CurrentDevice)
        CurrentDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    return hr;
}

void Vo_MatrixCodeLight::SetPicturePosition(int mode)
{
    Vo_2D_Light::SetPicturePosition(mode);
    RecreateGlyphRain();
    ReserveGlyphSprites();
}

void Vo_MatrixCodeLight::OnPictureChanged()
{
    Vo_2D_Light::OnPictureChanged();
    BuildLuminanceMap();
    RecreateGlyphRain();
    ReserveGlyphSprites();
}

void Vo_MatrixCodeLight::PushTargetSize(const D3DSURFACE_DESC& surface, int mode)
{
    Vo_2D_Light::PushTargetSize(surface, mode);
    D3DSURFACE_DESC backBuffer = {};
    GetBackBufferDesc(backBuffer);
    m_glyphScaleX = backBuffer.Width ? float(surface.Width) / float(backBuffer.Width) : 1.0f;
    m_glyphScaleY = backBuffer.Height ? float(surface.Height) / float(backBuffer.Height) : 1.0f;
}

void Vo_MatrixCodeLight::PopTargetSize()
{
    Vo_2D_Light::PopTargetSize();
    m_glyphScaleX = 1.0f;
    m_glyphScaleY = 1.0f;
}
