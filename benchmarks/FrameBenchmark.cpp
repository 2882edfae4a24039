#include "benchmarks/FrameBenchmark.h"

#include <windows.h>
#include <d3d9.h>

#include "benchmarks/D3DCallTimer.h"
#include "benchmarks/DrawFillTable.h"
#include "benchmarks/FigureLog.h"
#include "benchmarks/FillCounter.h"
#include "benchmarks/FrameClock.h"
#include "benchmarks/SilentPlayer.h"
#include "benchmarks/StartBreakdown.h"
#include "host/MonitorScene.h"
#include "model/CurrentDevice.h"
#include "model/Vo_DocResManager.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/LoadSceneDocument.h"
#include "runtime/PictureMesh.h"
#include "runtime/ScreenQuad.h"
#include "runtime/TexturedQuad.h"
#include "runtime/Vo_2D_Light.h"
#include "runtime/Vo_SlideShow_Light.h"
#include "support/TestPaths.h"

#include <algorithm>

namespace {

// The saver's loop sleeps 30 ms before each frame; the scene sees that step of time.
const float kFrameStep = 0.04f;
const int kWarmUpFrames = 20;
// Starts of the scene for the start figure, and frames counted for the fill figures.
const int kStarts = 5;
const int kFillFrames = 20;

const std::vector<uint8_t>* s_document = nullptr;

Vo_SlideShow_Light* LoadBenchDocument()
{
    return LoadSceneDocumentFrom(s_document->data(), s_document->data() + s_document->size());
}

double PerFrameMs(double seconds, int frames)
{
    return frames ? seconds * 1000.0 / frames : 0.0;
}

// A timer that ran out of stubs leaves calls untimed, and their time would pass for own code.
void NoteUntimed(const std::string& figure, const D3DCallTimer& timer)
{
    if (timer.Untimed() > 0)
        FigureLog::Note(figure + ": " + std::to_string(timer.Untimed()) +
                        " Direct3D and D3DX entry points could not be timed; their time counts as own code");
}

}  // namespace

FrameBenchmark::FrameBenchmark(std::vector<uint8_t> document, std::string documentLabel, int frames)
    : m_document(std::move(document)), m_documentLabel(std::move(documentLabel)), m_frames(frames)
{
}

FrameBenchmark::~FrameBenchmark()
{
    // The scene's objects go before the device they were made on.
    if (m_scene)
        m_scene->ReleaseScene();
    m_scene.reset();
    CurrentDevice = nullptr;
    CurrentScreenView = nullptr;
}

bool FrameBenchmark::StartScene(int starts)
{
    if (!m_device.Create(kWidth, kHeight)) {
        FigureLog::Note("no Direct3D device of 1280 x 1024; frame figures skipped");
        return false;
    }
    CurrentDevice = m_device.Device();
    s_document = &m_document;
    SilentPlayer player;
    std::vector<double> times, loads;
    for (int i = 0; i < starts; ++i) {
        if (m_scene)
            m_scene->ReleaseScene();
        m_scene.reset(new MonitorScene());
        CurrentScreenView = &m_scene->View();
        // As the saver starts it once the splash is up: load, restore, then the first frame.
        const double begin = FrameClock::WallSeconds();
        if (!m_scene->StartScene(&LoadBenchDocument, player)) {
            FigureLog::Note(m_documentLabel + " did not load; frame figures skipped");
            return false;
        }
        const double loaded = FrameClock::WallSeconds();
        m_scene->FrameMove(m_time);
        m_scene->DrawScene();
        m_device.WaitUntilIdle();
        times.push_back(FrameClock::WallSeconds() - begin);
        loads.push_back(loaded - begin);
    }
    std::sort(times.begin(), times.end());
    std::sort(loads.begin(), loads.end());
    m_startMs = times.empty() ? 0.0 : times[times.size() / 2] * 1000.0;
    m_startLoadMs = loads.empty() ? 0.0 : loads[loads.size() / 2] * 1000.0;
    return true;
}

