#pragma once
// The values the water brush hands its effect each frame, worked out from its parameters.

struct WaterShaderValues {
    float p1[3];          // "P1"
    float p2[3];          // "P2"
    float direction1[2];  // "Direction1"
    float direction2[2];  // "Direction2"
    float vhalf[3];       // "Vhalf"
    float color[3];       // "Color"
    // False when the surface factor gives no water plane (q = 2 / f - 1 not finite or not above 1:
    // f of 0, 1 or above 2); the brush then draws nothing rather than send NaN to the shader.
    bool drawable;
};

// f the surface factor, L the wave length, D the drift, h the light height, (dx, dy) the brush's
// direction, colour stored as 0x00BBGGRR.
WaterShaderValues ComputeWaterShaderValues(float surfaceFactor, float waveLength, float drift,
                                           float lightHeight, float dx, float dy, unsigned long colour);

// "BampTrans": the bump picture turned by 4.5 x phase radians and scaled by the bump strength k,
// row by row (k cos t, -k sin t, k sin t, k cos t).
void ComputeWaterBumpMatrix(float phase, float strength, float matrix[4]);
