#pragma once
#include <d3dx9math.h>

// A puff of the origin generators: a small rigid body with a remaining life, moved, grown, faded
// and spun by its callbacks. Generators keep puffs by value and reuse their storage, so emitting
// one allocates nothing once the list has grown to its steady size.
struct OriginParticle;

// One callback with its parameters; a callback reads only the parameters it uses.
struct ParticleCallback {
    static constexpr int kMaxParameters = 2;
    using Function = void (*)(OriginParticle& particle, float dt, const float* parameters);

    Function function = nullptr;
    float parameters[kMaxParameters] = {0.0f, 0.0f};
};

struct OriginParticle {
    // Enough for every callback a generator gives a puff.
    static constexpr int kMaxCallbacks = 8;

    float life;
    D3DXVECTOR3 position;
    D3DXVECTOR3 velocity;
    D3DXVECTOR3 acceleration;
    D3DXVECTOR3 axis1;
    D3DXVECTOR3 axis2;
    float size;
    float alpha;
    ParticleCallback callbacks[kMaxCallbacks];
    int callbackCount;

    // Appends a callback; false (and nothing appended) when the list is full.
    bool AddCallback(ParticleCallback::Function function, float p0 = 0.0f, float p1 = 0.0f);
};

// Life -1, velocity (0, -200, 0), no acceleration, size 100, alpha 1, no callbacks; position and
// axes at 0.
void InitOriginParticle(OriginParticle& particle);
// life := life - dt, then every callback in list order.
void StepOriginParticle(OriginParticle& particle, float dt);

// position += velocity dt + acceleration dt^2 / 2 with the old velocity; velocity += acceleration dt.
void MoveOriginParticle(OriginParticle& particle, float dt, const float* parameters);
// size += p0 dt.
void GrowOriginParticle(OriginParticle& particle, float dt, const float* parameters);
// While p1 < life: alpha += p0 dt.
void RaiseAlphaWhileYoung(OriginParticle& particle, float dt, const float* parameters);
// While p1 > life: alpha -= p0 dt.
void LowerAlphaWhileOld(OriginParticle& particle, float dt, const float* parameters);
// Turns both axes about z by p0 degrees per second.
void SpinOriginParticle(OriginParticle& particle, float dt, const float* parameters);