double FrameBenchmark::FillScreens(int frames)
{
    FillCounter counter;
    if (!counter.Create(m_device.Device()))
        return 0.0;
    uint64_t pixels = 0;
    for (int i = 0; i < frames; ++i) {
        counter.Begin();
        m_scene->FrameMove(m_time);
        m_scene->DrawScene();
        pixels += counter.End();
        m_time += kFrameStep;
    }
    return frames ? static_cast<double>(pixels) / frames / (double(kWidth) * kHeight) : 0.0;
}

void FrameBenchmark::PrintDrawFill(const std::string& prefix)
{
    FigureLog::Note("fill table: every clear, copy and draw of " + std::to_string(kFillFrames) +
                    " frames, each alone on the device: its pixels (occlusion query; clears and copies "
                    "their area) and the rasteriser's time for it");
    const std::vector<DrawFillTable::Row> rows =
        DrawFillTable::Measure(m_device.Device(), UnixToWindowsPath(VO_BENCH_EFFECT), kFillFrames, [this] {
            m_scene->FrameMove(m_time);
            m_scene->DrawScene();
            m_time += kFrameStep;
        });
    DrawFillTable::Print(rows, kFillFrames, prefix, double(kWidth) * kHeight);
}

void FrameBenchmark::SceneFrame(Totals& totals)
{
    const double start = FrameClock::WallSeconds();
    m_scene->FrameMove(m_time);
    const double moved = FrameClock::WallSeconds();
    m_scene->DrawScene();
    const double drawn = FrameClock::WallSeconds();
    m_device.WaitUntilIdle();
    const double done = FrameClock::WallSeconds();
    m_time += kFrameStep;
    totals.move += moved - start;
    totals.draw += drawn - moved;
    totals.wait += done - drawn;
    ++totals.frames;
}

FrameBenchmark::Totals FrameBenchmark::RunScene(int frames, D3DCallTimer* timer)
{
    Totals totals;
    for (int i = 0; i < kWarmUpFrames; ++i)
        SceneFrame(totals);
    totals = Totals();
    const double mainStart = FrameClock::ThreadCpuSeconds();
    const double processStart = FrameClock::ProcessCpuSeconds();
    const AllocationTotals heapStart = AllocationCounter::Totals();
    if (timer)
        timer->Reset();
    for (int i = 0; i < frames; ++i)
        SceneFrame(totals);
    if (timer) {
        totals.inside = timer->SecondsInside();
        totals.calls = timer->Calls();
    }
    totals.heap = AllocationCounter::Since(heapStart);
    totals.mainCpu = FrameClock::ThreadCpuSeconds() - mainStart;
    totals.processCpu = FrameClock::ProcessCpuSeconds() - processStart;
    return totals;
}

FrameBenchmark::Totals FrameBenchmark::RunBaseline(int frames)
{
    // The layer's own picture texture over the whole target: what any scene must at least cost.
    IDirect3DDevice9* const device = m_device.Device();
    TexturedQuad quad;
    Vo_SlideShow_Light* const root = m_scene->Root();
    IDirect3DTexture9* picture = nullptr;
    if (root && root->CurrentSlide())
        picture = root->CurrentSlide()->GetLight()->GetPictureMesh()->Texture();
    ScreenQuad corners;
    InitBackBufferQuad(corners, static_cast<float>(kWidth), static_cast<float>(kHeight));
    quad.SetTexturedQuad(picture, corners);

    Totals totals;
    double mainStart = 0.0, processStart = 0.0;
    for (int i = -kWarmUpFrames; i < frames; ++i) {
        if (i == 0) {
            totals = Totals();
            mainStart = FrameClock::ThreadCpuSeconds();
            processStart = FrameClock::ProcessCpuSeconds();
        }
        const double start = FrameClock::WallSeconds();
        if (SUCCEEDED(device->BeginScene())) {
            device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
            device->SetTexture(0, quad.Texture());
            quad.BindScreenTexStream();
            device->DrawPrimitive(quad.PrimitiveType(), 0, quad.PrimitiveCount());
            device->SetTexture(0, nullptr);
            device->EndScene();
        }
        const double drawn = FrameClock::WallSeconds();
        m_device.WaitUntilIdle();
        totals.draw += drawn - start;
        totals.wait += FrameClock::WallSeconds() - drawn;
        ++totals.frames;
    }
    totals.mainCpu = FrameClock::ThreadCpuSeconds() - mainStart;
    totals.processCpu = FrameClock::ProcessCpuSeconds() - processStart;
    if (!picture)
        FigureLog::Note("baseline: the layer has no picture texture; the quad is drawn untextured");
    return totals;
}

