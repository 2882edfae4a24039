#pragma once
#include "model/UINTSclaleTo.h"
#include "particles/generators/Vo_ParticleOriginGenerator.h"

// Smoke: puffs that drift with their initial velocity bent by the wind, grow, fade in and out and
// spin, drawn as one turned quad each with the first picture straight into the layer. Starts with
// five seconds of emission already played.
class Vo_Smoke : public Vo_ParticleOriginGenerator {
public:
    Vo_Smoke();
    Vo_Smoke(const Vo_Smoke& other) = default;

    void Render(Vo_ABRender* renderer, Vo_ParticlesObj* object) override;
    void Update(float time, Vo_ParticlesObj* object) override;
    void Init(Vo_ParticlesObj* object) override;
    Vo_TexParticleGenerator* Clone() const override { return new Vo_Smoke(*this); }
    void NewParticle(OriginParticle& particle) override;
    // The first count puffs as quads in colour 1, each with the puff's alpha.
    void FillPuffs(void* vertices, unsigned count) const;

    // The record's own fields (the registry read the class name and version), then the lower levels.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // 2 x raw - 100 pixels per second squared to the right.
    UINTSclaleTo<float>& Wind() { return m_wind; }

private:
    void WritePuffs(Vo_ParticlesObj* object);

    UINTSclaleTo<float> m_wind;
};
