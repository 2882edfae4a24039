#pragma once
#include "particles/sprites/Vo_ParticleSystemCtrl.h"

// Slanted light rays of the full picture height that lean by the ray angle, drift sideways and
// blink.
class Vo_GodRayConstructor : public Vo_ParticleSystemCtrl {
public:
    Vo_GodRayConstructor();
    Vo_GodRayConstructor(const Vo_GodRayConstructor& other) = default;

    Vo_ParticleSystemCtrl* Clone() const override { return new Vo_GodRayConstructor(*this); }
    void SpawnParticle(SpriteParticle& p) override;
    void UpdateParticle(SpriteParticle& p) override;

    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
    // The ray's size and lean: sprite-size wide, the picture's height, leaning by the angle.
    void SetRayShape(SpriteParticle& p) const;

    MediaParamT<unsigned int>& RayAngle() { return m_rayAngle; }

private:
    MediaParamT<unsigned int> m_rayAngle;
};
