#include "particles/sprites/Vo_GrassConstructor.h"

#include <cmath>
#include <cstdlib>

#include "model/ClassReaderRegistration.h"
#include "model/NumericFunctions.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/sprites/SpriteAxes.h"
#include "particles/sprites/SpriteParticle.h"
#include "runtime/PicturePlacement.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_GrassConstructor::Vo_GrassConstructor()
{
    Timeline().TimeMode().ValueRef() = Vo_TimeLineControl::kTimeModeFollowsOpacity;
}

void Vo_GrassConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    stream.ReadFloat(m_amplitude);
    Vo_BaseSpriteProp::Load(stream);
}

void Vo_GrassConstructor::SpawnParticle(SpriteParticle& p)
{
    p.position.x = RandomBetween(LeftEdge(), RightEdge());
    p.position.y = BottomEdge() - p.halfHeight;  // stands on the bottom edge
    p.velocity.z = p.position.x;
    p.velocity.y = RandomBetween(0.0f, float(D3DX_PI) / 2.0f);
    const int mirror = std::rand();
    p.right = D3DXVECTOR3((mirror & 1) ? -1.0f : 1.0f, 0.0f, 0.0f);
}

void Vo_GrassConstructor::UpdateParticle(SpriteParticle& p)
{
    const float width = float(GetPicturePlacement().pictureWidth);
    const float travel = width > 0.0f ? p.position.x / width * 2.0f * float(D3DX_PI) : 0.0f;
    const float s = std::sin(AccumulatedTime() + p.velocity.y + travel);
    p.up = D3DXVECTOR3(LeanOfAngle(s * m_amplitude + 90.0f), 1.0f, 0.0f);
    // The blade's lower end stays at its base; its top sways.
    p.position.x = p.velocity.z - p.up.x * p.halfHeight;
}

uint32_t Vo_GrassConstructor::ApplyFade(uint32_t argb) const
{
    if (Timeline().TimeMode().Value() == 1)
        return Vo_ParticleSystemCtrl::ApplyFade(argb);
    return argb;
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_GrassConstructor);
