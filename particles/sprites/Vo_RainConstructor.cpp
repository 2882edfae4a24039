#include "particles/sprites/Vo_RainConstructor.h"

#include "model/ArchiveReads.h"
#include "model/ClassReaderRegistration.h"
#include "model/NumericFunctions.h"
#include "particles/sprites/SpriteAxes.h"
#include "particles/sprites/SpriteParticle.h"

Vo_RainConstructor::Vo_RainConstructor() : m_extraRotation(SpriteRotationZ(4.712389f))
{
    Strength() = 2000.0f;
    FlowAngle().SetValue(270);  // the flow vectors follow, with the strength above
    Spread().SetValue(0);
    MinScale() = 0.5f;
    MaxScale() = 1.0f;
    OrientationMode().ValueRef() = kTurnedWithFlow;
}

void Vo_RainConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    const int32_t flowVersion = ReadRecordHeader(stream);
    Vo_FlowConstructor::LoadFields(stream, flowVersion);
}

void Vo_RainConstructor::SpawnParticle(SpriteParticle& p)
{
    Vo_FlowConstructor::SpawnParticle(p);
    p.opacity = RandomBetween(0.0f, 1.0f);
    OrientParticle(p);
    if (OrientationMode().Value() == kTurnedWithFlow) {
        p.right = SpriteTransformCoord(p.right, m_extraRotation);
        p.up = SpriteTransformCoord(p.up, m_extraRotation);
    }
}

void Vo_RainConstructor::UpdateParticle(SpriteParticle& p)
{
    const float opacity = p.opacity;
    p.opacity = 1.0f;
    Vo_FlowConstructor::UpdateParticle(p);
    p.opacity = opacity;
    UpdateSpriteParticleBlink(p, *this, true);
    UpdateSpriteParticleColor(*this, p);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_RainConstructor);
