#pragma once
#include "model/UINTSclaleTo.h"
#include "model/Vo_IOF_Virtual.h"

// The raw value of a scaled parameter as records store it: assigned through the parameter, so
// that its observers (its own result first) hear of it only when it changes. A failed read leaves
// the parameter as it was.
inline void ReadScaledRaw(Vo_IOF_Virtual& stream, UINTSclaleTo<float>& param)
{
    uint32_t raw = param.Value();
    stream.ReadUInt(raw);
    param.SetValue(raw);
}
