#pragma once
// What the test environment's sound server played: its PulseAudio null sink recorded through
// the monitor by the host system's recorder, and measures of the recording.
#include <cstddef>
#include <cstdint>
#include <vector>

// The recordings' rate: 16-bit mono samples at 44.1 kHz.
const int kSampleRate = 44100;

// Records the sink for the given time (always from the test environment's server, whatever this
// process was told). The monitor hands its data over in chunks, so a recording holds less than
// its time, and at least half a second only when it ran for some seconds.
std::vector<int16_t> RecordSink(double seconds);

double Rms(const std::vector<int16_t>& samples);

// The share of a block's energy at one frequency (Goertzel): near 1 for a pure tone of it.
double ToneShare(const int16_t* block, size_t n, double frequency);

// Whether some 46 ms block of the recording is clearly the tone: loud enough, and most of its
// energy at that frequency.
bool HoldsTone(const std::vector<int16_t>& samples, double frequency);
