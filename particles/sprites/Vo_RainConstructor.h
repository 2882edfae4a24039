#pragma once
#include <d3dx9math.h>

#include "particles/sprites/Vo_FlowConstructor.h"

// A flow that falls straight down fast, with sprites that stand upright, and drops that blink
// and come back anywhere in the rectangle when they fade out.
class Vo_RainConstructor : public Vo_FlowConstructor {
public:
    Vo_RainConstructor();
    Vo_RainConstructor(const Vo_RainConstructor& other) = default;

    Vo_ParticleSystemCtrl* Clone() const override { return new Vo_RainConstructor(*this); }
    // A flow particle of random opacity, turned back upright when the sprites follow the flow.
    void SpawnParticle(SpriteParticle& p) override;
    // The flow's motion and controls, which see the drop at full opacity, then the blink.
    void UpdateParticle(SpriteParticle& p) override;

    // No fields of its own; a whole flow record follows.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

private:
    // Turns the axes of a flow at 270 degrees back upright; not stored.
    D3DXMATRIX m_extraRotation;
};
