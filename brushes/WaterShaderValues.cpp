#include "brushes/WaterShaderValues.h"

#include <d3dx9math.h>

#include <cmath>
#include <initializer_list>

WaterShaderValues ComputeWaterShaderValues(float surfaceFactor, float waveLength, float drift,
                                           float lightHeight, float dx, float dy, unsigned long colour)
{
    WaterShaderValues values = {};
    const float f = surfaceFactor;
    const float q = 2.0f / f - 1.0f;
    const float v = (q + std::sqrt(q)) / (q - 1.0f);

    values.p1[0] = f - 1.0f;
    values.p1[1] = -1.0f;
    values.p1[2] = f - 1.0f;
    values.p2[0] = 1.0f;
    values.p2[1] = v;
    values.p2[2] = 1.0f;
    values.direction1[0] = -dx * (0.5f / waveLength);
    values.direction1[1] = -dy * (0.5f / waveLength);
    values.direction2[0] = -dx * 0.5f * drift;
    values.direction2[1] = -dy * 0.5f * drift;

    D3DXVECTOR3 half(1.0f, 2.0f, lightHeight);
    D3DXVec3Normalize(&half, &half);
    values.vhalf[0] = half.x;
    values.vhalf[1] = half.y;
    values.vhalf[2] = half.z;

    values.color[0] = static_cast<float>(colour & 0xFF) / 255.0f;
    values.color[1] = static_cast<float>((colour >> 8) & 0xFF) / 255.0f;
    values.color[2] = static_cast<float>((colour >> 16) & 0xFF) / 255.0f;

    values.drawable = std::isfinite(q);
    for (const float* group : {values.p1, values.p2, values.vhalf, values.color})
        for (int i = 0; i < 3; ++i)
            values.drawable = values.drawable && std::isfinite(group[i]);
    for (const float* group : {values.direction1, values.direction2})
        for (int i = 0; i < 2; ++i)
            values.drawable = values.drawable && std::isfinite(group[i]);
    return values;
}

void ComputeWaterBumpMatrix(float phase, float strength, float matrix[4])
{
    const float h = phase * 0.5f;
    const float theta = h * 9.0f;
    matrix[0] = strength * std::cos(theta);
    matrix[1] = -strength * std::sin(theta);
    matrix[2] = strength * std::sin(theta);
    matrix[3] = strength * std::cos(theta);
}
