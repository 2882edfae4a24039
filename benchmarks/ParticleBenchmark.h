#pragma once

// What sprite particles cost: an emitter of many particles in steady state, its update and the
// vertex fill of its quads per frame, per particle, and what a frame takes from the heap.
class ParticleBenchmark {
public:
    static constexpr unsigned kParticles = 16000;

    explicit ParticleBenchmark(int frames) : m_frames(frames) {}
    void Run();

private:
    int m_frames;
};
