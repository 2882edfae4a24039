#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Read-backs of a fixed-time sequence of frames, to show that a change to how frames are drawn
// leaves every pixel as it was: each document plays at 1280 x 1024 from the same start, every
// frame at a fixed time, and each frame's back buffer is reduced to a hash of its colour bytes.
// Two runs (before and after a change) print the same lines exactly when every frame is equal.
class FrameReadbacks {
public:
    struct Document {
        std::string name;
        std::vector<uint8_t> bytes;
        float step;  // seconds between frames
        int frames = 0;  // 0: as many as the run asks of every document
    };

    // Prints "<name> <frame> <time> <hash>" per frame to the file at path (Windows path); with an
    // image folder, also writes each frame there as a BMP. Returns false when the file cannot be
    // written.
    static bool Write(const std::vector<Document>& documents, int frames, const std::wstring& path,
                      const std::wstring& imageFolder);
};
