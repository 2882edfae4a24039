#include "particles/sprites/Vo_FishConstructor.h"

#include <cmath>
#include <cstdlib>

#include "model/ClassReaderRegistration.h"
#include "model/NumericFunctions.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/sprites/SpriteParticle.h"

void Vo_FishConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    stream.ReadFloat(m_maxSpeedX);
    stream.ReadFloat(m_maxSpeedY);
    Vo_BaseSpriteProp::Load(stream);
}

void Vo_FishConstructor::SpawnParticle(SpriteParticle& p)
{
    p.velocity.x = RandomBetween(-m_maxSpeedX, m_maxSpeedX);
    p.velocity.y = RandomBetween(-m_maxSpeedY, m_maxSpeedY);
    p.direction = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    p.velocity.z = 0.0f;
    p.position = RandomPointInRect();
    SetSpriteParticleHalfSize(float(SpriteSize().Value()), p);
    UpdateSpriteParticleColor(*this, p);
    if (p.velocity.x < 0.0f)
        p.halfWidth = -p.halfWidth;  // faces left
}

void Vo_FishConstructor::UpdateParticle(SpriteParticle& p)
{
    p.position.x += ScaledStep() * p.velocity.x;
    p.position.y += ScaledStep() * p.velocity.y;

    if (IsParticleOutLeft(p, *this)) {
        p.velocity.x = std::fabs(p.velocity.x);
        p.halfWidth = std::fabs(p.halfWidth);
    } else if (IsParticleOutRight(p, *this)) {
        p.velocity.x = -std::fabs(p.velocity.x);
        p.halfWidth = -std::fabs(p.halfWidth);
    }
    if (IsParticleTouchingTop(p, *this))
        p.velocity.y = std::fabs(p.velocity.y);
    else if (IsParticleTouchingBottom(p, *this))
        p.velocity.y = -std::fabs(p.velocity.y);

    if (LastTime() - p.timer > 1.0f) {
        p.timer = LastTime();
        const int coin = std::rand();
        if (coin & 1) {
            const float vx = RandomBetween(-m_maxSpeedX, m_maxSpeedX);
            p.velocity.x = std::copysign(vx, p.velocity.x);
            p.velocity.y = RandomBetween(-m_maxSpeedY, m_maxSpeedY);
            p.velocity.z = 0.0f;
        }
    }
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_FishConstructor);