void FrameBenchmark::PrintCost(const std::string& prefix, const Totals& t)
{
    const int n = t.frames;
    FigureLog::Figure(prefix + "move", PerFrameMs(t.move, n), "ms/frame");
    FigureLog::Figure(prefix + "render", PerFrameMs(t.draw + t.wait, n), "ms/frame");
    FigureLog::Figure(prefix + "render.calls", PerFrameMs(t.draw, n), "ms/frame");
    FigureLog::Figure(prefix + "render.device_wait", PerFrameMs(t.wait, n), "ms/frame");
    FigureLog::Figure(prefix + "total", PerFrameMs(t.move + t.draw + t.wait, n), "ms/frame");
    FigureLog::Figure(prefix + "process_cpu", PerFrameMs(t.processCpu, n), "ms/frame");
    // This thread spins while it waits for the device, so its share of the process time is the
    // frame's own calls plus that spin; the rest is Wine's command thread and the rasteriser.
    FigureLog::Figure(prefix + "other_threads_cpu", PerFrameMs(t.processCpu - t.mainCpu, n), "ms/frame");
}

void FrameBenchmark::PrintShare(const Totals& plain, const Totals& timed)
{
    const int n = timed.frames;
    const double work = timed.move + timed.draw;
    const double own = work - timed.inside;
    const double whole = work + timed.wait;
    FigureLog::Figure("frame.share.own_code", PerFrameMs(own, n), "ms/frame");
    FigureLog::Figure("frame.share.d3d_calls", PerFrameMs(timed.inside, n), "ms/frame");
    FigureLog::Figure("frame.share.device_wait", PerFrameMs(timed.wait, n), "ms/frame");
    if (whole > 0.0) {
        FigureLog::Figure("frame.share.own_code_percent", 100.0 * own / whole, "%");
        FigureLog::Figure("frame.share.d3d_calls_percent", 100.0 * timed.inside / whole, "%");
        FigureLog::Figure("frame.share.device_wait_percent", 100.0 * timed.wait / whole, "%");
    }
    if (work > 0.0)
        FigureLog::Figure("frame.share.own_code_of_calling_thread_percent", 100.0 * own / work, "%");
    FigureLog::Figure("frame.share.d3d_calls_per_frame", n ? static_cast<double>(timed.calls) / n : 0.0, "count");
    // The stubs cost time of their own: the timed run's frame next to the plain run's.
    FigureLog::Figure("frame.share.timed_total", PerFrameMs(whole, n), "ms/frame");
    FigureLog::Figure("frame.share.plain_total", PerFrameMs(plain.move + plain.draw + plain.wait, plain.frames), "ms/frame");
}

