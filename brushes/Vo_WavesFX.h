#pragma once
#include <d3dx9math.h>

#include "brushes/Vo_FX_Constructor.h"
#include "model/ParamBindingList.h"

// Distorts the picture under its mask with a travelling sine wave, across or along the wave's
// direction; the amplitude fades with the brush's timeline.
class Vo_WavesFX : public Vo_FX_Constructor {
public:
    Vo_WavesFX();
    Vo_WavesFX(const Vo_WavesFX& other);
    ~Vo_WavesFX() override;

    void Render(Vo_ABRender* layer) override;
    Vo_FX_Constructor* Clone() const override { return new Vo_WavesFX(*this); }

    // The record's own fields (the registry read the class name and version), then the base record.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
    void UpdateDirection();

    UINTSclaleTo<float>& Amplitude() { return m_amplitude; }
    UINTSclaleTo<float>& WaveLength() { return m_waveLength; }
    MediaParamT<unsigned int>& Angle() { return m_angle; }
    MediaParamT<int>& Longitudinal() { return m_longitudinal; }
    const D3DXVECTOR4& Direction() const { return m_direction; }
    const D3DXVECTOR4& DisplacementAxis() const { return m_axis; }

protected:
    bool PaintsOnlyThroughMask() const override;

private:
    void Bind();

    UINTSclaleTo<float> m_amplitude;
    UINTSclaleTo<float> m_waveLength;
    MediaParamT<unsigned int> m_angle;
    MediaParamT<int> m_longitudinal;
    D3DXVECTOR4 m_direction = D3DXVECTOR4(1, 0, 0, 0);
    D3DXVECTOR4 m_axis = D3DXVECTOR4(0, 1, 0, 0);
    ParamBindingList m_bindings;
};
