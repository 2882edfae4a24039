#include "sound/WaveData.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The largest sound buffer DirectSound makes (DSBSIZE_MAX).
const uint32_t kMaxSoundBufferBytes = 0x0FFFFFFF;
// An extensible format's chunk is 40 bytes; anything much larger is no format a buffer takes.
const uint32_t kMaxFormatBytes = 1024;

// Closes the memory file on every way out.
class MemoryFile {
public:
    MemoryFile(const uint8_t* bytes, uint32_t size)
    {
        MMIOINFO info = {};
        info.fccIOProc = FOURCC_MEM;
        // The memory reader only reads a read-only file.
        info.pchBuffer = reinterpret_cast<HPSTR>(const_cast<uint8_t*>(bytes));
        info.cchBuffer = static_cast<LONG>(size);
        m_file = mmioOpenW(nullptr, &info, MMIO_READ);
    }
    ~MemoryFile()
    {
        if (m_file)
            mmioClose(m_file, 0);
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    HMMIO Get() const { return m_file; }

    // Back to the start, into the "WAVE" form, then into the named chunk of it.
    bool FindChunk(const wchar_t* name, MMCKINFO& chunk)
    {
        MMCKINFO riff = {};
        riff.fccType = mmioStringToFOURCCW(L"WAVE", 0);
        chunk = MMCKINFO();
        chunk.ckid = mmioStringToFOURCCW(name, 0);
        return mmioSeek(m_file, 0, SEEK_SET) == 0 &&
               mmioDescend(m_file, &riff, nullptr, MMIO_FINDRIFF) == MMSYSERR_NOERROR &&
               mmioDescend(m_file, &chunk, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR &&
               chunk.dwDataOffset <= riff.dwDataOffset + riff.cksize;
    }

    // Reads exactly count bytes at the current position.
    bool ReadExactly(uint8_t* into, uint32_t count)
    {
        return count == 0 ||
               mmioRead(m_file, reinterpret_cast<HPSTR>(into), static_cast<LONG>(count)) ==
                   static_cast<LONG>(count);
    }

private:
    HMMIO m_file = nullptr;
};

}  // namespace

uint32_t WaveData::AverageBytesPerSecond() const
{
    if (format.size() < sizeof(WAVEFORMATEX))
        return 0;
    return reinterpret_cast<const WAVEFORMATEX*>(format.data())->nAvgBytesPerSec;
}

unsigned int WaveData::LengthInHundredths() const
{
    const uint32_t rate = AverageBytesPerSecond();
    if (rate == 0)
        return 0;
    return static_cast<unsigned int>(
        std::floor(static_cast<double>(samples.size()) * 100.0 / static_cast<double>(rate) + 0.5));
}

bool ParseWaveData(const uint8_t* bytes, uint32_t size, WaveData& wave)
{
    wave = WaveData();
    if (!bytes || size == 0)
        return false;
    MemoryFile file(bytes, size);
    if (!file.Get())
        return false;

    MMCKINFO chunk;
    if (!file.FindChunk(L"fmt ", chunk) || chunk.cksize < 16 || chunk.cksize > kMaxFormatBytes ||
        chunk.dwDataOffset > size || chunk.cksize > size - chunk.dwDataOffset)
        return false;
    WaveData read;
    read.format.assign(std::max<size_t>(chunk.cksize, sizeof(WAVEFORMATEX)), 0);
    if (!file.ReadExactly(read.format.data(), chunk.cksize))
        return false;
    if (chunk.cksize < sizeof(WAVEFORMATEX)) {
        // A plain PCM chunk has no size of extra bytes: there are none.
        reinterpret_cast<WAVEFORMATEX*>(read.format.data())->cbSize = 0;
    } else if (reinterpret_cast<const WAVEFORMATEX*>(read.format.data())->cbSize >
               chunk.cksize - sizeof(WAVEFORMATEX)) {
        return false;
    }
    if (read.AverageBytesPerSecond() == 0)
        return false;

    if (!file.FindChunk(L"data", chunk) || chunk.cksize == 0 || chunk.cksize > kMaxSoundBufferBytes ||
        chunk.dwDataOffset > size || chunk.cksize > size - chunk.dwDataOffset)
        return false;
    read.samples.resize(chunk.cksize);
    if (!file.ReadExactly(read.samples.data(), chunk.cksize))
        return false;
    wave = std::move(read);
    return true;
}
