#pragma once
#include <d3d9.h>

#include <cstdint>
#include <memory>

#include "lights/GlyphRainCursor.h"
#include "lights/GlyphRainSettings.h"
#include "model/MediaColor.h"
#include "model/MediaParamT.h"
#include "model/UINTSclaleTo.h"
#include "model/Vo_ImageFileLink.h"
#include "runtime/Vo_2D_Light.h"
#include "runtime/Vo_ChunkedSpriteArray.h"

class Vo_IOF_Virtual;

// A layer that covers its picture with columns of falling glyphs. The picture is cut into square
// cells; a glyph grid (GlyphRain) decides which cells show which glyph and how drops start, fall,
// pause and fade, and every lit cell is drawn as one screen-space sprite showing one slice of a
// vertical glyph strip. Under the glyphs lies the picture (background mode 0), or black with the
// glyphs' opacity following the picture's brightness (mode 1), or nothing. The grid moves one
// step per drawn frame, whatever the frame rate.
class Vo_MatrixCodeLight : public Vo_2D_Light {
public:
    enum BackgroundMode { kPicture = 0, kLuminance = 1 };
    static constexpr int kLuminanceSize = 256;

    Vo_MatrixCodeLight();
    ~Vo_MatrixCodeLight() override;

    // The layer's record (its parameters, the glyph link from version 2 on), then the base layer's.
    void Load(int32_t version, Vo_IOF_Virtual& stream);

    // The glyph sprites' size follows a pushed target, so the glyphs keep their share of it.
    void PushTargetSize(const D3DSURFACE_DESC& surface, int mode) override;
    void PopTargetSize() override;
    void LoadContent() override;
    void RestoreDeviceObjects() override;
    // Moves the grid one step and draws the background, then the glyphs.
    void BeginRender(int nested) override;
    // Only keeps the time: the camera moves when the glyphs are built.
    void Update(float time) override;
    // Each placement starts a fresh grid.
    void SetPicturePosition(int mode) override;
    HRESULT DrawTexturedQuad(TexturedQuad* quad) override;
    void OnPictureChanged() override;

    // One grid step and every sprite written for the frame.
    void BuildGlyphSprites(float time);
    // A new grid (and cursor) from the settings over the placed picture.
    void RecreateGlyphRain();
    // One sprite per cell of the grid.
    void ReserveGlyphSprites();
    // Mode 1: the picture's brightness on a 256 x 256 table; otherwise no table.
    void BuildLuminanceMap();

    MediaParamT<unsigned int>& CellSize() { return m_cellSize; }
    MediaParamT<unsigned int>& SpawnIndex() { return m_spawnIndex; }
    MediaParamT<unsigned int>& KeepsChanging() { return m_keepsChanging; }
    MediaParamT<int>& Flicker() { return m_flicker; }
    MediaParamT<int>& BackgroundModeParam() { return m_backgroundMode; }
    MediaParamT<int>& Flow() { return m_flow; }
    MediaColor& TrailColor() { return m_trailColor; }
    MediaColor& HeadColor() { return m_headColor; }
    UINTSclaleTo<float>& Transparency() { return m_transparency; }
    Vo_ImageFileLink& GlyphLink() { return m_glyphLink; }

    const GlyphRainSettings& Settings() const { return m_settings; }
    GlyphRain* Rain() const { return m_cursor ? m_cursor->rain.get() : nullptr; }
    GlyphRainCursor* Cursor() const { return m_cursor.get(); }
    const Vo_ChunkedSpriteArray& Sprites() const { return m_sprites; }
    const float* LuminanceMap() const { return m_luminance.get(); }
    float FrameTime() const { return m_frameTime; }
    float GlyphScaleX() const { return m_glyphScaleX; }
    float GlyphScaleY() const { return m_glyphScaleY; }

private:
    void TakeSettings();
    // The vertex colour of a sprite in that state at that cell.
    uint32_t SpriteColor(int state, int column, int row, uint32_t mask) const;

    MediaParamT<unsigned int> m_cellSize;
    MediaParamT<unsigned int> m_spawnIndex;
    MediaParamT<unsigned int> m_keepsChanging;
    MediaParamT<int> m_flicker;
    MediaParamT<int> m_backgroundMode;
    MediaParamT<int> m_flow;
    MediaColor m_trailColor;
    MediaColor m_headColor;
    // Opacity: 1 - 0.01 x raw.
    UINTSclaleTo<float> m_transparency;
    Vo_ImageFileLink m_glyphLink;
    Vo_ChunkedSpriteArray m_sprites;
    std::unique_ptr<GlyphRainCursor> m_cursor;
    GlyphRainSettings m_settings;
    std::unique_ptr<float[]> m_luminance;
    float m_frameTime = 0.0f;
    float m_glyphScaleX = 1.0f;
    float m_glyphScaleY = 1.0f;
};

// The reader registered under "Vo_MatrixCodeLight": a new layer with the record of that version.
Vo_MatrixCodeLight* CreateMatrixCodeLight(Vo_IOF_Virtual& stream, int32_t version);
