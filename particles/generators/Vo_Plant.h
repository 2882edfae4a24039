#pragma once
#include "model/MediaSpeedParam.h"
#include "model/UINTSclaleTo.h"
#include "particles/generators/Vo_SingleRectGN.h"

// A picture on a free quad that sways with time through the plant effect the document links.
class Vo_Plant : public Vo_SingleRectGN {
public:
    Vo_Plant();
    Vo_Plant(const Vo_Plant& other) = default;

    void Render(Vo_ABRender* renderer, Vo_ParticlesObj* object) override;
    void Update(float time, Vo_ParticlesObj* object) override;
    Vo_TexParticleGenerator* Clone() const override { return new Vo_Plant(*this); }

    // The record's own fields (the registry read the class name and version), then the lower levels.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    MediaSpeedParam& Speed() { return m_speed; }
    UINTSclaleTo<float>& Frequency() { return m_frequency; }
    UINTSclaleTo<float>& WaveMagnitude() { return m_waveMagnitude; }
    UINTSclaleTo<float>& BendMagnitude() { return m_bendMagnitude; }

private:
    MediaSpeedParam m_speed;
    UINTSclaleTo<float> m_frequency;
    UINTSclaleTo<float> m_waveMagnitude;
    UINTSclaleTo<float> m_bendMagnitude;
};
