#include "ArchiveWriter.h"

#include <cstring>
#include <stdexcept>

void ArchiveWriter::WriteLittleEndian(uint64_t value, int byteCount)
{
    for (int i = 0; i < byteCount; ++i)
        m_bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void ArchiveWriter::WriteFloat(float value)
{
    uint32_t bits = 0;
    static_assert(sizeof(bits) == sizeof(value), "IEEE 754 single expected");
    std::memcpy(&bits, &value, sizeof(bits));
    WriteLittleEndian(bits, 4);
}

void ArchiveWriter::WritePoint(int32_t x, int32_t y)
{
    WriteInt(x);
    WriteInt(y);
}

void ArchiveWriter::WriteString(const std::u16string& units)
{
    m_bytes.push_back(0xFF);
    m_bytes.push_back(0xFE);
    m_bytes.push_back(0xFF);
    // 0xFF and 0xFFFF are escapes to the next wider length, so a count equal to an escape value
    // must already use the wider form.
    const uint64_t count = units.size();
    if (count < 0xFF) {
        WriteLittleEndian(count, 1);
    } else if (count < 0xFFFF) {
        m_bytes.push_back(0xFF);
        WriteLittleEndian(count, 2);
    } else {
        if (count > 0xFFFFFFFFu)
            throw std::length_error("string longer than a 32-bit length can hold");
        m_bytes.push_back(0xFF);
        WriteLittleEndian(0xFFFF, 2);
        WriteLittleEndian(count, 4);
    }
    for (char16_t unit : units)
        WriteLittleEndian(unit, 2);
}

void ArchiveWriter::WriteDataBuffer(const std::vector<uint8_t>& data, const std::u16string& name)
{
    if (data.size() > 0xFFFFFFFFu)
        throw std::length_error("data larger than a 32-bit size can hold");
    WriteUInt(static_cast<uint32_t>(data.size()));
    WriteRaw(data);
    WriteString(name);
}

void ArchiveWriter::WriteFileBlob(int32_t resourceId, const std::u16string& moduleName,
                                  const std::vector<uint8_t>& data, const std::u16string& name)
{
    WriteInt(resourceId);
    WriteString(moduleName);
    WriteDataBuffer(data, name);
}

void ArchiveWriter::WriteRaw(const std::vector<uint8_t>& bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

void ArchiveWriter::PatchUInt(size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        m_bytes.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}
