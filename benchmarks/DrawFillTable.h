#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct IDirect3DDevice9;

// The fill of a frame draw by draw: for every clear, copy and draw the target it writes, what
// draws it (an effect's technique and pass, or the fixed-function stages), the pixels the device
// counts for it (an occlusion query around that one call; a clear or a copy counts the area it
// writes) and the rasteriser's time for it (the device is idle before the call and waited for
// after it, so the frame as a whole runs slower than unmeasured).
class DrawFillTable {
public:
    struct Row {
        std::string what;     // "clear", "copy", "fixed", or "<effect>.<technique>.p<pass>"
        std::string target;   // "back_buffer" or "texture<N>_<W>x<H>", N by first use in the frame
        uint64_t pixels = 0;  // summed over the measured frames
        double seconds = 0.0;
        int calls = 0;
        bool counted = true;  // false for clears and copies, which occlusion queries do not count
    };

    // Plays `frames` frames through `frame` with every draw measured; rows come in the order of
    // their first draw in a frame, one row per draw position of the first frame when every frame
    // draws the same sequence, else one per distinct (what, target).
    static std::vector<Row> Measure(IDirect3DDevice9* device, const std::wstring& effectPath, int frames,
                                    const std::function<void()>& frame);
    // Prints the rows as figures <prefix>NN.<what>.<target>.screens and .ms per frame, and their
    // sums beside the whole frame's counted fill.
    static void Print(const std::vector<Row>& rows, int frames, const std::string& prefix, double screenPixels);
};
