#pragma once
// The values the water brush hands its effect each frame, worked out from its parameters.

struct WaterShaderValues {
    float p1[3];          // "P1"
    float p2[3];          // "P2"
    float direction1[2];  // "Direction1"
    float direction2[2];  // "Direction2"
    float vhalf[3];       // "Vhalf"
    float color[3];       // "Color"
    // False when a value the shader gets is not finite (q = 2 / f - 1 infinite for f of 0, V
    // infinite for f of 1, the square root of a negative q for f above 2, a wave length of 0);
    // the brush then draws nothing rather than send NaN or infinity to the shader.
    bool drawable;
};

// f the surface factor, L the wave length, D the drift, h the light height, (dx, dy) the brush's
// direction, colour stored as 0x00BBGGRR.
WaterShaderValues ComputeWaterShaderValues(float surfaceFactor, float waveLength, float drift,
                                           float lightHeight, float dx, float dy, unsigned long colour);

// "BampTrans": the bump picture turned by 4.5 x phase radians and scaled by the bump strength k,
// row by row (k cos t, -k sin t, k sin t, k cos t).
void ComputeWaterBumpMatrix(float phase, float strength, float matrix[4]);
