#pragma once
#include "particles/generators/PProcess.h"

// Ages a particle at a constant rate; it dies on the step that takes its age to 1.
class PLifeConst : public PProcess {
public:
    explicit PLifeConst(float rate) : m_rate(rate) {}

    bool Update(float dt, ProcessParticle& particle) override;
    PProcess* Clone() const override { return new PLifeConst(*this); }

    float Rate() const { return m_rate; }
    void SetRate(float rate) { m_rate = rate; }

private:
    float m_rate;
};
