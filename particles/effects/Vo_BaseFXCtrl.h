#pragma once
#include "particles/effects/Vo_FXParticleSystemCtrl.h"

// The level of the effect-quad objects' records between their placement and the effect link; it
// holds nothing of its own.
class Vo_BaseFXCtrl : public Vo_FXParticleSystemCtrl {
public:
    Vo_BaseFXCtrl() = default;
    Vo_BaseFXCtrl(const Vo_BaseFXCtrl& other) = default;

    // The whole record of this level (name, version, no fields), then the effect emitter's record.
    void Load(Vo_IOF_Virtual& stream);
};
