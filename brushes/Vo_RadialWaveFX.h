#pragma once
#include "brushes/Vo_CentralBased.h"

// Circular ripples that run out from the centre (or in towards it) through the image under the
// mask; their strength fades with the brush's timeline.
class Vo_RadialWaveFX : public Vo_CentralBased {
public:
    // What the brush hands its effect on a draw.
    struct EffectValues {
        float bgScaleFactor[2];
        float center[2];
        float frequency;
        float amplitude;
        float time;
    };

    Vo_RadialWaveFX();
    Vo_RadialWaveFX(const Vo_RadialWaveFX& other);
    ~Vo_RadialWaveFX() override;

    void Render(Vo_ABRender* layer) override;
    Vo_FX_Constructor* Clone() const override { return new Vo_RadialWaveFX(*this); }

    // Version 2 records carry the ripple's own fields; a version 1 record has none and keeps the
    // defaults. The base records follow either way.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // The values for a layer whose picture is layerWidth x layerHeight pixels: the rings' aspect
    // comes from the layer's picture, the centre from the picture laid out last.
    EffectValues ValuesFor(unsigned layerWidth, unsigned layerHeight) const;

    UINTSclaleTo<float>& Amplitude() { return m_amplitude; }
    UINTSclaleTo<float>& WaveLength() { return m_waveLength; }
    UINTSclaleTo<float>& RingScale() { return m_ringScale; }
    MediaParamT<int>& DirectionMode() { return m_directionMode; }

private:
    UINTSclaleTo<float> m_amplitude;
    UINTSclaleTo<float> m_waveLength;
    UINTSclaleTo<float> m_ringScale;
    MediaParamT<int> m_directionMode;
};
