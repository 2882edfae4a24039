#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Appends values to a byte vector in the archive encodings that the player's stream reads:
// little-endian, no padding, no type tags. The writer knows nothing of records; the listing
// decides what follows what.
class ArchiveWriter {
public:
    void WriteInt(int32_t value) { WriteLittleEndian(static_cast<uint32_t>(value), 4); }
    void WriteUInt(uint32_t value) { WriteLittleEndian(value, 4); }
    void WriteLong(int32_t value) { WriteLittleEndian(static_cast<uint32_t>(value), 4); }
    void WriteInt64(uint64_t value) { WriteLittleEndian(value, 8); }
    void WriteFloat(float value);
    void WriteChar(uint8_t value) { m_bytes.push_back(value); }
    void WriteBool(bool value) { m_bytes.push_back(value ? 1 : 0); }
    void WritePoint(int32_t x, int32_t y);
    // Marker bytes FF FE FF, then the shortest length header that holds the unit count.
    void WriteString(const std::u16string& units);
    void WriteDataBuffer(const std::vector<uint8_t>& data, const std::u16string& name);
    void WriteFileBlob(int32_t resourceId, const std::u16string& moduleName,
                       const std::vector<uint8_t>& data, const std::u16string& name);
    void WriteRaw(const std::vector<uint8_t>& bytes);

    // Overwrites four bytes already written, for counts known only after their items.
    void PatchUInt(size_t offset, uint32_t value);

    size_t Size() const { return m_bytes.size(); }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    void WriteLittleEndian(uint64_t value, int byteCount);

    std::vector<uint8_t> m_bytes;
};
