#include "particles/sprites/Vo_ParticleSystemCtrl.h"

#include "particles/sprites/Vo_SpriteArrayObj.h"

Vo_ABObj* Vo_ParticleSystemCtrl::CreateObject()
{
    ResolveImages();
    return new Vo_SpriteArrayObj(Clone());
}
