#pragma once
#include <cstdint>

// The pictures must come out byte-identical on every machine, so they use their own generator
// (xorshift32) instead of rand(), whose sequence differs between C libraries.
class SeededRandom {
public:
    explicit SeededRandom(uint32_t seed) : m_state(seed ? seed : 0x9E3779B9u) {}

    uint32_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    // Uniform in [0, 1).
    double Unit() { return (Next() >> 8) * (1.0 / 16777216.0); }

private:
    uint32_t m_state;
};
