#include "support/SinkRecording.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "support/ProcessRunner.h"
#include "support/TestPaths.h"

std::vector<int16_t> RecordSink(double seconds)
{
    const std::string path = TestArtifactsDir() + "\\sink-recording.raw";
    char command[300];
    std::snprintf(command, sizeof(command),
                  "unset PULSE_SERVER; timeout -s INT %.1f parec -d nullsink.monitor "
                  "--latency-msec=20 --format=s16le --rate=%d --channels=1",
                  seconds, kSampleRate);
    std::vector<int16_t> samples;
    if (!RunHostCommand(command, path, 30000))
        return samples;
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    samples.resize(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

double Rms(const std::vector<int16_t>& samples)
{
    double sum = 0.0;
    for (int16_t s : samples)
        sum += static_cast<double>(s) * s;
    return samples.empty() ? 0.0 : std::sqrt(sum / samples.size());
}

double ToneShare(const int16_t* block, size_t n, double frequency)
{
    const double w = 2.0 * 3.14159265358979 * frequency / kSampleRate;
    const double coefficient = 2.0 * std::cos(w);
    double s1 = 0.0, s2 = 0.0, energy = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double s0 = block[i] + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
        energy += static_cast<double>(block[i]) * block[i];
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return energy > 0.0 ? 2.0 * power / (n * energy) : 0.0;
}

bool HoldsTone(const std::vector<int16_t>& samples, double frequency)
{
    const size_t n = 2048;
    for (size_t start = 0; start + n <= samples.size(); start += n) {
        const int16_t* block = samples.data() + start;
        if (Rms(std::vector<int16_t>(block, block + n)) >= 300.0 && ToneShare(block, n, frequency) > 0.5)
            return true;
    }
    return false;
}
