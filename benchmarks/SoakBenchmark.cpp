#include "benchmarks/SoakBenchmark.h"

#include <windows.h>
#include <d3d9.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "benchmarks/AllocationCounter.h"
#include "benchmarks/BenchDevice.h"
#include "benchmarks/D3DCallTimer.h"
#include "benchmarks/FigureLog.h"
#include "benchmarks/FrameClock.h"
#include "benchmarks/SceneDocuments.h"
#include "host/MonitorScene.h"
#include "host/MusicPlayer.h"
#include "model/CurrentDevice.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/LoadSceneDocument.h"
#include "runtime/Vo_SlideShow_Light.h"
#include "support/ProcessRunner.h"
#include "support/SaverCopy.h"
#include "support/TestPaths.h"

namespace {

const unsigned kWidth = 1280;
const unsigned kHeight = 1024;
// The saver's loop sleeps this long before each frame.
const DWORD kFrameSleepMs = 30;
// Growth is judged from here on: the first minute holds the start-up's caches filling.
const double kSettledSeconds = 60.0;
// From the saver's start to its first frame: the splash and the document's load.
const double kSaverStartSeconds = 10.0;

const std::vector<uint8_t>* s_document = nullptr;

std::string Minutes(double minutes)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g minutes", minutes);
    return text;
}

Vo_SlideShow_Light* LoadSoakDocument()
{
    return LoadSceneDocumentFrom(s_document->data(), s_document->data() + s_document->size());
}

class SilentPlayer : public MusicPlayer {
public:
    void PlayTrack(const wchar_t*) override {}
    void RewindTrack() override {}
};

// The system-wide handle list (SystemExtendedHandleInformation), as ntdll hands it out.
const ULONG kSystemExtendedHandleInformation = 64;
struct HandleEntry {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG access;
    USHORT creatorBackTraceIndex;
    USHORT typeIndex;
    ULONG attributes;
    ULONG reserved;
};
struct HandleList {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};
using QuerySystemInformation = NTSTATUS(NTAPI*)(ULONG, void*, ULONG, ULONG*);

// Wine 8 answers GetProcessHandleCount with 0; its system handle list is right, for this
// process and for others.
unsigned long CountHandlesInSystemList(DWORD processId)
{
    static const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return 0;
    std::vector<char> buffer(1 << 20);
    for (int attempt = 0; attempt < 6; ++attempt) {
        ULONG needed = 0;
        const NTSTATUS status = query(kSystemExtendedHandleInformation, buffer.data(),
                                      static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) {
            const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
            unsigned long count = 0;
            for (ULONG_PTR i = 0; i < list->count; ++i)
                if (list->entries[i].processId == processId)
                    ++count;
            return count;
        }
        buffer.resize(buffer.size() * 4);
    }
    return 0;
}

uint64_t PrivateBytesOf(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    // PagefileUsage is the process's commit charge, the same figure as PrivateUsage, which Wine 8
    // leaves at 0.
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory)))
        return 0;
    return memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
}

template <class Field>
void PrintSeries(const std::string& name, const std::string& unit, const std::vector<Field>& values,
                 const std::vector<double>& seconds, double settledSeconds, const std::string& settledName)
{
    if (values.empty())
        return;
    FigureLog::Count("soak." + name + ".first", static_cast<int64_t>(values.front()), unit);
    FigureLog::Count("soak." + name + ".largest",
                     static_cast<int64_t>(*std::max_element(values.begin(), values.end())), unit);
    FigureLog::Count("soak." + name + ".last", static_cast<int64_t>(values.back()), unit);
    // From the first sample after the settling time (the first minute, or the first round of a
    // slide show) to the largest one after it.
    size_t settled = 0;
    while (settled < seconds.size() && seconds[settled] < settledSeconds)
        ++settled;
    if (settled < values.size()) {
        const int64_t base = static_cast<int64_t>(values[settled]);
        const int64_t top = static_cast<int64_t>(*std::max_element(values.begin() + settled, values.end()));
        FigureLog::Count("soak." + name + ".after_" + settledName, base, unit);
        FigureLog::Count("soak." + name + ".growth_after_" + settledName, top - base, unit);
    }
    // The same over the second half of the run: a leak keeps climbing there, a cache that fills
    // at start-up does not.
    const size_t half = values.size() / 2;
    if (half > 0) {
        const int64_t base = static_cast<int64_t>(values[half]);
        const int64_t top = static_cast<int64_t>(*std::max_element(values.begin() + half, values.end()));
        FigureLog::Count("soak." + name + ".growth_in_second_half", top - base, unit);
    }
}

}  // namespace

