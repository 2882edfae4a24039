#pragma once
#include "brushes/Vo_CentralBased.h"

// Swells and shrinks the image under its mask around the centre: the expansion swings between
// the shrink amplitude B and the grow amplitude A on a triangle or sine wave of the phase, and
// fades with the brush's timeline.
class Vo_ExpandFX : public Vo_CentralBased {
public:
    Vo_ExpandFX();
    Vo_ExpandFX(const Vo_ExpandFX& other);
    ~Vo_ExpandFX() override;

    void Update(float time) override;
    void Render(Vo_ABRender* layer) override;
    Vo_FX_Constructor* Clone() const override { return new Vo_ExpandFX(*this); }

    // The record's own fields (the registry read the class name and version), then the base records.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // The wave w in -1 to 1 at the phase: mode 0 a triangle (-1 at whole periods of 2 pi, +1
    // half-way), any other mode the sine.
    static float Wave(int mode, float phase);
    // "amplitude": (amount, 0) while the image grows, else (0, -amount).
    void AmplitudePair(float pair[2]) const;

    UINTSclaleTo<float>& GrowAmplitude() { return m_grow; }
    UINTSclaleTo<float>& ShrinkAmplitude() { return m_shrink; }
    MediaParamT<int>& WaveMode() { return m_waveMode; }
    // The signed expansion of the current frame, faded.
    float Amount() const { return m_amount; }

private:
    UINTSclaleTo<float> m_grow;
    UINTSclaleTo<float> m_shrink;
    MediaParamT<int> m_waveMode;
    float m_amount = 0.0f;
};
