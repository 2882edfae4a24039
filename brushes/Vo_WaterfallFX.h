#pragma once
#include <vector>

#include "brushes/Vo_DirectionBased.h"
#include "brushes/WaterfallStrips.h"
#include "model/Vo_ImageFileLink.h"

// Falling water over the brush's region: translucent colour strips slide along the direction,
// each a fixed step of phase behind the next, over an optional scrolling noise pass. Draws its
// own 2 x 2 grid; does not fade.
class Vo_WaterfallFX : public Vo_DirectionBased {
public:
    Vo_WaterfallFX();
    Vo_WaterfallFX(const Vo_WaterfallFX& other);
    ~Vo_WaterfallFX() override;

    void LoadResources(MaskSlot* maskSlot) override;
    void Update(float time) override;
    void Render(Vo_ABRender* layer) override;
    // The off flag leaves nothing drawn.
    bool CanDraw() const override;
    // It draws only its grid over the region, so even as a full-image effect it paints over the
    // image rather than write the whole next one of the chain.
    bool ReadsLayerImage() const override { return false; }
    Vo_FX_Constructor* Clone() const override { return new Vo_WaterfallFX(*this); }

    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
    void RenderNoise(Vo_ABRender* layer);
    void RenderColorWaves(Vo_ABRender* layer);

    UINTSclaleTo<float>& Opacity() { return m_opacity; }
    MediaParamT<unsigned int>& StripCount() { return m_stripCount; }
    UINTSclaleTo<float>& NoiseAmplitude() { return m_noiseAmplitude; }
    UINTSclaleTo<float>& Spare() { return m_spare; }
    UINTSclaleTo<float>& Threshold() { return m_threshold; }
    Vo_ImageFileLink& NoiseLink() { return m_noiseLink; }
    MediaParamT<unsigned long>& BaseColour() { return m_baseColour; }
    MediaParamT<int>& OffFlag() { return m_off; }
    const std::vector<WaterfallStrip>& Strips() const { return m_strips; }
    const float* NoiseShift() const { return m_noiseShift; }

private:
    UINTSclaleTo<float> m_opacity;
    // A brush that was never read has no strips and draws; every record sets both.
    MediaParamT<unsigned int> m_stripCount;
    UINTSclaleTo<float> m_noiseAmplitude;
    UINTSclaleTo<float> m_spare;
    UINTSclaleTo<float> m_threshold;
    Vo_ImageFileLink m_noiseLink;
    MediaParamT<unsigned long> m_baseColour;
    MediaParamT<int> m_off;
    std::vector<WaterfallStrip> m_strips;
    ComRef<IDirect3DTexture9> m_noiseTexture;
    float m_noiseShift[2] = {0.0f, 0.0f};
};
