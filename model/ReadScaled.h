#pragma once
#include <cstdint>

#include "model/Vo_IOF_Virtual.h"

// A scaled parameter (UINTSclaleTo) is stored as its raw value; its result follows from its scale.
// A failed read leaves the parameter as it was.
template <class Param>
void ReadScaled(Vo_IOF_Virtual& stream, Param& param)
{
    uint32_t raw = param.Value();
    stream.ReadUInt(raw);
    param.SetValue(raw);
}
