#pragma once
#include <d3dx9math.h>

#include <memory>
#include <vector>

#include "particles/generators/PProcess.h"

// A stroke point of the air brush and the sparkles: a position and three values that its list of
// life-cycle steps advances each frame.
struct ProcessParticle {
    ProcessParticle() = default;
    ProcessParticle(const D3DXVECTOR3& at, float ageValue, float first, float second)
        : position(at), age(ageValue), value1(first), value2(second)
    {
    }
    // Copies are made with ParticleProcessList_Copy, which clones the steps.
    ProcessParticle(const ProcessParticle&) = delete;
    ProcessParticle& operator=(const ProcessParticle&) = delete;
    ProcessParticle(ProcessParticle&&) = default;
    ProcessParticle& operator=(ProcessParticle&&) = default;

    // Value 0 is the age, 1 and 2 the two values; null for any other index.
    float* Value(int index);

    D3DXVECTOR3 position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    float age = 0.0f;
    float value1 = 0.0f;
    float value2 = 0.0f;
    std::vector<std::unique_ptr<PProcess>> processes;
};

// Runs every step in list order, all of them even after one has reported the end, and returns
// whether all said alive (an empty list is always alive).
bool ParticleProcessList_Apply(ProcessParticle& particle, float dt);
// Deletes the steps; position and values stay.
void ParticleProcessList_Clear(ProcessParticle& particle);
// Copies position and values and appends a clone of each of the source's steps.
void ParticleProcessList_Copy(ProcessParticle& destination, const ProcessParticle& source);
void ParticleProcessList_Destroy(ProcessParticle& particle);
