#pragma once
#include <cstdint>
#include <vector>

// A RIFF WAVE file in memory for the sound tests: a "fmt " chunk of formatSize bytes (16 for
// plain PCM, 18 with an extra-size field of extraSize, 40 for an extensible format) describing
// PCM at the given byte rate (0 allowed, to test its refusal), then a "data" chunk of dataSize
// bytes 1, 2, 3, ... (a dataSize below 0 leaves the chunk out). Chunks of odd size are padded.
std::vector<uint8_t> MakeWaveBytes(uint32_t bytesPerSecond, uint16_t channels,
                                   uint16_t bitsPerSample, int64_t dataSize,
                                   uint32_t formatSize = 18, uint16_t extraSize = 0);
