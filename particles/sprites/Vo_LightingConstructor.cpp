#include "particles/sprites/Vo_LightingConstructor.h"

#include <cstdlib>

#include "model/ClassReaderRegistration.h"
#include "model/NumericFunctions.h"
#include "particles/sprites/SpriteAxes.h"
#include "particles/sprites/SpriteParticle.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_LightingConstructor::Vo_LightingConstructor()
{
    Additive().ValueRef() = 1;
    Vo_TimeLineControl& timeline = Timeline();
    timeline.Mode().SetValue(Vo_TimeLineControl::kCycling);
    timeline.TimeMode().SetValue(0);
    timeline.InvisibleMinimum().SetValue(100);
    timeline.InvisibleMaximum().SetValue(500);
}

void Vo_LightingConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    Vo_BaseSpriteProp::Load(stream);
}

void Vo_LightingConstructor::SpawnParticle(SpriteParticle& p)
{
    SetSpriteParticleHalfSize(float(SpriteSize().Value()), p);
    p.position = RandomPointNear(p.halfWidth, p.halfHeight);
    const float tilt = RandomBetween(-float(D3DX_PI) / 8.0f, float(D3DX_PI) / 8.0f);
    const int mirror = std::rand();
    const float m = (mirror & 1) ? -1.0f : 1.0f;
    const D3DXMATRIX turn = SpriteRotationZ(tilt);
    p.right = SpriteTransformCoord(D3DXVECTOR3(m, 0.0f, 0.0f), turn);
    p.up = SpriteTransformCoord(D3DXVECTOR3(0.0f, 1.0f, 0.0f), turn);
    p.opacity = 0.0f;
}

void Vo_LightingConstructor::UpdateParticle(SpriteParticle& p)
{
    if (p.opacity != 0.0f) {
        p.opacity -= ScaledStep() * 6.0f;
        if (AccumulatedTime() - p.timer > 0.15f) {
            p.timer = AccumulatedTime();
            const int coin = std::rand();
            if (coin & 1)
                p.opacity = 1.0f;  // flashes again
        }
    }
    if (p.opacity == 0.0f) {
        if (p.delay < LastTime() - p.timer) {
            SpawnParticle(p);
            p.opacity = 1.0f;
            p.timer = AccumulatedTime();
        }
    }
    if (p.opacity < 0.0f) {
        p.opacity = 0.0f;
        p.timer = LastTime();
        p.delay = DrawDelay();
    }
    UpdateSpriteParticleColor(*this, p);
}

float Vo_LightingConstructor::DrawDelay() const
{
    const int64_t minimum = Timeline().InvisibleMinimum().Value();
    const int64_t maximum = Timeline().InvisibleMaximum().Value();
    if (maximum < minimum)
        return float(minimum) * 0.01f;
    const int r = std::rand();
    return float(r % (maximum - minimum + 1) + minimum) * 0.01f;
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_LightingConstructor);
