#pragma once
#include "model/Vo_FileLink3.h"

// A link to a compiled effect.
class Vo_HLSLEffectFile : public Vo_FileLink3 {
public:
    using Vo_FileLink3::Vo_FileLink3;
    Vo_HLSLEffectFile() = default;
};
