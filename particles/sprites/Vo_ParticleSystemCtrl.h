#pragma once
#include "particles/sprites/Vo_BaseSpriteProp.h"

// The abstract emitter: each emitter class is a copyable description whose runtime object, a
// sprite array, owns a clone of it and calls its per-particle operations.
class Vo_ParticleSystemCtrl : public Vo_BaseSpriteProp {
public:
    Vo_ParticleSystemCtrl() = default;
    Vo_ParticleSystemCtrl(const Vo_ParticleSystemCtrl& other) = default;

    // Resolves inline pictures, then a sprite array around a clone of this emitter.
    Vo_ABObj* CreateObject() override;
    // A copy of the emitter's own class.
    virtual Vo_ParticleSystemCtrl* Clone() const = 0;
};
