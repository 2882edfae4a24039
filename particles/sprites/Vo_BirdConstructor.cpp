#include "particles/sprites/Vo_BirdConstructor.h"

#include <cmath>

#include "model/ArchiveReads.h"
#include "model/ClassReaderRegistration.h"
#include "model/NumericFunctions.h"
#include "particles/sprites/SpriteParticle.h"

void Vo_BirdConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    const int32_t fishVersion = ReadRecordHeader(stream);
    Vo_FishConstructor::LoadFields(stream, fishVersion);
}

void Vo_BirdConstructor::UpdateParticle(SpriteParticle& p)
{
    Vo_FishConstructor::UpdateParticle(p);
    // A slow vertical speed becomes a sinking one of 0.4 to 1.0 times the maximum: a slowly
    // rising bird starts to sink, a slowly sinking one sinks faster. At the bottom edge, where the
    // turn above has just sent the bird up, it rises at 0.7 to 1.0 times the maximum instead: a
    // sinking speed there would carry it out across the edge, and every later turn back would be
    // undone the same way.
    if (std::fabs(p.velocity.y) < 0.7f * MaxSpeedY()) {
        if (IsParticleTouchingBottom(p, *this) && !IsParticleTouchingTop(p, *this))
            p.velocity.y = -(0.7f * MaxSpeedY() + std::fabs(p.velocity.y) * 0.3f / 0.7f);
        else
            p.velocity.y = 0.7f * MaxSpeedY() + p.velocity.y * 0.3f / 0.7f;
    }
    if (std::fabs(p.velocity.x) < 0.7f * MaxSpeedX()) {
        const float vx = RandomBetween(0.7f * MaxSpeedX(), MaxSpeedX());
        p.velocity.x = std::copysign(vx, p.velocity.x);
    }
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_BirdConstructor);
