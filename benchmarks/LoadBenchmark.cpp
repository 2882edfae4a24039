#include "benchmarks/LoadBenchmark.h"

#include <windows.h>

#include <memory>

#include "benchmarks/AllocationCounter.h"
#include "benchmarks/FigureLog.h"
#include "benchmarks/SceneDocuments.h"
#include "model/DeviceResourceLoader.h"
#include "model/Vo_DocResManager.h"
#include "runtime/LoadSceneDocument.h"
#include "runtime/Vo_2D_Light.h"
#include "runtime/Vo_SlideShow_Light.h"

namespace {

// Enough repeats for a steady mean, few enough for a quick run.
const double kMinimumSeconds = 0.5;
const int kMinimumRepeats = 5;
const int kMaximumRepeats = 500;

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One load, then everything it made is deleted again and the process-wide store and loader are
// put back, so that repeated loads start alike. False when the document does not load.
bool LoadOnce(const std::vector<uint8_t>& document, double* seconds, AllocationTotals* during,
              int64_t* retained)
{
    Vo_DocResManager* const storeBefore = CurrentDocResManager;
    DeviceResourceLoader* const loaderBefore = CurrentResourceLoader;
    const AllocationTotals before = AllocationCounter::Totals();
    const double start = Now();
    std::unique_ptr<Vo_SlideShow_Light> root;
    try {
        root.reset(LoadSceneDocumentFrom(document.data(), document.data() + document.size()));
    } catch (uint32_t) {
        return false;
    }
    *seconds = Now() - start;
    const AllocationTotals after = AllocationCounter::Since(before);
    if (during)
        *during = after;
    if (retained)
        *retained = after.liveBytes;
    root.reset();
    if (CurrentDocResManager != storeBefore)
        delete CurrentDocResManager;
    CurrentDocResManager = storeBefore;
    CurrentResourceLoader = loaderBefore;
    return true;
}

}  // namespace

LoadBenchmark::Result LoadBenchmark::Measure(const std::vector<uint8_t>& document)
{
    Result result;
    if (document.empty())
        return result;
    AllocationTotals during;
    double seconds = 0.0;
    // The first load also counts the heap; it is not timed, so that first-touch costs stay out.
    if (!LoadOnce(document, &seconds, &during, &result.retained))
        return result;
    result.loaded = true;
    result.allocations = during.allocations;
    result.bytes = during.bytes;

    double total = 0.0;
    int repeats = 0;
    while (repeats < kMaximumRepeats && (repeats < kMinimumRepeats || total < kMinimumSeconds)) {
        if (!LoadOnce(document, &seconds, nullptr, nullptr))
            break;
        total += seconds;
        ++repeats;
    }
    result.seconds = repeats ? total / repeats : 0.0;
    return result;
}

void LoadBenchmark::Print(const std::string& label, const std::vector<uint8_t>& document, const Result& result)
{
    const std::string prefix = "load." + label + ".";
    if (!result.loaded) {
        FigureLog::Note(label + ": the document did not load");
        return;
    }
    FigureLog::Count(prefix + "document", static_cast<int64_t>(document.size()), "bytes");
    FigureLog::Figure(prefix + "time", result.seconds * 1000.0, "ms");
    FigureLog::Count(prefix + "allocated", static_cast<int64_t>(result.bytes), "bytes");
    FigureLog::Count(prefix + "allocations", static_cast<int64_t>(result.allocations), "count");
    FigureLog::Count(prefix + "retained", result.retained, "bytes");
}

void LoadBenchmark::Run()
{
    const std::vector<uint8_t> embedded = SceneDocuments::Embedded();
    if (embedded.empty())
        FigureLog::Note("embedded document: GlimmerSaver.scr holds no \"QNT\" resource 107; skipped");
    else
        Print("embedded", embedded, Measure(embedded));

    const int counts[] = {1, 10, 100};
    Result results[3];
    for (int i = 0; i < 3; ++i) {
        const std::string name = "Slides" + std::to_string(counts[i]) + ".bin";
        const std::vector<uint8_t> document = SceneDocuments::Assembled(name);
        if (document.empty()) {
            FigureLog::Note(name + " is missing from the build");
            continue;
        }
        results[i] = Measure(document);
        Print("slides_" + std::to_string(counts[i]), document, results[i]);
    }
    // Linear growth shows as the same cost per slide between 1 and 10 and between 10 and 100.
    const struct {
        int from, to;
        const char* label;
    } steps[] = {{0, 1, "per_slide_1_to_10"}, {1, 2, "per_slide_10_to_100"}};
    for (const auto& step : steps) {
        const Result& a = results[step.from];
        const Result& b = results[step.to];
        if (!a.loaded || !b.loaded)
            continue;
        const double slides = counts[step.to] - counts[step.from];
        const std::string prefix = std::string("load.") + step.label + ".";
        FigureLog::Figure(prefix + "time", (b.seconds - a.seconds) * 1e6 / slides, "us");
        FigureLog::Figure(prefix + "allocated", static_cast<double>(b.bytes - a.bytes) / slides, "bytes");
        FigureLog::Figure(prefix + "allocations", static_cast<double>(b.allocations - a.allocations) / slides, "count");
    }
}
