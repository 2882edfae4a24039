// GlimmerBench: the project's benchmarks. Prints one figure per line ("name value unit") and
// notes on lines that start with "#". It measures and never fails on a figure.
//
//   GlimmerBench [--frames N] [--gallery-frames N]  load, frame and gallery figures
//   GlimmerBench --gallery-only NAME [--frames N] [--gallery-frames N]  the frame figures and the
//       gallery figures of the documents whose name contains NAME, nothing else (to study one class)
//   GlimmerBench --soak MINUTES [--interval SECONDS] [--in-process | --saver]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <cwchar>
#include <string>

#include "benchmarks/FigureLog.h"
#include "benchmarks/FrameBenchmark.h"
#include "benchmarks/LoadBenchmark.h"
#include "benchmarks/ParticleBenchmark.h"
#include "benchmarks/SaverEndBenchmark.h"
#include "benchmarks/SceneDocuments.h"
#include "benchmarks/SoakBenchmark.h"

namespace {

struct Options {
    int frames = 300;
    int galleryFrames = 60;
    double soakMinutes = 0.0;
    double interval = 5.0;
    std::string galleryOnly;
    SoakBenchmark::Subject subject = SoakBenchmark::Subject::kChosen;
};

std::string NarrowText(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

bool ParseOptions(int argc, wchar_t** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--frames" && hasValue)
            options.frames = _wtoi(argv[++i]);
        else if (arg == L"--gallery-frames" && hasValue)
            options.galleryFrames = _wtoi(argv[++i]);
        else if (arg == L"--gallery-only" && hasValue)
            options.galleryOnly = NarrowText(argv[++i]);
        else if (arg == L"--soak" && hasValue)
            options.soakMinutes = _wtof(argv[++i]);
        else if (arg == L"--interval" && hasValue)
            options.interval = _wtof(argv[++i]);
        else if (arg == L"--in-process")
            options.subject = SoakBenchmark::Subject::kInProcess;
        else if (arg == L"--saver")
            options.subject = SoakBenchmark::Subject::kSaver;
        else
            return false;
    }
    return options.frames > 0 && options.galleryFrames >= 0 && options.interval > 0.0 &&
           options.soakMinutes >= 0.0;
}

void NoteDate()
{
    char when[64] = {};
    const std::time_t now = std::time(nullptr);
    std::strftime(when, sizeof(when), "%Y-%m-%d %H:%M UTC", std::gmtime(&now));
    FigureLog::Note(std::string("GlimmerBench ") + when);
}

// Each gallery document's own figures, and the largest over all of them.
void RunGallery(int frames, double baselineMs, const std::string& nameContains)
{
    std::vector<SceneDocuments::Named> documents = SceneDocuments::Gallery();
    documents.erase(std::remove_if(documents.begin(), documents.end(),
                                   [&](const SceneDocuments::Named& document) {
                                       return document.name.find(nameContains) == std::string::npos;
                                   }),
                    documents.end());
    FigureLog::Note("gallery figures: " + std::to_string(documents.size()) + " documents, " +
                    std::to_string(frames) + " frames each after the warm-up, beside the frame baseline");
    double ownCodeMax = 0.0, allocationsMax = 0.0;
    int measured = 0;
    for (const SceneDocuments::Named& document : documents) {
        if (document.bytes.empty()) {
            FigureLog::Note("gallery: " + document.name + ".bin is missing");
            continue;
        }
        const FrameBenchmark::ClassFigures figures =
            FrameBenchmark(document.bytes, document.name + ".bin", frames).RunClass("gallery." + document.name + ".", baselineMs);
        if (!figures.measured)
            continue;
        ++measured;
        ownCodeMax = std::max(ownCodeMax, figures.ownCodeMs);
        allocationsMax = std::max(allocationsMax, figures.heapAllocations);
    }
    if (measured) {
        FigureLog::Figure("gallery.own_code.max", ownCodeMax, "ms/frame");
        FigureLog::Figure("gallery.heap_allocations.max", allocationsMax, "count/frame");
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs("usage: GlimmerBench [--frames N] [--gallery-frames N] [--gallery-only NAME] | --soak MINUTES "
                   "[--interval SECONDS] "
                   "[--in-process | --saver]\n",
                   stderr);
        return 2;
    }
    NoteDate();
    if (options.soakMinutes > 0.0) {
        SoakBenchmark(options.soakMinutes, options.interval, options.subject).Run();
        return 0;
    }
    const bool galleryOnly = !options.galleryOnly.empty();
    if (!galleryOnly)
        LoadBenchmark::Run();

    std::vector<uint8_t> scene = SceneDocuments::Embedded();
    std::string label = "the embedded document";
    if (scene.empty()) {
        FigureLog::Note("the saver embeds no scene yet: frame figures use BaseLayerScene.bin");
        scene = SceneDocuments::Assembled("BaseLayerScene.bin");
        label = "BaseLayerScene.bin";
    }
    double baselineMs = 0.0;
    {
        FrameBenchmark frames(std::move(scene), label, options.frames);
        frames.Run();
        baselineMs = frames.BaselineMsPerFrame();
    }
    if (options.galleryFrames > 0)
        RunGallery(options.galleryFrames, baselineMs, options.galleryOnly);
    if (galleryOnly)
        return 0;
    ParticleBenchmark(options.frames).Run();
    SaverEndBenchmark::Run();
    return 0;
}
