#include "support/WaveBytes.h"

#include <cstring>

namespace {

void Append(std::vector<uint8_t>& bytes, const void* data, size_t size)
{
    const auto* from = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), from, from + size);
}

void AppendTag(std::vector<uint8_t>& bytes, const char* tag) { Append(bytes, tag, 4); }

void Append32(std::vector<uint8_t>& bytes, uint32_t value) { Append(bytes, &value, 4); }

void Append16(std::vector<uint8_t>& bytes, uint16_t value) { Append(bytes, &value, 2); }

}  // namespace

std::vector<uint8_t> MakeWaveBytes(uint32_t bytesPerSecond, uint16_t channels,
                                   uint16_t bitsPerSample, int64_t dataSize, uint32_t formatSize,
                                   uint16_t extraSize)
{
    std::vector<uint8_t> body;
    AppendTag(body, "WAVE");
    AppendTag(body, "fmt ");
    Append32(body, formatSize);
    std::vector<uint8_t> format;
    const uint16_t blockAlign = static_cast<uint16_t>(channels * bitsPerSample / 8);
    Append16(format, 1);  // PCM
    Append16(format, channels);
    Append32(format, blockAlign ? bytesPerSecond / blockAlign : 0);
    Append32(format, bytesPerSecond);
    Append16(format, blockAlign);
    Append16(format, bitsPerSample);
    Append16(format, extraSize);
    format.resize(formatSize, 0);
    Append(body, format.data(), format.size());
    if (formatSize % 2)
        body.push_back(0);
    if (dataSize >= 0) {
        AppendTag(body, "data");
        Append32(body, static_cast<uint32_t>(dataSize));
        for (int64_t i = 0; i < dataSize; ++i)
            body.push_back(static_cast<uint8_t>(i + 1));
        if (dataSize % 2)
            body.push_back(0);
    }
    std::vector<uint8_t> bytes;
    AppendTag(bytes, "RIFF");
    Append32(bytes, static_cast<uint32_t>(body.size()));
    Append(bytes, body.data(), body.size());
    return bytes;
}
