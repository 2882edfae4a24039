#include "particles/sprites/Vo_DischargeConstructor.h"

#include <cstdlib>

#include "model/ArchiveReads.h"
#include "model/ClassReaderRegistration.h"

void Vo_DischargeConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    const int32_t version = ReadRecordHeader(stream);
    Vo_StatObjConstructor::LoadFields(stream, version);
}

unsigned Vo_DischargeConstructor::NextFrame(unsigned index)
{
    const unsigned frames = FrameCount();
    if (frames < 2)
        return index;
    unsigned next = index;
    while (next == index) {
        const int r = std::rand();
        next = unsigned(r) % frames;
    }
    return next;
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_DischargeConstructor);
