#pragma once
// The values the fire brush hands its effect, worked out from its parameters.

struct FireShaderValues {
    float colorK1[3];  // "ColorK1": the second colour, 0 to 1 (the ramp's start)
    float colorK2[3];  // "ColorK2": first colour minus second colour (the ramp's step)
    float brightness;  // "Brightness": brightness x fade x fade
    float density;     // "Density": fade x (density + 1) - 1, so -1 at fade 0 (nothing burns)
};

// Colours stored as 0x00BBGGRR; fade is the brush's timeline fade factor (0 to 1).
FireShaderValues ComputeFireShaderValues(unsigned long firstColour, unsigned long secondColour, float brightness,
                                         float density, float fade);

// "c11", "c12", "c13": the three noise layers' offsets, (0, 1.3), (0, 2.1) and (0, 2.3) x phase.
void ComputeFireNoiseOffsets(float phase, float c11[2], float c12[2], float c13[2]);
