#include "particles/generators/PSteady.h"

#include "particles/generators/ProcessParticle.h"

bool PSteady::Update(float dt, ProcessParticle& particle)
{
    if (m_start < particle.age && particle.age < m_end) {
        float* value = particle.Value(m_index);
        if (value)
            *value = *value + m_rate * dt;
    }
    return true;
}
