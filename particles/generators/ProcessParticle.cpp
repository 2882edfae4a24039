#include "particles/generators/ProcessParticle.h"

float* ProcessParticle::Value(int index)
{
    switch (index) {
    case 0:
        return &age;
    case 1:
        return &value1;
    case 2:
        return &value2;
    default:
        return nullptr;
    }
}

bool ParticleProcessList_Apply(ProcessParticle& particle, float dt)
{
    bool alive = true;
    for (const auto& process : particle.processes)
        alive = process->Update(dt, particle) && alive;
    return alive;
}

void ParticleProcessList_Clear(ProcessParticle& particle)
{
    particle.processes.clear();
}

void ParticleProcessList_Copy(ProcessParticle& destination, const ProcessParticle& source)
{
    destination.position = source.position;
    destination.age = source.age;
    destination.value1 = source.value1;
    destination.value2 = source.value2;
    for (const auto& process : source.processes)
        destination.processes.emplace_back(process->Clone());
}

void ParticleProcessList_Destroy(ProcessParticle& particle)
{
    ParticleProcessList_Clear(particle);
    particle.processes.shrink_to_fit();
}
