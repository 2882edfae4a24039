#include "model/MediaColor.h"

uint32_t ColorToVertex(unsigned long colour, unsigned char alpha)
{
    const uint32_t red = colour & 0xFF;
    const uint32_t green = (colour >> 8) & 0xFF;
    const uint32_t blue = (colour >> 16) & 0xFF;
    return static_cast<uint32_t>(alpha) << 24 | red << 16 | green << 8 | blue;
}

unsigned char UnitToColorByte(float value)
{
    if (value >= 1.0f)
        return 255;
    // Written so that NaN, which fails every comparison, takes this branch too.
    if (!(value > 0.0f))
        return 0;
    return static_cast<unsigned char>(static_cast<int>(value * 255.0f + 0.5f));
}