SoakBenchmark::SoakBenchmark(double minutes, double intervalSeconds, Subject subject, bool everyClass)
    : m_minutes(minutes), m_interval(intervalSeconds), m_subject(subject), m_everyClass(everyClass)
{
}

double SoakBenchmark::SettledSeconds() const
{
    return m_roundSeconds > 0.0 ? kSaverStartSeconds + m_roundSeconds : kSettledSeconds;
}

SoakBenchmark::Sample SoakBenchmark::Take(void* process, double seconds)
{
    Sample sample;
    sample.seconds = seconds;
    sample.privateBytes = PrivateBytesOf(process);
    DWORD handles = 0;
    if (GetProcessHandleCount(process, &handles))
        sample.handles = handles;
    if (!sample.handles)
        sample.handles = CountHandlesInSystemList(GetProcessId(process));
    sample.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    sample.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    return sample;
}

void SoakBenchmark::Run()
{
    if (m_everyClass) {
        RunGalleryShow();
        Print();
        return;
    }
    const std::vector<uint8_t> embedded = SceneDocuments::Embedded();
    if (m_subject == Subject::kSaver || (m_subject == Subject::kChosen && !embedded.empty())) {
        if (embedded.empty())
            FigureLog::Note("GlimmerSaver.scr holds no \"QNT\" resource 107: its test mode shows the error box");
        FigureLog::Note("soak: GlimmerSaver.scr /t for " + Minutes(m_minutes));
        RunSaver(SceneDocuments::SaverPath());
    } else if (!embedded.empty()) {
        RunInProcess(embedded, "the embedded document");
    } else {
        FigureLog::Note("GlimmerSaver.scr holds no \"QNT\" resource 107: soaking the base-layer "
                        "scene in this process instead of the saver");
        RunInProcess(SceneDocuments::Assembled("BaseLayerScene.bin"), "BaseLayerScene.bin");
    }
    Print();
}

void SoakBenchmark::RunGalleryShow()
{
    const std::vector<uint8_t> show = SceneDocuments::Assembled("GalleryShow.bin");
    for (const SceneDocuments::Named& named : SceneDocuments::Gallery())
        m_slideNames.push_back(named.name);
    const size_t slides = m_slideNames.size();
    if (show.empty() || slides == 0) {
        FigureLog::Note("soak: GalleryShow.bin or the gallery's document list is missing");
        return;
    }
    m_roundSeconds = static_cast<double>(slides) * SceneDocuments::kGalleryShowSlideSeconds;
    const bool inProcess = m_subject == Subject::kInProcess;
    char line[200];
    std::snprintf(line, sizeof(line),
                  "soak: every class, %s the %zu gallery documents as one slide show, "
                  "%.0f s a slide, a round every %.1f minutes",
                  inProcess ? "this process playing" : "a saver (/t) playing", slides,
                  SceneDocuments::kGalleryShowSlideSeconds, m_roundSeconds / 60.0);
    FigureLog::Note(line);
    if (inProcess) {
        RunInProcess(show, "GalleryShow.bin");
        return;
    }
    std::string why;
    const std::wstring saver = MakeSaverCopyPlaying(show, BuiltProgramPath(L"bench-savers"), L"GalleryShow.scr", &why);
    if (saver.empty()) {
        FigureLog::Note("soak: no saver playing the gallery's slide show: " + why);
        return;
    }
    FigureLog::Note("soak: GalleryShow.scr /t for " + Minutes(m_minutes));
    RunSaver(saver);
}

