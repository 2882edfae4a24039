#pragma once

// How the light brushes vary their strength over the phase p of their clock; each brush numbers
// the kinds its own way.
enum class LightVariation {
    // (sin(0.2 p) + 1) / 2.
    kPulse,
    // 1 while sin(0.2 p) is above 0, else 0.
    kBlink,
    // (FractalNoise1D(10 p, period 75, persistence 0.5, 2 octaves) + 1) / 2.
    kFlicker,
    // 1.
    kSteady,
};

// The factor g of the kind at phase p: 0 to 1, though the flicker's two octaves of noise reach a
// quarter beyond either end.
float LightFactor(LightVariation kind, float phase);
