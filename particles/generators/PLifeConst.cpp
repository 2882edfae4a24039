#include "particles/generators/PLifeConst.h"

#include "particles/generators/ProcessParticle.h"

bool PLifeConst::Update(float dt, ProcessParticle& particle)
{
    particle.age = particle.age + m_rate * dt;
    return particle.age < 1.0f;
}
