#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "benchmarks/AllocationCounter.h"
#include "benchmarks/BenchDevice.h"

class D3DCallTimer;
class MonitorScene;

// What a frame of the scene costs at 1280 x 1024, side by side with a baseline that only clears
// and draws the layer's picture over the whole target, where the time goes (own code, inside
// Direct3D and D3DX, waiting for the rasteriser) and what the frame takes from the heap.
class FrameBenchmark {
public:
    static constexpr unsigned kWidth = 1280;
    static constexpr unsigned kHeight = 1024;

    FrameBenchmark(std::vector<uint8_t> document, std::string documentLabel, int frames);
    ~FrameBenchmark();
    FrameBenchmark(const FrameBenchmark&) = delete;
    FrameBenchmark& operator=(const FrameBenchmark&) = delete;

    void Run();

private:
    // Sums over a run of frames; wall times from the performance counter.
    struct Totals {
        int frames = 0;
        double move = 0.0;        // frame move
        double draw = 0.0;        // BeginScene .. EndScene, until the last call returns
        double wait = 0.0;        // until the device has finished the frame
        double mainCpu = 0.0;     // this thread's CPU time over the whole run
        double processCpu = 0.0;  // every thread's
        double inside = 0.0;      // inside Direct3D and D3DX calls (timed run only)
        uint64_t calls = 0;
        AllocationTotals heap;
    };

    bool StartScene();
    void SceneFrame(Totals& totals);
    void BaselineFrame(Totals& totals);
    Totals RunScene(int frames, D3DCallTimer* timer);
    Totals RunBaseline(int frames);
    void PrintCost(const std::string& prefix, const Totals& t);
    void PrintShare(const Totals& plain, const Totals& timed);

    BenchDevice m_device;
    std::unique_ptr<MonitorScene> m_scene;
    std::vector<uint8_t> m_document;
    std::string m_documentLabel;
    int m_frames;
    float m_time = 1.0f;
};
