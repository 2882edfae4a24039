#include "brushes/Vo_PatternBrushC.h"

#include "model/ArchiveReads.h"
#include "model/ClassReaderRegistration.h"

void Vo_PatternBrushC::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    const int32_t nestedVersion = ReadRecordHeader(stream);
    Vo_PatternBrush::LoadFields(stream, nestedVersion);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_PatternBrushC);
