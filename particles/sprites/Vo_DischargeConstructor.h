#pragma once
#include "particles/sprites/Vo_StatObjConstructor.h"

// A placed picture strip that flickers: each strip frame change jumps to a random other frame.
class Vo_DischargeConstructor : public Vo_StatObjConstructor {
public:
    Vo_DischargeConstructor() = default;
    Vo_DischargeConstructor(const Vo_DischargeConstructor& other) = default;

    Vo_ParticleSystemCtrl* Clone() const override { return new Vo_DischargeConstructor(*this); }
    // A random frame other than `index`; with a single frame there is no other, and it stays.
    unsigned NextFrame(unsigned index) override;

    // No fields of its own; a whole still-object record follows.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
};
