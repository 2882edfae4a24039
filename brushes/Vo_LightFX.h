#pragma once
#include "brushes/LightVariation.h"
#include "brushes/Vo_FX_Constructor.h"

// Brightens the picture under its mask by a pulsing, blinking or flickering factor that fades
// with the brush's timeline.
class Vo_LightFX : public Vo_FX_Constructor {
public:
    Vo_LightFX();
    Vo_LightFX(const Vo_LightFX& other);
    ~Vo_LightFX() override;

    void Render(Vo_ABRender* layer) override;
    Vo_FX_Constructor* Clone() const override { return new Vo_LightFX(*this); }

    // The record's own fields (the registry read the class name and version), then the base record.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // 0 and below pulse, 1 blinks, 2 and above flicker.
    static LightVariation VariationOfMode(int mode);
    // What "multiplier" receives: intensity x g x the timeline's fade.
    float Multiplier() const;

    UINTSclaleTo<float>& Intensity() { return m_intensity; }
    MediaParamT<int>& Mode() { return m_mode; }

private:
    UINTSclaleTo<float> m_intensity;
    MediaParamT<int> m_mode;
};
