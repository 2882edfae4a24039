#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class ProcessRunner;

// A long run that watches for growth: private bytes, handles and GDI and USER objects, sampled
// every few seconds. It runs the saver's test mode (GlimmerSaver.scr /t) when the saver holds its
// scene document, otherwise the benchmark's own scene on an offscreen device in this process,
// framed the way the saver frames it (30 ms sleep, frame move, draw, present). Beside the saver,
// for the first minute, a copy of it plays a one-picture document: the difference in private
// bytes is the scene's own memory.
class SoakBenchmark {
public:
    enum class Subject { kChosen, kSaver, kInProcess };
    // kChosen: the saver when it holds its scene document, else this process. everyClass: every
    // gallery document as one slide show, round after round, in a copy of the saver (or, with
    // kInProcess, in this process, where the scene code's own heap is counted too); growth is
    // judged after the first round, in which every class has made what it keeps.
    SoakBenchmark(double minutes, double intervalSeconds, Subject subject, bool everyClass);
    // In process with every class: also counts the Direct3D and D3DX objects each showing makes.
    void CountCreatesPerShowing() { m_countCreates = true; }
    void Run();

private:
    struct Sample {
        double seconds = 0.0;
        uint64_t privateBytes = 0;
        unsigned long handles = 0;
        unsigned long gdiObjects = 0;
        unsigned long userObjects = 0;
        int64_t sceneHeapBytes = 0;  // the scene code's live operator new bytes, in process only
    };

    // One showing of a slide of the slide show, in process: when it began, the figures then, and
    // the objects made while it showed (Direct3D and D3DX calls whose name says "Create").
    struct Showing {
        size_t slide = 0;
        double seconds = 0.0;
        uint64_t privateBytes = 0;
        std::vector<std::pair<std::string, uint64_t>> creates;
    };

    static Sample Take(void* process, double seconds);
    void RunSaver(const std::wstring& program);
    void RunGalleryShow();
    // Each rise of the scene code's heap after the first round, with the slides shown meanwhile.
    void NoteSceneHeapRises() const;
    // Where the private bytes grew after the first round: each slide's growth while it showed,
    // summed over the later rounds, and what its later showings made.
    void NoteGrowthPerSlide() const;
    std::string SlideName(size_t slide) const;
    // When start-up has settled: after the first minute, or after the first round of a slide show.
    double SettledSeconds() const;
    // Samples the one-picture saver beside the last sample of the saver, then ends it.
    void CompareWithBaseline(ProcessRunner& baseline, void*& baselineProcess);
    void RunInProcess(const std::vector<uint8_t>& document, const std::string& label);
    void Print() const;

    double m_minutes;
    double m_interval;
    Subject m_subject;
    bool m_everyClass;
    std::vector<Sample> m_samples;
    bool m_compared = false;
    double m_comparedAt = 0.0;
    int64_t m_overBaseline = 0;
    // The length of one round of the gallery's slide show; 0 for other subjects.
    double m_roundSeconds = 0.0;
    bool m_sceneHeapCounted = false;
    // The slide show's documents in slide order, when it is the subject.
    std::vector<std::string> m_slideNames;
    std::vector<Showing> m_showings;
    bool m_countCreates = false;
};
