#pragma once
#include "model/ComRef.h"
#include "model/Vo_HLSLEffectFile.h"
#include "particles/sprites/Vo_ParticleSystemCtrl.h"

struct ID3DXEffect;

// An emitter whose sprites are drawn through an effect instead of the fixed-function blending:
// the link to the effect and, once resolved, the effect itself.
class Vo_FXParticleSystemCtrl : public Vo_ParticleSystemCtrl {
public:
    Vo_FXParticleSystemCtrl() = default;
    // Copies the link and shares the effect with a reference of its own.
    Vo_FXParticleSystemCtrl(const Vo_FXParticleSystemCtrl& other);
    ~Vo_FXParticleSystemCtrl() override;

    // The effect of the link from the current resource store, replacing the one held before; null
    // when the store cannot make it.
    virtual void ResolveEffect();

    // The whole record of this level (name, version, fields), then the sprite record.
    void Load(Vo_IOF_Virtual& stream);

    Vo_HLSLEffectFile& EffectLink() { return m_effectLink; }
    const Vo_HLSLEffectFile& EffectLink() const { return m_effectLink; }
    ID3DXEffect* Effect() const { return m_effect.Get(); }

private:
    Vo_HLSLEffectFile m_effectLink;
    ComRef<ID3DXEffect> m_effect;
};
