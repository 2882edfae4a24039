#include "brushes/LightVariation.h"

#include <cmath>

#include "runtime/Noise.h"

namespace {

// The pulse's raw sine: the argument and the sine are each held as a float, as the brushes
// always computed them.
float PulseSine(float phase)
{
    const float angle = 0.2f * phase;
    const float sine = std::sin(angle);
    return sine;
}

}  // namespace

float LightFactor(LightVariation kind, float phase)
{
    switch (kind) {
    case LightVariation::kPulse:
        return (PulseSine(phase) + 1.0f) * 0.5f;
    case LightVariation::kBlink:
        return (PulseSine(phase) + 1.0f) * 0.5f > 0.5f ? 1.0f : 0.0f;
    case LightVariation::kFlicker:
        return static_cast<float>((FractalNoise1D(10.0 * phase, 75.0, 0.5, 2) + 1.0) * 0.5);
    case LightVariation::kSteady:
        break;
    }
    return 1.0f;
}
