#pragma once
// Numeric functions that many scene classes share.
#include <cstdint>

// lo + r x (hi - lo) with r = rand() / 32767 from the process's one rand() sequence, each step
// rounded to float as the scene's stored random choices expect.
float RandomBetween(float lo, float hi);

// The nearest integer under the processor's current rounding mode (half to even by default).
// NaN and values outside the 32-bit range give 0x80000000, as the processor does.
int32_t RoundToInt(float value);
