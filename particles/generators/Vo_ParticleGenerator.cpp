#include "particles/generators/Vo_ParticleGenerator.h"

#include "model/ArchiveReads.h"

void Vo_ParticleGenerator::Load(Vo_IOF_Virtual& stream)
{
    ReadRecordHeader(stream);
    Vo_ABObj_Constructor::Load(stream);
}
