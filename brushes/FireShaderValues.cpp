#include "brushes/FireShaderValues.h"

namespace {

float Channel(unsigned long colour, int shift)
{
    return static_cast<float>((colour >> shift) & 0xFF) / 255.0f;
}

}  // namespace

FireShaderValues ComputeFireShaderValues(unsigned long firstColour, unsigned long secondColour, float brightness,
                                         float density, float fade)
{
    FireShaderValues values = {};
    for (int i = 0; i < 3; ++i) {
        // Red is the low byte.
        const float second = Channel(secondColour, 8 * i);
        values.colorK1[i] = second;
        values.colorK2[i] = Channel(firstColour, 8 * i) - second;
    }
    values.brightness = brightness * fade * fade;
    values.density = fade * (density + 1.0f) - 1.0f;
    return values;
}

void ComputeFireNoiseOffsets(float phase, float c11[2], float c12[2], float c13[2])
{
    c11[0] = c12[0] = c13[0] = 0.0f;
    c11[1] = 1.3f * phase;
    c12[1] = 2.1f * phase;
    c13[1] = 2.3f * phase;
}
