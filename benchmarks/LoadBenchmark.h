#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Time and heap use of reading a scene document into a live tree (the root and its store),
// as the scene host does once per display when the scene starts. No device is involved: reading
// makes no device object.
class LoadBenchmark {
public:
    struct Result {
        bool loaded = false;
        double seconds = 0.0;        // mean of the repeated loads
        uint64_t allocations = 0;    // during one load
        uint64_t bytes = 0;          // allocated during one load
        int64_t retained = 0;        // still held by the root and store when the load returns
    };

    static Result Measure(const std::vector<uint8_t>& document);
    // Prints the figures of one document under "load.<label>".
    static void Print(const std::string& label, const std::vector<uint8_t>& document, const Result& result);
    // Runs the embedded document (when the saver holds one) and the 1-, 10- and 100-slide
    // documents, and prints how the cost grows per slide.
    static void Run();
};
