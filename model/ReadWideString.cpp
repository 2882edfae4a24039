#include "model/ReadWideString.h"

#include <cstring>

namespace {

constexpr size_t kMarkerBytes = 3;

uint32_t LoadLittleEndian(const uint8_t* p, size_t bytes)
{
    uint32_t value = 0;
    for (size_t i = bytes; i > 0; --i)
        value = (value << 8) | p[i - 1];
    return value;
}

// Reads the length and header size; false when the header itself runs past end.
bool ReadLength(const uint8_t* p, size_t available, uint32_t& length, size_t& header)
{
    header = kMarkerBytes + 1;
    if (available < header)
        return false;
    length = p[kMarkerBytes];
    if (length != 0xFF)
        return true;
    header += 2;
    if (available < header)
        return false;
    length = LoadLittleEndian(p + kMarkerBytes + 1, 2);
    if (length != 0xFFFF)
        return true;
    header += 4;
    if (available < header)
        return false;
    length = LoadLittleEndian(p + kMarkerBytes + 3, 4);
    return true;
}

} // namespace

size_t ReadWideString(const uint8_t* p, const uint8_t* end, vo_string& text)
{
    bool assigned = false;
    return ReadWideString(p, end, text, assigned);
}

size_t ReadWideString(const uint8_t* p, const uint8_t* end, vo_string& text, bool& assigned)
{
    assigned = false;
    if (!p || !end || end < p)
        return 0;
    const size_t available = static_cast<size_t>(end - p);
    uint32_t length = 0;
    size_t header = 0;
    if (!ReadLength(p, available, length, header))
        return 0;
    // Compared by division: 2 x length can exceed what size_t holds on a 32-bit build.
    if (length > (available - header) / 2)
        return 0;
    if (length == 0)
        return header;

    // wchar_t is 16 bits on this platform, so the units copy straight into the string.
    static_assert(sizeof(wchar_t) == 2, "archive strings are UTF-16");
    vo_string units(length, L'\0');
    std::memcpy(&units[0], p + header, size_t(length) * 2);
    const size_t nul = units.find(L'\0');
    if (nul != vo_string::npos)
        units.resize(nul);
    text = std::move(units);
    assigned = true;
    return header + size_t(length) * 2;
}
