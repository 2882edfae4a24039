#pragma once
#include "brushes/Vo_DirectionBased.h"

// Shifts the image under its mask back and forth along the direction, between -A (the strength)
// and +B, on a sine or one octave of fractal noise of the phase; the shift fades with the brush's
// timeline.
class Vo_MoveFX : public Vo_DirectionBased {
public:
    Vo_MoveFX();
    Vo_MoveFX(const Vo_MoveFX& other);
    ~Vo_MoveFX() override;

    void Update(float time) override;
    void Render(Vo_ABRender* layer) override;
    Vo_FX_Constructor* Clone() const override { return new Vo_MoveFX(*this); }

    // Version 2 records carry amplitude B; after a version 1 record B is A, so the image moves
    // the same way to both sides. The base records follow the own fields.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // The signed distance along the direction, before the fade, for amplitudes a and b: the wave
    // (sine, or noise with mode 1) carried from -a up to +b.
    static float SwingAt(float phase, float a, float b, int waveMode);

    MediaParamT<int>& WaveMode() { return m_waveMode; }
    UINTSclaleTo<float>& AmplitudeA() { return Strength(); }
    UINTSclaleTo<float>& AmplitudeB() { return m_amplitudeB; }
    // "Direction" of the current frame.
    const float* Shift() const { return m_shift; }

private:
    MediaParamT<int> m_waveMode;
    UINTSclaleTo<float> m_amplitudeB;
    float m_shift[2] = {0.0f, 0.0f};
};
