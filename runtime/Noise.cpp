#include "runtime/Noise.h"

#include <cmath>
#include <cstdint>

float LatticeNoise1D(int n)
{
    // Unsigned arithmetic: the hash relies on 32-bit wrap-around, which signed overflow does not promise.
    uint32_t k = static_cast<uint32_t>(n);
    k ^= k << 13;
    const uint32_t hashed = (k * (k * k * 15731u + 789221u) - 771171059u) & 0x7FFFFFFFu;
    return static_cast<float>(1.0 - static_cast<double>(hashed) / 1073741824.0);
}

float ValueNoise1D(float x)
{
    // Outside the int range (or NaN) there is no lattice point to hash.
    if (!(std::fabs(x) < 2147483520.0f))
        return 0.0f;
    const int a = static_cast<int>(x);
    const float f = (1.0f - std::cos((x - static_cast<float>(a)) * 3.1415927f)) * 0.5f;
    return LatticeNoise1D(a) * (1.0f - f) + LatticeNoise1D(a + 1) * f;
}

double FractalNoise1D(double x, double period, double persistence, int octaves)
{
    double sum = 0.0;
    double amplitude = 1.0;
    double frequency = 1.0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * ValueNoise1D(static_cast<float>(frequency * x / period));
        amplitude *= persistence;
        frequency *= 2.0;
    }
    return sum;
}
