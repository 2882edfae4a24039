#pragma once
#include "particles/sprites/Vo_FishConstructor.h"

// Fish motion whose opacity is the timeline's fade; while invisible the ghosts are placed anew
// every frame, so each fade-in shows them somewhere else.
class Vo_GhostConstructor : public Vo_FishConstructor {
public:
    Vo_GhostConstructor();
    Vo_GhostConstructor(const Vo_GhostConstructor& other) = default;

    Vo_ParticleSystemCtrl* Clone() const override { return new Vo_GhostConstructor(*this); }
    void SpawnParticle(SpriteParticle& p) override;
    void UpdateParticle(SpriteParticle& p) override;

    // No fields of its own; a whole fish record follows. Version 1 records get the cycling
    // timeline that later versions store.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
    void UpgradeOldVersion();
};
