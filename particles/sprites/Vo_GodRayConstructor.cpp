#include "particles/sprites/Vo_GodRayConstructor.h"

#include <cstdlib>

#include "model/ClassReaderRegistration.h"
#include "model/NumericFunctions.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/sprites/SpriteAxes.h"
#include "particles/sprites/SpriteParticle.h"
#include "runtime/PicturePlacement.h"

Vo_GodRayConstructor::Vo_GodRayConstructor() : m_rayAngle(80) {}

void Vo_GodRayConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    stream.ReadUInt(m_rayAngle.ValueRef());
    Vo_BaseSpriteProp::Load(stream);
}

void Vo_GodRayConstructor::SpawnParticle(SpriteParticle& p)
{
    p.position.x = RandomBetween(LeftEdge(), RightEdge());
    p.velocity.x = RandomBetween(-10.0f, 10.0f);
    p.direction = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    p.velocity.y = 0.0f;
    p.velocity.z = 0.0f;
    // Half the rectangle's height below the picture's top: its middle only when the top is 0.
    p.position.y = (BottomEdge() - TopEdge()) / 2.0f;
    p.position.z = 0.0f;
    SetRayShape(p);
    p.opacity = RandomBetween(0.0f, 1.0f);
}

void Vo_GodRayConstructor::SetRayShape(SpriteParticle& p) const
{
    p.halfWidth = float(SpriteSize().Value()) / 2.0f;
    p.halfHeight = float(GetPicturePlacement().pictureHeight) / 2.0f;
    const float angle = float(m_rayAngle.Value());
    const float lean = angle < 180.0f ? LeanOfAngle(angle) : LeanOfAngle(angle - 180.0f);
    p.up = D3DXVECTOR3(lean, 1.0f, 0.0f);
}

void Vo_GodRayConstructor::UpdateParticle(SpriteParticle& p)
{
    if (AccumulatedTime() - p.timer > 0.25f) {
        p.timer = AccumulatedTime();
        const int coin = std::rand();
        if (coin & 1) {
            p.velocity.x = RandomBetween(-10.0f, 10.0f);
            p.velocity.y = 0.0f;
            p.velocity.z = 0.0f;
        }
    }
    p.position.x += ScaledStep() * p.velocity.x;
    p.position.y += ScaledStep() * p.velocity.y;
    UpdateSpriteParticleBlink(p, *this, true);
    UpdateSpriteParticleColor(*this, p);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_GodRayConstructor);
