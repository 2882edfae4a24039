#include "particles/sprites/Vo_FogConstructor.h"

#include <cmath>

#include "model/ClassReaderRegistration.h"
#include "model/NumericFunctions.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/sprites/SpriteAxes.h"
#include "particles/sprites/SpriteParticle.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_FogConstructor::Vo_FogConstructor()
{
    MinOpacity() = 0.2f;
    MaxOpacity() = 1.0f;
    Transparency().SetValue(50);
    Timeline().TimeMode().ValueRef() = 1;
}

void Vo_FogConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    stream.ReadFloat(m_maxSpeedX);
    stream.ReadFloat(m_maxSpeedY);
    Vo_BaseSpriteProp::Load(stream);
}

void Vo_FogConstructor::SpawnParticle(SpriteParticle& p)
{
    p.position = RandomPointInRect();
    p.velocity.x = RandomBetween(-m_maxSpeedX, m_maxSpeedX);
    p.velocity.y = RandomBetween(-m_maxSpeedY, m_maxSpeedY);
    p.opacity = RandomBetween(0.0f, 1.0f);
    p.spin = SpriteRotationZ(RandomBetween(-0.004f, 0.004f));
}

void Vo_FogConstructor::UpdateParticle(SpriteParticle& p)
{
    const float step = ScaledStep();
    p.position.x += step * p.velocity.x;
    p.position.y += step * p.velocity.y;

    p.opacity += step * p.opacitySpeed;
    if (p.opacity < MinOpacity()) {
        p.opacity = MinOpacity();
        p.opacitySpeed = -p.opacitySpeed;
    } else if (p.opacity > MaxOpacity()) {
        p.opacity = MaxOpacity();
        p.opacitySpeed = -p.opacitySpeed;
    }

    if (p.position.y > BottomEdge())
        p.velocity.y = -std::fabs(p.velocity.y);
    if (p.position.y < TopEdge())
        p.velocity.y = std::fabs(p.velocity.y);
    if (p.position.x < LeftEdge())
        p.velocity.x = std::fabs(p.velocity.x);
    if (p.position.x > RightEdge())
        p.velocity.x = -std::fabs(p.velocity.x);

    // Once per update whatever the step: fog turns faster at higher frame rates.
    p.right = SpriteTransformCoord(p.right, p.spin);
    p.up = SpriteTransformCoord(p.up, p.spin);
    UpdateSpriteParticleColor(*this, p);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_FogConstructor);
