#pragma once
#include "particles/sprites/Vo_ParticleSystemCtrl.h"

// Flashes that light up at random places of the rectangle, fade fast, sometimes flash again, and
// wait in the dark for a random delay from the timeline's invisible range.
class Vo_LightingConstructor : public Vo_ParticleSystemCtrl {
public:
    Vo_LightingConstructor();
    Vo_LightingConstructor(const Vo_LightingConstructor& other) = default;

    Vo_ParticleSystemCtrl* Clone() const override { return new Vo_LightingConstructor(*this); }
    // A new place inside the rectangle, a small random tilt, sometimes mirrored; dark.
    void SpawnParticle(SpriteParticle& p) override;
    void UpdateParticle(SpriteParticle& p) override;
    // The timeline's fade never dims the flashes.
    uint32_t ApplyFade(uint32_t argb) const override { return argb; }

    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
    // A dark wait in seconds from the timeline's invisible minimum and maximum (hundredths); a
    // maximum below the minimum waits the minimum.
    float DrawDelay() const;
};