void SoakBenchmark::RunSaver(const std::wstring& program)
{
    ProcessRunner saver;
    if (!saver.Start(program, L"/t")) {
        FigureLog::Note("soak: the saver did not start");
        return;
    }
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, saver.ProcessId());
    if (!process) {
        FigureLog::Note("soak: the saver's process cannot be queried");
        return;
    }
    // Beside it for the first minute, the same saver playing one picture: what Wine, Mesa and
    // the host take without the scene, which the scene's own figure leaves out.
    std::string why;
    const std::wstring onePicture = MakeSaverCopyPlaying(SceneDocuments::Assembled("BaseLayerScene.bin"),
                                                         BuiltProgramPath(L"bench-savers"), L"OnePicture.scr", &why);
    ProcessRunner baseline;
    HANDLE baselineProcess = nullptr;
    if (!onePicture.empty() && baseline.Start(onePicture, L"/t"))
        baselineProcess = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, baseline.ProcessId());
    if (!baselineProcess)
        FigureLog::Note("soak: no one-picture saver to compare with" + (why.empty() ? "" : ": " + why));

    const double start = FrameClock::WallSeconds();
    const double end = start + m_minutes * 60.0;
    double next = start;
    while (FrameClock::WallSeconds() < end) {
        if (!saver.Running()) {
            FigureLog::Note("soak: the saver ended early");
            break;
        }
        const double now = FrameClock::WallSeconds();
        if (now >= next) {
            m_samples.push_back(Take(process, now - start));
            next += m_interval;
            if (baselineProcess && (now - start >= kSettledSeconds || next >= end))
                CompareWithBaseline(baseline, baselineProcess);
        }
        Sleep(200);
    }
    if (baselineProcess)
        CompareWithBaseline(baseline, baselineProcess);
    CloseHandle(process);
    saver.Kill();
}

void SoakBenchmark::CompareWithBaseline(ProcessRunner& baseline, void*& baselineProcess)
{
    if (baseline.Running() && !m_samples.empty()) {
        const Sample ownSample = m_samples.back();
        const Sample baselineSample = Take(baselineProcess, ownSample.seconds);
        m_overBaseline = static_cast<int64_t>(ownSample.privateBytes) - static_cast<int64_t>(baselineSample.privateBytes);
        m_comparedAt = ownSample.seconds;
        m_compared = true;
    } else {
        FigureLog::Note("soak: the one-picture saver ended early");
    }
    CloseHandle(baselineProcess);
    baselineProcess = nullptr;
    baseline.Kill();
}

void SoakBenchmark::RunInProcess(const std::vector<uint8_t>& document, const std::string& label)
{
    FigureLog::Note("soak: " + label + " at 1280 x 1024 in this process for " + Minutes(m_minutes));
    BenchDevice device;
    if (!device.Create(kWidth, kHeight)) {
        FigureLog::Note("soak: no Direct3D device");
        return;
    }
    std::unique_ptr<MonitorScene> scene(new MonitorScene());
    CurrentDevice = device.Device();
    CurrentScreenView = &scene->View();
    s_document = &document;
    SilentPlayer player;
    if (!scene->StartScene(&LoadSoakDocument, player)) {
        FigureLog::Note("soak: the document did not load");
        CurrentDevice = nullptr;
        CurrentScreenView = nullptr;
        return;
    }
    // The objects each showing makes, counted at the Direct3D and D3DX entry points.
    D3DCallTimer creates;
    const bool countCreates = m_countCreates && m_everyClass;
    if (countCreates)
        creates.Install(device.Device(), UnixToWindowsPath(VO_BENCH_EFFECT));
    const double start = FrameClock::WallSeconds();
    const double end = start + m_minutes * 60.0;
    double next = start;
    int64_t frames = 0;
    // A mark at each slide change of the slide show: the figures just before the frame that
    // shows the slide, so that what showing it makes counts for it.
    auto markShowing = [&](double seconds, size_t slide, uint64_t privateBytes) {
        if (countCreates) {
            if (!m_showings.empty())
                for (const D3DCallTimer::EntryTotal& entry : creates.EntryTotals())
                    if (entry.name.find("Create") != std::string::npos)
                        m_showings.back().creates.emplace_back(entry.name, entry.calls);
            creates.Reset();
        }
        Showing showing;
        showing.slide = slide;
        showing.seconds = seconds;
        showing.privateBytes = privateBytes;
        m_showings.push_back(showing);
    };
    size_t shownSlide = SIZE_MAX;
    // The samples and marks live on this process's heap too: room for all of them is taken now,
    // and what the marks take besides is counted apart, so that the scene heap is the scene's.
    m_samples.reserve(static_cast<size_t>(m_minutes * 60.0 / m_interval) + 4);
    m_showings.reserve(static_cast<size_t>(m_minutes * 60.0 / SceneDocuments::kGalleryShowSlideSeconds) + 4);
    int64_t markBytes = 0;
    auto sceneHeapBytes = [&] { return AllocationCounter::Totals().liveBytes - markBytes; };
    for (double now = start; now < end; now = FrameClock::WallSeconds()) {
        if (now >= next) {
            m_samples.push_back(Take(GetCurrentProcess(), now - start));
            m_samples.back().sceneHeapBytes = sceneHeapBytes();
            next += m_interval;
        }
        Sleep(kFrameSleepMs);
        const double moveAt = FrameClock::WallSeconds() - start;
        // Private bytes alone are cheap to read (no handle list), once a frame.
        const uint64_t privateBytes = m_everyClass ? PrivateBytesOf(GetCurrentProcess()) : 0;
        scene->FrameMove(static_cast<float>(moveAt));
        const size_t nowShown = scene->Root() ? scene->Root()->Schedule().CurrentIndex() : 0;
        if (m_everyClass && nowShown != shownSlide) {
            const int64_t before = AllocationCounter::Totals().liveBytes;
            markShowing(moveAt, nowShown, privateBytes);
            markBytes += AllocationCounter::Totals().liveBytes - before;
            shownSlide = nowShown;
        }
        scene->DrawScene();
        device.Device()->Present(nullptr, nullptr, nullptr, nullptr);
        ++frames;
    }
    m_samples.push_back(Take(GetCurrentProcess(), FrameClock::WallSeconds() - start));
    m_samples.back().sceneHeapBytes = sceneHeapBytes();
    if (m_everyClass)
        markShowing(m_samples.back().seconds, SIZE_MAX, m_samples.back().privateBytes);
    if (countCreates)
        creates.Uninstall();
    m_sceneHeapCounted = true;
    FigureLog::Count("soak.frames", frames, "count");
    scene->ReleaseScene();
    scene.reset();
    CurrentDevice = nullptr;
    CurrentScreenView = nullptr;
}

