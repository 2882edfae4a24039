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

    // Every figure of the frame: start, cost beside the baseline, fill, heap and share.
    void Run();
    // The baseline frame's time (ms) of the last Run, which the gallery's figures compare with.
    double BaselineMsPerFrame() const { return m_baselineMs; }

    // A class's own figures, named <prefix>own_code, .heap_allocations and .ratio.per_fill; the
    // frame ratio is taken against baselineMs (a Run's baseline at the same size).
    struct ClassFigures {
        bool measured = false;
        double ownCodeMs = 0.0;
        double heapAllocations = 0.0;
    };
    ClassFigures RunClass(const std::string& prefix, double baselineMs);

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

    // Starts the scene `starts` times over (the last start stays) and keeps the median time
    // from the start of the load to the end of the first frame the device has finished.
    bool StartScene(int starts);
    // Pixels written per frame, in screens of kWidth x kHeight, counted by the device.
    double FillScreens(int frames);
    // The fill table of the scene's frames, draw by draw (DrawFillTable).
    void PrintDrawFill(const std::string& prefix);
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
    double m_startMs = 0.0;
    double m_startLoadMs = 0.0;
    double m_baselineMs = 0.0;
};
