#include "particles/sprites/Vo_SparkleConstructor.h"

#include "model/ClassReaderRegistration.h"
#include "model/NumericFunctions.h"
#include "particles/sprites/SpriteParticle.h"

void Vo_SparkleConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    Vo_BaseSpriteProp::Load(stream);
}

void Vo_SparkleConstructor::SpawnParticle(SpriteParticle& p)
{
    p.velocity.x = RandomBetween(-25.0f, 25.0f);
    p.velocity.y = RandomBetween(-25.0f, 25.0f);
    p.direction = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    p.velocity.z = 0.0f;
    p.position = RandomPointInRect();
    p.opacity = RandomBetween(0.0f, 1.0f);
}

void Vo_SparkleConstructor::UpdateParticle(SpriteParticle& p)
{
    p.position.x += ScaledStep() * p.velocity.x;
    p.position.y += ScaledStep() * p.velocity.y;
    UpdateSpriteParticleBlink(p, *this, true);
    UpdateSpriteParticleColor(*this, p);
    // Square whatever the picture's aspect, and larger the brighter it shines.
    const float b = p.scale * float(SpriteSize().Value()) * 0.5f;
    p.halfWidth = b / 2.0f * (1.0f + p.opacity);
    p.halfHeight = p.halfWidth;
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_SparkleConstructor);
