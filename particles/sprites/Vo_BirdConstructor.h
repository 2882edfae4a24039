#pragma once
#include "particles/sprites/Vo_FishConstructor.h"

// Fish motion with a minimum speed: birds never hover and never drift slowly up or down.
class Vo_BirdConstructor : public Vo_FishConstructor {
public:
    Vo_BirdConstructor() = default;
    Vo_BirdConstructor(const Vo_BirdConstructor& other) = default;

    Vo_ParticleSystemCtrl* Clone() const override { return new Vo_BirdConstructor(*this); }
    void UpdateParticle(SpriteParticle& p) override;

    // No fields of its own; a whole fish record follows.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
};
