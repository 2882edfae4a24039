#include "particles/sprites/Vo_FlowerConstructor.h"

#include <cmath>

#include "model/ArchiveReads.h"
#include "model/ClassReaderRegistration.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/sprites/SpriteAxes.h"
#include "particles/sprites/SpriteParticle.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_FlowerConstructor::Vo_FlowerConstructor()
{
    Timeline().TimeMode().ValueRef() = Vo_TimeLineControl::kTimeModeFollowsOpacity;
}

void Vo_FlowerConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    stream.ReadFloat(m_amplitude);
    const int32_t version = ReadRecordHeader(stream);
    Vo_StatObjConstructor::LoadFields(stream, version);
}

void Vo_FlowerConstructor::UpdateParticle(SpriteParticle& p)
{
    // The still-object placement leaves the phase (velocity y) at 0: all flowers sway in step.
    const float s = std::sin(AccumulatedTime() + p.velocity.y);
    const float lean = LeanOfAngle(s * m_amplitude + 90.0f);
    p.up = SpriteTransformCoord(D3DXVECTOR3(lean, 1.0f, 0.0f), RotationMatrix());
    p.position.x = float(Rectangle().CenterX().Value()) - p.right.x * p.halfHeight * lean;
    p.position.y = float(Rectangle().CenterY().Value()) - p.right.y * p.halfHeight * lean;
}

uint32_t Vo_FlowerConstructor::ApplyFade(uint32_t argb) const
{
    if (Timeline().TimeMode().Value() == 1)
        return Vo_StatObjConstructor::ApplyFade(argb);
    return argb;
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_FlowerConstructor);
