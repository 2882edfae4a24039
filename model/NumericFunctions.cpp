#include "model/NumericFunctions.h"

#include <xmmintrin.h>

#include <cstdlib>

float RandomBetween(float lo, float hi)
{
    // The C runtime's RAND_MAX is 32767; the divisor is written out so the results do not
    // depend on it.
    const double r = std::rand() / 32767.0;
    const float span = hi - lo;
    const float part = static_cast<float>(r * span);
    return lo + part;
}

int32_t RoundToInt(float value)
{
    // cvtss2si rounds by the MXCSR mode; std::lround would always round halves away from zero.
    return _mm_cvtss_si32(_mm_set_ss(value));
}
