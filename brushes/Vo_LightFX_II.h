#pragma once
#include "brushes/LightVariation.h"
#include "brushes/Vo_FX_Constructor.h"

// Lays a colour over the image under its mask in one of four blends, its strength pulsing,
// blinking, flickering or steady and fading with the brush's timeline. Draws the layer's picture
// quad with the blend's technique, whatever the technique flag.
class Vo_LightFX_II : public Vo_FX_Constructor {
public:
    Vo_LightFX_II();
    Vo_LightFX_II(const Vo_LightFX_II& other);
    ~Vo_LightFX_II() override;

    void Render(Vo_ABRender* layer) override;
    // Its blends leave the image alone outside the mask (alpha 0 there), so even as a full-image
    // effect they paint over the image rather than write the whole next one of the chain.
    bool ReadsLayerImage() const override { return false; }
    Vo_FX_Constructor* Clone() const override { return new Vo_LightFX_II(*this); }

    // The record's own fields (the registry read the class name and version), then the base record.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // 1 pulses, 2 blinks, 3 flickers, any other value is steady.
    static LightVariation VariationOfMode(int mode);
    // The technique of a blend value, or null for a value that selects none (the effect then
    // keeps the technique it had).
    static const char* TechniqueOfBlend(int blend);
    // What "BlendColor" receives: the colour's red, green and blue over 255, and as alpha
    // intensity x g x the timeline's fade.
    void BlendColor(float rgba[4]) const;

    UINTSclaleTo<float>& Intensity() { return m_intensity; }
    MediaParamT<int>& Mode() { return m_mode; }
    MediaParamT<int>& Blend() { return m_blend; }
    // 0x00BBGGRR.
    MediaParamT<unsigned long>& Colour() { return m_colour; }

private:
    UINTSclaleTo<float> m_intensity;
    // Every record sets mode and blend; a brush that was never read is steady and blends
    // normally.
    MediaParamT<int> m_mode;
    MediaParamT<int> m_blend;
    MediaParamT<unsigned long> m_colour;
};