void FrameBenchmark::Run()
{
    FigureLog::Note("frame figures: " + m_documentLabel + " at 1280 x 1024, " + std::to_string(m_frames) +
                    " frames each after " + std::to_string(kWarmUpFrames) + " warm-up frames; wall "
                    "times from QueryPerformanceCounter, CPU times from GetProcessTimes/GetThreadTimes");
    if (!StartScene(kStarts))
        return;
    FigureLog::Figure("start.first_scene_frame", m_startMs, "ms");
    // Of which loading with the device objects' restore; the rest is the first frame.
    FigureLog::Figure("start.first_scene_frame.load", m_startLoadMs, "ms");
    StartBreakdown::Run(m_device, &LoadBenchDocument);
    // The breakdown's starts made their own view and store current.
    CurrentScreenView = &m_scene->View();
    CurrentDocResManager = m_scene->Store();
    const Totals scene = RunScene(m_frames, nullptr);
    const Totals baseline = RunBaseline(m_frames);
    PrintCost("frame.scene.", scene);
    PrintCost("frame.baseline.", baseline);

    const double sceneMs = PerFrameMs(scene.move + scene.draw + scene.wait, scene.frames);
    m_baselineMs = PerFrameMs(baseline.draw + baseline.wait, baseline.frames);
    const double fill = FillScreens(kFillFrames);
    FigureLog::Figure("frame.scene.fill_screens", fill, "screens/frame");
    PrintDrawFill("frame.scene.fill.");
    if (m_baselineMs > 0.0 && sceneMs > 0.0) {
        FigureLog::Figure("frame.ratio.total", sceneMs / m_baselineMs, "x");
        if (fill > 0.0)
            FigureLog::Figure("frame.ratio.per_fill", sceneMs / m_baselineMs / fill, "x");
    }
    if (baseline.processCpu > 0.0 && baseline.frames && scene.frames)
        FigureLog::Figure("frame.ratio.process_cpu",
                          (scene.processCpu / scene.frames) / (baseline.processCpu / baseline.frames), "x");

    const int n = scene.frames;
    FigureLog::Figure("frame.scene.heap_allocations", n ? static_cast<double>(scene.heap.allocations) / n : 0.0,
                      "count/frame");
    FigureLog::Figure("frame.scene.heap_bytes", n ? static_cast<double>(scene.heap.bytes) / n : 0.0,
                      "bytes/frame");
    FigureLog::Count("frame.scene.heap_live_change", scene.heap.liveBytes, "bytes");

    D3DCallTimer timer;
    const int patched = timer.Install(m_device.Device(), UnixToWindowsPath(VO_BENCH_EFFECT));
    FigureLog::Note("share: " + std::to_string(patched) + " Direct3D and D3DX entry points timed" +
                    (timer.EffectHooked() ? "" : " (no effect could be made: effect methods untimed)"));
    NoteUntimed("share", timer);
    const Totals timed = RunScene(m_frames, &timer);
    timer.Uninstall();
    PrintShare(scene, timed);
}

FrameBenchmark::ClassFigures FrameBenchmark::RunClass(const std::string& prefix, double baselineMs)
{
    ClassFigures figures;
    if (!StartScene(1))
        return figures;
    const Totals plain = RunScene(m_frames, nullptr);
    const double fill = FillScreens(kFillFrames);
    D3DCallTimer timer;
    timer.Install(m_device.Device(), UnixToWindowsPath(VO_BENCH_EFFECT));
    NoteUntimed(prefix + "own_code", timer);
    const Totals timed = RunScene(m_frames, &timer);
    timer.Uninstall();

    const int n = timed.frames;
    figures.measured = n > 0 && plain.frames > 0;
    figures.ownCodeMs = PerFrameMs(timed.move + timed.draw - timed.inside, n);
    figures.heapAllocations = plain.frames ? static_cast<double>(plain.heap.allocations) / plain.frames : 0.0;
    FigureLog::Figure(prefix + "own_code", figures.ownCodeMs, "ms/frame");
    FigureLog::Figure(prefix + "heap_allocations", figures.heapAllocations, "count/frame");
    const double sceneMs = PerFrameMs(plain.move + plain.draw + plain.wait, plain.frames);
    if (baselineMs > 0.0 && fill > 0.0)
        FigureLog::Figure(prefix + "ratio.per_fill", sceneMs / baselineMs / fill, "x");
    return figures;
}
