#include "benchmarks/ParticleBenchmark.h"

#include <d3d9.h>

#include <memory>
#include <string>

#include "benchmarks/AllocationCounter.h"
#include "benchmarks/BenchDevice.h"
#include "benchmarks/FigureLog.h"
#include "benchmarks/FrameClock.h"
#include "model/CurrentDevice.h"
#include "particles/sprites/Vo_FishConstructor.h"
#include "particles/sprites/Vo_SparkleConstructor.h"
#include "particles/sprites/Vo_SpriteArrayObj.h"
#include "runtime/PicturePlacement.h"
#include "runtime/ScreenQuad.h"

namespace {

// Update and fill of one emitter of kParticles over the frames after a warm-up; returns the
// nanoseconds per particle and notes the heap use of the measured frames.
template <class Emitter>
double Measure(const std::string& name, int frames)
{
    auto* emitter = new Emitter;
    emitter->SpriteSize().ValueRef() = 8;
    emitter->OpacitySpeed() = 0.5f;
    emitter->Count().ValueRef() = ParticleBenchmark::kParticles;
    Vo_SpriteArrayObj sprites(emitter);
    if (sprites.QuadCapacity() != ParticleBenchmark::kParticles) {
        FigureLog::Note("particles: no buffers for " + name);
        return 0.0;
    }
    float time = 1.0f;
    for (int i = 0; i < 20; ++i)
        sprites.Update(time += 1.0f / 60.0f);

    const AllocationTotals before = AllocationCounter::Totals();
    const double start = FrameClock::WallSeconds();
    for (int i = 0; i < frames; ++i)
        sprites.Update(time += 1.0f / 60.0f);
    const double seconds = FrameClock::WallSeconds() - start;
    const AllocationTotals heap = AllocationCounter::Since(before);

    const double perParticle = seconds * 1e9 / (double(frames) * ParticleBenchmark::kParticles);
    FigureLog::Figure("particles." + name + ".ns_per_particle", perParticle, "ns");
    FigureLog::Figure("particles." + name + ".frame", seconds * 1e3 / frames, "ms/frame");
    FigureLog::Figure("particles." + name + ".heap_allocations", double(heap.allocations) / frames, "count/frame");
    return perParticle;
}

}  // namespace

void ParticleBenchmark::Run()
{
    BenchDevice device;
    if (!device.Create(640, 480)) {
        FigureLog::Note("particles: no device");
        return;
    }
    IDirect3DDevice9* deviceBefore = CurrentDevice;
    CurrentDevice = device.Device();
    ScreenQuad quad;
    InitScreenQuad(quad);
    SetPicturePlacement(quad, 1024, 768, 1024, 768, 1024, 768);

    FigureLog::Note("particles: " + std::to_string(kParticles) +
                    " particles of one emitter, update and vertex fill per frame, in steady state");
    const double sparkles = Measure<Vo_SparkleConstructor>("sparkle", m_frames);
    const double fish = Measure<Vo_FishConstructor>("fish", m_frames);
    FigureLog::Figure("particles.ns_per_particle", sparkles > fish ? sparkles : fish, "ns");
    CurrentDevice = deviceBefore;
}
