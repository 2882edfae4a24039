#pragma once

struct ProcessParticle;

// One step of a particle's life cycle, run every frame in its list's order. A particle is alive
// while every step of its list says so.
class PProcess {
public:
    virtual ~PProcess() = default;
    // Advances the particle by dt; false when this step ends its life.
    virtual bool Update(float dt, ProcessParticle& particle) = 0;
    virtual PProcess* Clone() const = 0;
};
