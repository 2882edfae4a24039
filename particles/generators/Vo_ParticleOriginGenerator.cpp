#include "particles/generators/Vo_ParticleOriginGenerator.h"

#include <cmath>

#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/Vo_IndexedMesh.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_ParticleOriginGenerator::Vo_ParticleOriginGenerator()
{
    m_life.Rescale(0.04f, 0.0f);
    m_clock.Rescale(0.02f, 0.0f);
}

Vo_ParticleOriginGenerator::Vo_ParticleOriginGenerator(const Vo_ParticleOriginGenerator& other)
    : Vo_StaticGenerator(other), m_life(other.m_life), m_direction(other.m_direction), m_clock(other.m_clock),
      m_particles(other.m_particles), m_accumulator(other.m_accumulator)
{
    m_rate.ValueRef() = other.m_rate.Value();
    m_size.ValueRef() = other.m_size.Value();
    m_clock.CopyClock(other.m_clock);
}

void Vo_ParticleOriginGenerator::LoadFields(Vo_IOF_Virtual& stream)
{
    ReadScaled(stream, m_life);
    stream.ReadUInt(m_rate.ValueRef());
    stream.ReadUInt(m_size.ValueRef());
    stream.ReadUInt(m_direction.ValueRef());
    ReadScaled(stream, m_clock);
    ReadOrigin(stream);
}

void Vo_ParticleOriginGenerator::Update(float time, Vo_ParticlesObj*)
{
    m_clock.Advance(time);
    Emit(m_clock.Step());
}

void Vo_ParticleOriginGenerator::NewParticle(OriginParticle& particle)
{
    InitOriginParticle(particle);
    particle.life = m_life.Result();
    particle.velocity = m_direction.RandomDirection() * 100.0f;
    particle.position = Origin().Value();
}

float Vo_ParticleOriginGenerator::EmissionRate() const
{
    return Timeline().GetFadeFactor() * static_cast<float>(m_rate.Value());
}

void Vo_ParticleOriginGenerator::Emit(float dt)
{
    // Steps every puff in list order and keeps the living ones in that order.
    size_t kept = 0;
    for (size_t i = 0; i < m_particles.size(); ++i) {
        StepOriginParticle(m_particles[i], dt);
        if (m_particles[i].life < 0.0f)
            continue;
        if (kept != i)
            m_particles[kept] = m_particles[i];
        ++kept;
    }
    m_particles.resize(kept);

    m_accumulator = m_accumulator + dt;
    const size_t limit = static_cast<size_t>(kMaxQuadsPerIndexBuffer);
    for (float rate = EmissionRate(); rate > 0.0f; rate = EmissionRate()) {
        const float interval = 1.0f / rate;
        if (!(interval < m_accumulator))
            break;
        if (m_particles.size() >= limit) {
            // A full list lets the rest of the burst go at once, leaving what the loop would
            // leave: a remainder in (0, interval].
            double rest = std::fmod(static_cast<double>(m_accumulator), static_cast<double>(interval));
            if (!(rest > 0.0))
                rest += interval;
            m_accumulator = static_cast<float>(rest);
            break;
        }
        m_accumulator = m_accumulator - interval;
        m_particles.emplace_back();
        NewParticle(m_particles.back());
    }
}