void SoakBenchmark::NoteSceneHeapRises() const
{
    if (m_slideNames.empty())
        return;
    // In this process the show starts at once: slide k is on from about 6k - 1 s to 6k + 5 s of
    // each round (the first slide begins with its fade-in over).
    auto slideAt = [&](double seconds) {
        const double inRound = std::fmod(seconds + 1.0, m_roundSeconds);
        const size_t k = static_cast<size_t>(inRound / SceneDocuments::kGalleryShowSlideSeconds) % m_slideNames.size();
        return m_slideNames[k];
    };
    for (size_t i = 1; i < m_samples.size(); ++i) {
        const Sample& before = m_samples[i - 1];
        const Sample& after = m_samples[i];
        if (after.seconds < SettledSeconds() || after.sceneHeapBytes <= before.sceneHeapBytes)
            continue;
        char line[240];
        std::snprintf(line, sizeof(line), "scene heap +%lld bytes between %.0f s and %.0f s (%s .. %s)",
                      static_cast<long long>(after.sceneHeapBytes - before.sceneHeapBytes), before.seconds,
                      after.seconds, slideAt(before.seconds).c_str(), slideAt(after.seconds).c_str());
        FigureLog::Note(line);
    }
}

std::string SoakBenchmark::SlideName(size_t slide) const
{
    if (slide < m_slideNames.size())
        return m_slideNames[slide];
    return "slide " + std::to_string(slide);
}

void SoakBenchmark::NoteGrowthPerSlide() const
{
    if (m_showings.size() < 2)
        return;
    const double mib = 1024.0 * 1024.0;
    // Rounds begin where the first slide is shown again.
    std::vector<size_t> roundOf(m_showings.size(), 0);
    size_t round = 0;
    for (size_t i = 0; i < m_showings.size(); ++i) {
        if (m_showings[i].slide == 0)
            ++round;
        roundOf[i] = round;
    }
    const size_t rounds = round;
    std::string perRound = "private bytes per round (from one showing of the first slide to the next):";
    for (size_t i = 0, last = SIZE_MAX; i < m_showings.size(); ++i) {
        if (m_showings[i].slide != 0 && i + 1 != m_showings.size())
            continue;
        if (last != SIZE_MAX) {
            char part[64];
            std::snprintf(part, sizeof(part), " %+.1f", (static_cast<double>(m_showings[i].privateBytes) -
                                                        static_cast<double>(m_showings[last].privateBytes)) / mib);
            perRound += part;
        }
        last = i;
    }
    FigureLog::Note(perRound + " MiB");
    // Each slide's growth while it showed (from its mark to the next one), per round from the second on.
    struct SlideGrowth {
        size_t slide;
        double total = 0.0;
        std::vector<double> perRound;
        const Showing* lastComplete = nullptr;
    };
    std::vector<SlideGrowth> slides;
    for (size_t i = 0; i + 1 < m_showings.size(); ++i) {
        const Showing& showing = m_showings[i];
        if (roundOf[i] < 2)
            continue;
        auto found = std::find_if(slides.begin(), slides.end(), [&](const SlideGrowth& g) { return g.slide == showing.slide; });
        if (found == slides.end()) {
            SlideGrowth added;
            added.slide = showing.slide;
            slides.push_back(added);
            found = slides.end() - 1;
        }
        const double grown = (static_cast<double>(m_showings[i + 1].privateBytes) - static_cast<double>(showing.privateBytes)) / mib;
        found->total += grown;
        found->perRound.push_back(grown);
        found->lastComplete = &showing;
    }
    std::sort(slides.begin(), slides.end(), [](const SlideGrowth& a, const SlideGrowth& b) { return a.total > b.total; });
    char line[400];
    std::snprintf(line, sizeof(line), "private bytes grown while each slide showed, rounds 2 to %zu, largest first:", rounds);
    FigureLog::Note(line);
    for (const SlideGrowth& g : slides) {
        std::string values;
        for (double v : g.perRound) {
            char part[32];
            std::snprintf(part, sizeof(part), " %+.2f", v);
            values += part;
        }
        std::string made;
        if (g.lastComplete)
            for (const auto& [name, calls] : g.lastComplete->creates)
                made += " " + name + " x" + std::to_string(calls);
        std::snprintf(line, sizeof(line), "  %2zu %-28s %+7.2f MiB (", g.slide, SlideName(g.slide).c_str(), g.total);
        FigureLog::Note(line + values + " )" + (made.empty() ? "" : "; its last showing made:" + made));
    }
}

