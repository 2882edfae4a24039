#pragma once
#include "brushes/Vo_CentralBased.h"

// A swirl about the centre whose angle swings between -B and A, optionally stirred by fractal
// noise, and fades with the brush's timeline. Draws its own 2 x 2 grid over the region, or the
// whole picture as a full-image effect.
class Vo_BendFX : public Vo_CentralBased {
public:
    Vo_BendFX();
    Vo_BendFX(const Vo_BendFX& other);
    ~Vo_BendFX() override;

    // The base's effect and mask, then the grid over the region.
    void LoadResources(MaskSlot* maskSlot) override;
    void Update(float time) override;
    void Render(Vo_ABRender* layer) override;
    // The effect takes the picture's aspect out of "Scale", which a scale of 0 leaves it without:
    // such a brush draws nothing.
    bool CanDraw() const override;
    Vo_FX_Constructor* Clone() const override { return new Vo_BendFX(*this); }

    // The record's own fields (the registry read the class name and version), then the base records.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // The bend angle at the phase for amplitudes a and b: the sine swing, and with noise mode 1
    // that swing stirred by sin of the noise.
    static float BendAngleAt(float phase, float a, float b, int noiseMode);

    UINTSclaleTo<float>& AmplitudeA() { return m_amplitudeA; }
    UINTSclaleTo<float>& AmplitudeB() { return m_amplitudeB; }
    UINTSclaleTo<float>& Strength() { return m_strength; }
    MediaParamT<int>& NoiseMode() { return m_noiseMode; }
    // The angle of the current frame, before the fade.
    float BendAngle() const { return m_bendAngle; }

private:
    UINTSclaleTo<float> m_amplitudeA;
    UINTSclaleTo<float> m_amplitudeB;
    UINTSclaleTo<float> m_strength;
    MediaParamT<int> m_noiseMode;
    float m_bendAngle = 0.0f;
};
