#pragma once
#include <cstdint>
#include <vector>

// The format and samples of RIFF WAVE data held in memory, as a DirectSound buffer takes them.
struct WaveData {
    // The whole "fmt " chunk, at least the 18 bytes of a WAVEFORMATEX (zero where the chunk is
    // shorter), so that extensible formats keep their extra bytes.
    std::vector<uint8_t> format;
    // The "data" chunk's bytes.
    std::vector<uint8_t> samples;

    uint32_t AverageBytesPerSecond() const;
    // The sound's length in hundredths of a second, rounded to the nearest.
    unsigned int LengthInHundredths() const;
};

// Parses the bytes through the multimedia file functions' memory reader. False, with the data
// left empty, for anything a sound buffer cannot be made from: no RIFF "WAVE" form, a "fmt " chunk
// under 16 bytes, over its own bounds or with an average byte rate of 0, no "data" chunk, an empty one, or a
// "data" chunk larger than the bytes present or than a sound buffer may be.
bool ParseWaveData(const uint8_t* bytes, uint32_t size, WaveData& wave);
