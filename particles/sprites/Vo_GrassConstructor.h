#pragma once
#include "particles/sprites/Vo_ParticleSystemCtrl.h"

// Blades standing on the rectangle's bottom edge that sway by shearing, in a wave that travels
// across the picture.
class Vo_GrassConstructor : public Vo_ParticleSystemCtrl {
public:
    Vo_GrassConstructor();
    Vo_GrassConstructor(const Vo_GrassConstructor& other) = default;

    Vo_ParticleSystemCtrl* Clone() const override { return new Vo_GrassConstructor(*this); }
    // Base x in velocity z, sway phase in velocity y; some blades are mirrored.
    void SpawnParticle(SpriteParticle& p) override;
    void UpdateParticle(SpriteParticle& p) override;
    // The fade dims the grass only in time mode 1; otherwise it slows the sway.
    uint32_t ApplyFade(uint32_t argb) const override;

    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    float& Amplitude() { return m_amplitude; }

private:
    float m_amplitude = 3.0f;
};
