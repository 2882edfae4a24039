#include "particles/generators/OriginParticle.h"

bool OriginParticle::AddCallback(ParticleCallback::Function function, float p0, float p1)
{
    if (callbackCount >= kMaxCallbacks)
        return false;
    ParticleCallback& entry = callbacks[callbackCount++];
    entry.function = function;
    entry.parameters[0] = p0;
    entry.parameters[1] = p1;
    return true;
}

void InitOriginParticle(OriginParticle& particle)
{
    const D3DXVECTOR3 zero(0.0f, 0.0f, 0.0f);
    particle.life = -1.0f;
    particle.position = zero;
    particle.velocity = D3DXVECTOR3(0.0f, -200.0f, 0.0f);
    particle.acceleration = zero;
    particle.axis1 = zero;
    particle.axis2 = zero;
    particle.size = 100.0f;
    particle.alpha = 1.0f;
    particle.callbackCount = 0;
}

void StepOriginParticle(OriginParticle& particle, float dt)
{
    particle.life = particle.life - dt;
    for (int i = 0; i < particle.callbackCount; ++i)
        particle.callbacks[i].function(particle, dt, particle.callbacks[i].parameters);
}

void MoveOriginParticle(OriginParticle& particle, float dt, const float*)
{
    const float h = dt * (dt * 0.5f);
    particle.position.x = (particle.position.x + particle.velocity.x * dt) + particle.acceleration.x * h;
    particle.position.y = (particle.position.y + particle.velocity.y * dt) + particle.acceleration.y * h;
    particle.position.z = (particle.position.z + particle.velocity.z * dt) + particle.acceleration.z * h;
    particle.velocity += particle.acceleration * dt;
}

void GrowOriginParticle(OriginParticle& particle, float dt, const float* parameters)
{
    particle.size = particle.size + parameters[0] * dt;
}

void RaiseAlphaWhileYoung(OriginParticle& particle, float dt, const float* parameters)
{
    if (parameters[1] < particle.life)
        particle.alpha = particle.alpha + parameters[0] * dt;
}

void LowerAlphaWhileOld(OriginParticle& particle, float dt, const float* parameters)
{
    if (parameters[1] > particle.life)
        particle.alpha = particle.alpha - parameters[0] * dt;
}

void SpinOriginParticle(OriginParticle& particle, float dt, const float* parameters)
{
    const float angle = dt * 3.1415927f * parameters[0] / 180.0f;
    D3DXMATRIX rotation;
    D3DXMatrixRotationZ(&rotation, angle);
    const D3DXVECTOR3 axis1 = particle.axis1, axis2 = particle.axis2;
    D3DXVec3TransformCoord(&particle.axis1, &axis1, &rotation);
    D3DXVec3TransformCoord(&particle.axis2, &axis2, &rotation);
}
