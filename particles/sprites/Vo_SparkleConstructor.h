#pragma once
#include "particles/sprites/Vo_ParticleSystemCtrl.h"

// Square sparkles that drift, blink and grow with their opacity.
class Vo_SparkleConstructor : public Vo_ParticleSystemCtrl {
public:
    Vo_SparkleConstructor() = default;
    Vo_SparkleConstructor(const Vo_SparkleConstructor& other) = default;

    Vo_ParticleSystemCtrl* Clone() const override { return new Vo_SparkleConstructor(*this); }
    void SpawnParticle(SpriteParticle& p) override;
    void UpdateParticle(SpriteParticle& p) override;

    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
};
