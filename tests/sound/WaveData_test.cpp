#include "sound/WaveData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/WaveBytes.h"

// Each case is a file made by hand, byte by byte, so the expectations do not come from the
// parser's own view of RIFF.
TEST(WaveDataTest, ParsesWhatABufferCanTakeAndRefusesTheRest)
{
    const std::vector<uint8_t> second = MakeWaveBytes(176400, 2, 16, 176400);
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        bool parsed;
        size_t formatSize, samples;
        unsigned length;
    } cases[] = {
        {"1 s 44.1 kHz 16-bit stereo", second, true, 18, 176400, 100},
        {"16-byte PCM format chunk", MakeWaveBytes(44100, 1, 16, 4410, 16), true, 18, 4410, 10},
        {"40-byte extensible chunk", MakeWaveBytes(16000, 1, 16, 1600, 40, 22), true, 40, 1600, 10},
        {"extra size beyond the chunk", MakeWaveBytes(8000, 1, 16, 1600, 40, 23), false, 0, 0, 0},
        {"format chunk under 16 bytes", MakeWaveBytes(8000, 1, 16, 1600, 14), false, 0, 0, 0},
        {"average byte rate 0", MakeWaveBytes(0, 1, 16, 1600), false, 0, 0, 0},
        {"no data chunk", MakeWaveBytes(8000, 1, 16, -1), false, 0, 0, 0},
        {"empty data chunk", MakeWaveBytes(8000, 1, 16, 0), false, 0, 0, 0},
        {"not RIFF", std::vector<uint8_t>(64, 'x'), false, 0, 0, 0},
        {"nothing", {}, false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WaveData wave;
        EXPECT_EQ(ParseWaveData(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()), wave), c.parsed);
        EXPECT_EQ(wave.format.size(), c.formatSize);
        EXPECT_EQ(wave.samples.size(), c.samples);
        EXPECT_EQ(wave.LengthInHundredths(), c.length);
    }
}

TEST(WaveDataTest, DataChunkClaimingMoreThanThereIsIsRefused)
{
    // The file ends half-way through its data: the size in the header says 1600, 800 are there.
    std::vector<uint8_t> cut = MakeWaveBytes(8000, 1, 16, 1600);
    cut.resize(cut.size() - 800);
    WaveData wave;
    EXPECT_FALSE(ParseWaveData(cut.data(), static_cast<uint32_t>(cut.size()), wave));
    EXPECT_TRUE(wave.samples.empty());

    // And every cut of a good file is refused or read whole, never read past its end.
    const std::vector<uint8_t> whole = MakeWaveBytes(8000, 1, 16, 64);
    for (size_t size = 0; size < whole.size(); ++size) {
        std::vector<uint8_t> part(whole.begin(), whole.begin() + size);
        EXPECT_FALSE(ParseWaveData(part.data(), static_cast<uint32_t>(part.size()), wave)) << size;
    }
}

TEST(WaveDataTest, SamplesAreTheDataChunksBytes)
{
    const std::vector<uint8_t> bytes = MakeWaveBytes(8000, 1, 8, 5);
    WaveData wave;
    ASSERT_TRUE(ParseWaveData(bytes.data(), static_cast<uint32_t>(bytes.size()), wave));
    ASSERT_EQ(wave.samples.size(), 5u);
    // The builder fills sample i with the byte i + 1, after a 44-byte header.
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(wave.samples[i], i + 1);
    EXPECT_EQ(wave.AverageBytesPerSecond(), 8000u);
}
