#pragma once
#include "model/MediaParamT.h"
#include "model/MediaSpeedParam.h"
#include "particles/generators/Vo_SingleRectGN.h"

// The frames of an animated picture played on a free quad, forward or backward, through the
// effect "Blend_Normal" (by default the resource module's, id 116).
class Vo_StaticAnimation : public Vo_SingleRectGN {
public:
    Vo_StaticAnimation();
    Vo_StaticAnimation(const Vo_StaticAnimation& other);

    void Render(Vo_ABRender* renderer, Vo_ParticlesObj* object) override;
    void Update(float time, Vo_ParticlesObj* object) override;
    Vo_TexParticleGenerator* Clone() const override { return new Vo_StaticAnimation(*this); }

    // The record's own fields (the registry read the class name and version), then the lower levels.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // Frame clock: raw 100 plays the frames at their own delays.
    MediaSpeedParam& Speed() { return m_speed; }
    MediaParamT<int>& Reverse() { return m_reverse; }

private:
    MediaSpeedParam m_speed;
    MediaParamT<int> m_reverse;
};
