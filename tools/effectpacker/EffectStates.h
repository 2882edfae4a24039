#pragma once
#include "EffectDescription.h"

#include <string>

// The states a description may set: pass render states and sampler states, with the effect
// runtime's state codes (its own table, not the D3DRS_/D3DSAMP_ values) and the value names each
// accepts.
class EffectStates {
public:
    // Fills `out` from "Name" and "Value"; returns false with `error` set when the state or its
    // value is unknown.
    static bool ParseRenderState(const std::string& name, const std::string& value, StateSetting& out,
                                 std::string& error);
    static bool ParseSamplerState(const std::string& name, const std::string& value, StateSetting& out,
                                  std::string& error);
};
