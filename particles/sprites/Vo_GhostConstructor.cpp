#include "particles/sprites/Vo_GhostConstructor.h"

#include "model/ArchiveReads.h"
#include "model/ClassReaderRegistration.h"
#include "model/NumericFunctions.h"
#include "particles/sprites/SpriteParticle.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_GhostConstructor::Vo_GhostConstructor()
{
    MaxSpeedX() = 50.0f;
    MaxSpeedY() = 50.0f;
    OpacitySpeed() = 0.66f;
    Transparency().SetValue(50);
    Timeline().TimeMode().ValueRef() = 1;
}

void Vo_GhostConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    const int32_t fishVersion = ReadRecordHeader(stream);
    Vo_FishConstructor::LoadFields(stream, fishVersion);
    if (version == 1)
        UpgradeOldVersion();
}

void Vo_GhostConstructor::UpgradeOldVersion()
{
    Vo_TimeLineControl& timeline = Timeline();
    timeline.Mode().SetValue(Vo_TimeLineControl::kCycling);
    timeline.InvisibleMinimum().SetValue(0);
    timeline.InvisibleMaximum().SetValue(0);
    timeline.VisibleMinimum().SetValue(0);
    timeline.VisibleMaximum().SetValue(0);
    timeline.FadeIn().SetValue(150);
    timeline.FadeOut().SetValue(150);
}

void Vo_GhostConstructor::SpawnParticle(SpriteParticle& p)
{
    Vo_FishConstructor::SpawnParticle(p);
    p.opacity = RandomBetween(0.0f, 1.0f);
}

void Vo_GhostConstructor::UpdateParticle(SpriteParticle& p)
{
    Vo_FishConstructor::UpdateParticle(p);
    if (Timeline().GetState() == 1)
        Vo_GhostConstructor::SpawnParticle(p);
    p.opacity = Timeline().GetFadeFactor();
    UpdateSpriteParticleColor(*this, p);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_GhostConstructor);
