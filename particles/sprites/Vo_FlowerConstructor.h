#pragma once
#include "particles/sprites/Vo_StatObjConstructor.h"

// A placed picture whose top sways from side to side while its lower edge stays in place.
class Vo_FlowerConstructor : public Vo_StatObjConstructor {
public:
    Vo_FlowerConstructor();
    Vo_FlowerConstructor(const Vo_FlowerConstructor& other) = default;

    Vo_ParticleSystemCtrl* Clone() const override { return new Vo_FlowerConstructor(*this); }
    void UpdateParticle(SpriteParticle& p) override;
    // The fade dims the flower only in time mode 1; otherwise it slows the sway.
    uint32_t ApplyFade(uint32_t argb) const override;

    // The sway amplitude, then a whole still-object record.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    float& Amplitude() { return m_amplitude; }

private:
    float m_amplitude = 1.5f;
};
