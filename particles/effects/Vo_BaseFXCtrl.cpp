#include "particles/effects/Vo_BaseFXCtrl.h"

#include "model/ArchiveReads.h"

void Vo_BaseFXCtrl::Load(Vo_IOF_Virtual& stream)
{
    ReadRecordHeader(stream);
    Vo_FXParticleSystemCtrl::Load(stream);
}
