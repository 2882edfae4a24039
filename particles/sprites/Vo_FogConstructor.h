#pragma once
#include "particles/sprites/Vo_ParticleSystemCtrl.h"

// Fog sprites that drift, bounce at the rectangle by their centres, breathe between the two
// opacities and spin slowly.
class Vo_FogConstructor : public Vo_ParticleSystemCtrl {
public:
    Vo_FogConstructor();
    Vo_FogConstructor(const Vo_FogConstructor& other) = default;

    Vo_ParticleSystemCtrl* Clone() const override { return new Vo_FogConstructor(*this); }
    void SpawnParticle(SpriteParticle& p) override;
    void UpdateParticle(SpriteParticle& p) override;

    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    float& MaxSpeedX() { return m_maxSpeedX; }
    float& MaxSpeedY() { return m_maxSpeedY; }

private:
    float m_maxSpeedX = 40.0f;
    float m_maxSpeedY = 40.0f;
};
