// GlimmerBench: the project's benchmarks. Prints one figure per line ("name value unit") and
// notes on lines that start with "#". It measures and never fails on a figure.
//
//   GlimmerBench [--frames N] [--gallery-frames N]  load, frame and gallery figures
//   GlimmerBench --gallery-only NAME [--frames N] [--gallery-frames N]  the frame figures and the
//       gallery figures of the documents whose name contains NAME, nothing else (to study one class)
//   GlimmerBench --readbacks FILE [--readback-frames N] [--readback-images FOLDER] [--gallery-only NAME]
//       hashes of fixed-time frames of the embedded scene, the gallery documents and the gallery's
//       slide show, one line a frame, to compare two builds' frames
//   GlimmerBench --soak MINUTES [--interval SECONDS] [--in-process | --saver] [--every-class]
//       [--count-creates] (in process with every class: the objects each showing of a slide makes)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <cwchar>
#include <string>

#include "benchmarks/FigureLog.h"
#include "benchmarks/FrameBenchmark.h"
#include "benchmarks/FrameReadbacks.h"
#include "benchmarks/LoadBenchmark.h"
#include "benchmarks/ParticleBenchmark.h"
#include "benchmarks/SaverEndBenchmark.h"
#include "benchmarks/SceneDocuments.h"
#include "benchmarks/SoakBenchmark.h"
#include "support/TestPaths.h"

namespace {

struct Options {
    int frames = 300;
    int galleryFrames = 60;
    double soakMinutes = 0.0;
    double interval = 5.0;
    std::string galleryOnly;
    std::string readbacks;
    std::string readbackImages;
    int readbackFrames = 40;
    SoakBenchmark::Subject subject = SoakBenchmark::Subject::kChosen;
    bool everyClass = false;
    bool countCreates = false;
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
        else if (arg == L"--readbacks" && hasValue)
            options.readbacks = NarrowText(argv[++i]);
        else if (arg == L"--readback-frames" && hasValue)
            options.readbackFrames = _wtoi(argv[++i]);
        else if (arg == L"--readback-images" && hasValue)
            options.readbackImages = NarrowText(argv[++i]);
        else if (arg == L"--soak" && hasValue)
            options.soakMinutes = _wtof(argv[++i]);
        else if (arg == L"--interval" && hasValue)
            options.interval = _wtof(argv[++i]);
        else if (arg == L"--in-process")
            options.subject = SoakBenchmark::Subject::kInProcess;
        else if (arg == L"--saver")
            options.subject = SoakBenchmark::Subject::kSaver;
        else if (arg == L"--every-class")
            options.everyClass = true;
        else if (arg == L"--count-creates")
            options.countCreates = true;
        else
            return false;
    }
    return options.frames > 0 && options.readbackFrames > 0 && options.galleryFrames >= 0 && options.interval > 0.0 &&
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

// The frames of every document whose name holds nameContains, read back at fixed times.
int WriteReadbacks(const Options& options)
{
    const float kStep = 0.04f;
    // The slide show's frames span its first slide change, fade-out and fade-in included.
    const float kShowStep = 0.25f;
    std::vector<FrameReadbacks::Document> documents;
    documents.push_back({"EmbeddedScene", SceneDocuments::Embedded(), kStep});
    std::vector<SceneDocuments::Named> gallery = SceneDocuments::Gallery();
    const size_t slides = gallery.size();
    for (SceneDocuments::Named& named : gallery)
        documents.push_back({named.name, std::move(named.bytes), kStep});
    documents.push_back({"GalleryShow", SceneDocuments::Assembled("GalleryShow.bin"), kShowStep});
    // The slide show over two whole rounds, a few frames of every showing: the second round shows
    // every slide again, into what its first showing made.
    const float kRoundsStep = 0.5f;
    const float roundSeconds = static_cast<float>(slides * SceneDocuments::kGalleryShowSlideSeconds);
    documents.push_back({"GalleryShowTwoRounds", SceneDocuments::Assembled("GalleryShow.bin"), kRoundsStep,
                         static_cast<int>(2.0f * roundSeconds / kRoundsStep)});
    std::vector<FrameReadbacks::Document> chosen;
    for (FrameReadbacks::Document& document : documents) {
        if (document.name.find(options.galleryOnly) == std::string::npos)
            continue;
        if (document.bytes.empty())
            FigureLog::Note("read-backs: " + document.name + " is missing");
        else
            chosen.push_back(std::move(document));
    }
    const std::wstring images = options.readbackImages.empty()
                                    ? std::wstring()
                                    : UnixToWindowsPath(options.readbackImages);
    if (!FrameReadbacks::Write(chosen, options.readbackFrames, UnixToWindowsPath(options.readbacks), images)) {
        FigureLog::Note("read-backs: " + options.readbacks + " could not be written");
        return 1;
    }
    FigureLog::Note("read-backs: " + std::to_string(chosen.size()) + " documents, " +
                    std::to_string(options.readbackFrames) + " frames each, in " + options.readbacks);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs("usage: GlimmerBench [--frames N] [--gallery-frames N] [--gallery-only NAME] | --soak MINUTES "
                   "[--interval SECONDS] "
                   "[--in-process | --saver] [--every-class] [--count-creates] | --readbacks FILE [--readback-frames N] "
                   "[--readback-images FOLDER] [--gallery-only NAME]\n",
                   stderr);
        return 2;
    }
    NoteDate();
    if (!options.readbacks.empty())
        return WriteReadbacks(options);
    if (options.soakMinutes > 0.0) {
        SoakBenchmark soak(options.soakMinutes, options.interval, options.subject, options.everyClass);
        if (options.countCreates)
            soak.CountCreatesPerShowing();
        soak.Run();
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
