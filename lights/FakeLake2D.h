#pragma once
#include <windows.h>

#include <cstdint>

#include "lights/LakeGeometry.h"
#include "model/ComRef.h"
#include "model/MediaColor.h"
#include "model/MediaSpeedParam.h"
#include "model/UINTSclaleTo.h"
#include "model/vo_string.h"
#include "runtime/ScreenQuad.h"
#include "runtime/Vo_2D_Light.h"
#include "runtime/Vo_SimpleMesh.h"

struct IDirect3DTexture9;
class Vo_IOF_Virtual;

// A layer that turns the lowest part of its picture into a lake: below a horizon it draws the
// band just above the horizon upside down, its reflection coordinates bent by a du/dv ripple
// texture whose bump matrix turns with a clock, and over the water a tint that grows towards the
// bottom edge, with a thin band of the same colour fading upwards from the horizon.
//
// Everything is drawn in the picture's pixel space under the transforms the base layer sets.
// The du/dv texture is the picture the document keeps under the layer's GUID.
class FakeLake2D : public Vo_2D_Light {
public:
    FakeLake2D();
    ~FakeLake2D() override;

    // The lake's record (its fields by version, GUID, name, flag), then the base layer's record.
    void Load(int32_t version, Vo_IOF_Virtual& stream);

    void LoadContent() override;
    // The base layer's states and render-target pair, then the lake's own states.
    void RestoreDeviceObjects() override;
    void BeginRender(int nested) override;
    void Update(float time) override;
    void OnPictureChanged() override;
    // The base service with sampler 0 wrapping for the draw, clamping again afterwards (the
    // clamp that the lake's du/dv texture relies on).
    HRESULT DrawWithTextureFactor(TextureFactorDrawable* object, int value) override;

    // The water band and its tint quads laid out over the picture.
    void LayoutReflection();
    // Water tint over the split quad, haze band above the horizon.
    void PlaceTintQuads(const ScreenQuad& split);
    void SetTintAlphas();
    void ApplyTintColour();
    // A ripple relief from the program's noise picture, used only until the stored du/dv picture
    // replaces it (never on a layer's first content load).
    void BuildBumpTexture();
    void SetBumpStates();
    void BuildLakeMesh();
    void SetLakeMeshFromQuad(const ScreenQuad& quad);
    void SetRippleTiling(float tiling);

    // Scaled values as the layer reads them.
    float Horizon() const { return m_horizon.Result(); }
    float RippleTiling() const { return m_rippleTiling.Result(); }
    float TintAlpha() const { return m_tintAlpha.Result(); }
    float Fade() const { return m_fade.Result(); }
    float Relief() const { return m_relief.Result(); }

    MediaSpeedParam& WaveSpeed() { return m_waveSpeed; }
    UINTSclaleTo<float>& RippleTilingParam() { return m_rippleTiling; }
    UINTSclaleTo<float>& HorizonParam() { return m_horizon; }
    UINTSclaleTo<float>& ReliefParam() { return m_relief; }
    UINTSclaleTo<float>& TintAlphaParam() { return m_tintAlpha; }
    UINTSclaleTo<float>& FadeParam() { return m_fade; }
    MediaParamT<unsigned int>& NormalAmplitude() { return m_normalAmplitude; }
    MediaParamT<unsigned int>& ReflectionOffset() { return m_reflectionOffset; }
    MediaParamT<int>& ReflectionSize() { return m_reflectionSize; }
    MediaColor& TintColour() { return m_tintColour; }

    const GUID& Guid() const { return m_guid; }
    const vo_string& Name() const { return m_name; }
    bool Flag() const { return m_flag; }
    const LakeWaveMatrix& WaveMatrix() const { return m_waveMatrix; }
    IDirect3DTexture9* DuDvTexture() const { return m_duDvTexture.Get(); }
    IDirect3DTexture9* ReflectionTexture() const { return m_reflection.Get(); }
    const Vo_SimpleMesh<DX_V::PCT>& LakeMesh() const { return m_lakeMesh; }
    const Vo_SimpleMesh<DX_V::PCT>& WaterTint() const { return m_waterTint; }
    const Vo_SimpleMesh<DX_V::PCT>& Haze() const { return m_haze; }
    bool TakesFromStore() const { return m_takeFromStore; }

private:
    void LoadFieldsOfVersion2(Vo_IOF_Virtual& stream);
    // The tint quads made anew over a quad, transparent, in the tint colour.
    void MakeTintQuads(const ScreenQuad& quad);
    void TakeStoredDuDvTexture();
    void DrawLake();

    MediaSpeedParam m_waveSpeed;
    UINTSclaleTo<float> m_rippleTiling;
    UINTSclaleTo<float> m_horizon;
    UINTSclaleTo<float> m_relief;
    UINTSclaleTo<float> m_tintAlpha;
    UINTSclaleTo<float> m_fade;
    MediaParamT<unsigned int> m_normalAmplitude;
    MediaParamT<unsigned int> m_reflectionOffset;
    MediaParamT<int> m_reflectionSize;
    MediaColor m_tintColour;
    // The reflection copy: the whole picture resampled to a square of 128 << size texels.
    ComRef<IDirect3DTexture9> m_reflection;
    Vo_SimpleMesh<DX_V::PCT> m_waterTint;
    Vo_SimpleMesh<DX_V::PCT> m_haze;
    LakeWaveMatrix m_waveMatrix = {0.0f, 0.0f, 0.0f, 0.0f};
    // Six TwoTexVertex vertices, a list of two triangles: du/dv coordinates, then reflection ones.
    Vo_SimpleMesh<DX_V::PCT> m_lakeMesh;
    // The texture row of the picture (0 at its top) where the water plane starts; 1 for none.
    float m_waterTopV = 1.0f;
    GUID m_guid = {};
    vo_string m_name;
    bool m_flag = true;
    ComRef<IDirect3DTexture9> m_duDvTexture;
    bool m_takeFromStore = true;
};

// The reader registered under "FakeLake2D": a new lake with the record of that version.
FakeLake2D* CreateFakeLake2D(Vo_IOF_Virtual& stream, int32_t version);

// The lake mesh's vertex buffer: the old one released, n TwoTexVertex vertices (FVF 0x202).
HRESULT CreateLakeVertexBuffer(UINT n, Vo_SimpleMesh<DX_V::PCT>& holder, DWORD usage, D3DPOOL pool);
