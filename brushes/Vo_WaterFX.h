#pragma once
#include <d3dx9math.h>

#include "brushes/Vo_FX_Constructor.h"
#include "brushes/WaterShaderValues.h"
#include "model/ParamBindingList.h"
#include "model/Vo_ImageFileLink.h"

// Moving, bump-mapped water in the brush's region: a bump picture scrolled and turned by a
// rotating bump matrix, lit from a fixed direction, tinted and masked. It does not fade.
class Vo_WaterFX : public Vo_FX_Constructor {
public:
    Vo_WaterFX();
    // The bump texture is not copied: the copy takes its own in LoadResources.
    Vo_WaterFX(const Vo_WaterFX& other);
    ~Vo_WaterFX() override;

    void LoadResources(MaskSlot* maskSlot) override;
    void Update(float time) override;
    void Render(Vo_ABRender* layer) override;
    // A surface factor without a water plane leaves nothing drawn.
    bool CanDraw() const override;
    Vo_FX_Constructor* Clone() const override { return new Vo_WaterFX(*this); }

    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
    void UpdateDirection();

    UINTSclaleTo<float>& SurfaceFactor() { return m_surface; }
    UINTSclaleTo<float>& BumpStrength() { return m_bumpStrength; }
    UINTSclaleTo<float>& Drift() { return m_drift; }
    UINTSclaleTo<float>& WaveLength() { return m_waveLength; }
    MediaParamT<unsigned int>& Angle() { return m_angle; }
    UINTSclaleTo<float>& Shadows() { return m_shadows; }
    UINTSclaleTo<float>& LightHeight() { return m_lightHeight; }
    MediaParamT<unsigned long>& Colour() { return m_colour; }
    Vo_ImageFileLink& BumpLink() { return m_bumpLink; }
    IDirect3DTexture9* BumpTexture() const { return m_bumpTexture.Get(); }
    const float* BumpMatrix() const { return m_bumpMatrix; }
    const D3DXVECTOR4& Direction() const { return m_direction; }

protected:
    bool PaintsOnlyThroughMask() const override;

private:
    void Bind();
    WaterShaderValues ShaderValues() const;
    bool HasDrawableScale() const;

    UINTSclaleTo<float> m_surface;
    UINTSclaleTo<float> m_bumpStrength;
    UINTSclaleTo<float> m_drift;
    UINTSclaleTo<float> m_waveLength;
    MediaParamT<unsigned int> m_angle;
    UINTSclaleTo<float> m_shadows;
    UINTSclaleTo<float> m_lightHeight;
    MediaParamT<unsigned long> m_colour;
    Vo_ImageFileLink m_bumpLink;
    ComRef<IDirect3DTexture9> m_bumpTexture;
    // Made from the phase before the first update too, so a draw never reads it unset.
    float m_bumpMatrix[4] = {};
    D3DXVECTOR4 m_direction = D3DXVECTOR4(1, 0, 0, 0);
    ParamBindingList m_bindings;
};