void SoakBenchmark::Print() const
{
    FigureLog::Count("soak.samples", static_cast<int64_t>(m_samples.size()), "count");
    if (m_samples.empty())
        return;
    FigureLog::Figure("soak.duration", m_samples.back().seconds / 60.0, "min");
    std::vector<double> seconds;
    std::vector<uint64_t> privateBytes;
    std::vector<unsigned long> handles, gdi, user;
    std::vector<int64_t> sceneHeap;
    for (const Sample& s : m_samples) {
        seconds.push_back(s.seconds);
        privateBytes.push_back(s.privateBytes);
        handles.push_back(s.handles);
        gdi.push_back(s.gdiObjects);
        user.push_back(s.userObjects);
        sceneHeap.push_back(s.sceneHeapBytes);
    }
    // The course of the run, one note a minute, to tell a steady climb from one step.
    double nextMinute = 0.0;
    for (const Sample& s : m_samples) {
        if (s.seconds + 1e-6 < nextMinute)
            continue;
        char line[160];
        std::snprintf(line, sizeof(line), "minute %.0f: private %.1f MiB, %lu handles, %lu GDI, %lu USER",
                      s.seconds / 60.0, static_cast<double>(s.privateBytes) / (1024.0 * 1024.0), s.handles,
                      s.gdiObjects, s.userObjects);
        FigureLog::Note(line);
        nextMinute += 60.0;
    }
    const std::string settledName = m_roundSeconds > 0.0 ? "first_round" : "first_minute";
    if (m_roundSeconds > 0.0)
        FigureLog::Figure("soak.rounds", (m_samples.back().seconds - kSaverStartSeconds) / m_roundSeconds, "count");
    PrintSeries("private_bytes", "bytes", privateBytes, seconds, SettledSeconds(), settledName);
    if (m_compared) {
        char line[120];
        std::snprintf(line, sizeof(line), "over_baseline: both savers at %.0f s, the other playing one picture",
                      m_comparedAt);
        FigureLog::Note(line);
        FigureLog::Count("soak.private_bytes.over_baseline", m_overBaseline, "bytes");
    }
    PrintSeries("handles", "count", handles, seconds, SettledSeconds(), settledName);
    PrintSeries("gdi_objects", "count", gdi, seconds, SettledSeconds(), settledName);
    PrintSeries("user_objects", "count", user, seconds, SettledSeconds(), settledName);
    // Of the private bytes, what the scene code itself holds (its operator new, in process only):
    // Wine's, Mesa's and D3DX's own heaps are the rest.
    if (m_sceneHeapCounted) {
        PrintSeries("scene_heap_bytes", "bytes", sceneHeap, seconds, SettledSeconds(), settledName);
        NoteSceneHeapRises();
        NoteGrowthPerSlide();
    }
    if (*std::max_element(gdi.begin(), gdi.end()) == 0 && *std::max_element(user.begin(), user.end()) == 0)
        FigureLog::Note("GetGuiResources reported no GDI or USER objects at all (Wine 8 does not count them)");
}
