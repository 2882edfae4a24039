#include "model/UINTSclaleTo.h"

#include <cmath>
#include <cstdint>

static double ScaledValue(unsigned int raw, float scale, float offset)
{
    // The raw value is unsigned: 0xFFFFFFFF is 4294967295, never -1.
    return static_cast<double>(raw) * static_cast<double>(scale) + static_cast<double>(offset);
}

float ScaleRawToFloat(unsigned int raw, float scale, float offset)
{
    return static_cast<float>(ScaledValue(raw, scale, offset));
}

unsigned char ScaleRawToByte(unsigned int raw, float scale, float offset)
{
    const double value = ScaledValue(raw, scale, offset);
    // Converting an out-of-range double to int is undefined in C++; the processor's truncating
    // conversion gives 0x80000000 there, which is kept explicitly.
    int32_t whole = INT32_MIN;
    if (value > -2147483649.0 && value < 2147483648.0)
        whole = static_cast<int32_t>(value);
    return static_cast<unsigned char>(static_cast<uint32_t>(whole) & 0xFFu);
}
