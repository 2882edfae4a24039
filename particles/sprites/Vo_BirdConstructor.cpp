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
    // A slow vertical speed becomes one of 0.7 to 1.0 times the maximum in the same direction.
    // Turning every slow climb into a descent would carry the birds out across the bottom edge,
    // where the turn back upwards is slow again and is undone in the same update.
    if (std::fabs(p.velocity.y) < 0.7f * MaxSpeedY()) {
        const float speed = 0.7f * MaxSpeedY() + std::fabs(p.velocity.y) * 0.3f / 0.7f;
        p.velocity.y = std::copysign(speed, p.velocity.y);
    }
    if (std::fabs(p.velocity.x) < 0.7f * MaxSpeedX()) {
        const float vx = RandomBetween(0.7f * MaxSpeedX(), MaxSpeedX());
        p.velocity.x = std::copysign(vx, p.velocity.x);
    }
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_BirdConstructor);
