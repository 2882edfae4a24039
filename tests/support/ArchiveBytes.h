#pragma once
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

// Builds archive bytes by hand for reader tests: little-endian values, and wide strings with
// the marker bytes FF FE FF and the shortest length header (or a chosen longer one).
class ArchiveBytes {
public:
    enum class Header { Shortest, Word, DoubleWord };

    ArchiveBytes& Raw(std::initializer_list<uint8_t> bytes)
    {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    ArchiveBytes& Raw(const std::vector<uint8_t>& bytes)
    {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    ArchiveBytes& U8(uint8_t v) { return Raw({v}); }
    ArchiveBytes& U16(uint16_t v) { return Raw({uint8_t(v), uint8_t(v >> 8)}); }
    ArchiveBytes& U32(uint32_t v) { return U16(uint16_t(v)).U16(uint16_t(v >> 16)); }
    ArchiveBytes& I32(int32_t v) { return U32(uint32_t(v)); }
    ArchiveBytes& U64(uint64_t v) { return U32(uint32_t(v)).U32(uint32_t(v >> 32)); }
    ArchiveBytes& F32(float v)
    {
        uint32_t bits;
        static_assert(sizeof bits == sizeof v, "float is 32 bits");
        std::memcpy(&bits, &v, sizeof bits);
        return U32(bits);
    }
    ArchiveBytes& Str(const std::wstring& text, Header header = Header::Shortest)
    {
        Raw({0xFF, 0xFE, 0xFF});
        const uint32_t n = uint32_t(text.size());
        if (header == Header::Shortest)
            header = n < 0xFF ? Header::Shortest : n < 0xFFFF ? Header::Word : Header::DoubleWord;
        if (header == Header::Shortest)
            U8(uint8_t(n));
        else if (header == Header::Word)
            U8(0xFF).U16(uint16_t(n));
        else
            U8(0xFF).U16(0xFFFF).U32(n);
        for (wchar_t unit : text)
            U16(uint16_t(unit));
        return *this;
    }
    ArchiveBytes& Buffer(const std::vector<uint8_t>& data, const std::wstring& name)
    {
        return U32(uint32_t(data.size())).Raw(data).Str(name);
    }
    ArchiveBytes& Blob(int32_t id, const std::wstring& module, const std::vector<uint8_t>& data,
                       const std::wstring& name)
    {
        return I32(id).Str(module).Buffer(data, name);
    }

    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    size_t Size() const { return m_bytes.size(); }

private:
    std::vector<uint8_t> m_bytes;
};
