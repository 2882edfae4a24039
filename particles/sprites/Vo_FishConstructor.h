#pragma once
#include "particles/sprites/Vo_ParticleSystemCtrl.h"

// Fish drawn facing right that swim at random velocities, face their horizontal direction and
// turn back at the rectangle's edges.
class Vo_FishConstructor : public Vo_ParticleSystemCtrl {
public:
    Vo_FishConstructor() = default;
    Vo_FishConstructor(const Vo_FishConstructor& other) = default;

    Vo_ParticleSystemCtrl* Clone() const override { return new Vo_FishConstructor(*this); }
    void SpawnParticle(SpriteParticle& p) override;
    void UpdateParticle(SpriteParticle& p) override;

    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    float& MaxSpeedX() { return m_maxSpeedX; }
    float MaxSpeedX() const { return m_maxSpeedX; }
    float& MaxSpeedY() { return m_maxSpeedY; }
    float MaxSpeedY() const { return m_maxSpeedY; }

private:
    float m_maxSpeedX = 80.0f;
    float m_maxSpeedY = 50.0f;
};
