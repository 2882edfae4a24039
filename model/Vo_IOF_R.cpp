#include "model/Vo_IOF_R.h"

#include <cstring>

#include "model/DataBuffer.h"
#include "model/ReadWideString.h"

namespace {

uint32_t LoadUInt32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

const uint8_t* Vo_IOF_R<ResourceBuffer>::Take(size_t count)
{
    return m_buffer ? m_buffer->Take(count) : nullptr;
}

// Decodes a wide string into text and takes its bytes. present is false for a stored empty
// string, which callers must not assign (the destination's default survives it).
bool Vo_IOF_R<ResourceBuffer>::TakeString(vo_string& text, bool& present)
{
    if (!m_buffer || m_buffer->Failed())
        return false;
    vo_string decoded;
    const size_t bytes = ReadWideString(m_buffer->Cursor(), m_buffer->End(), decoded, present);
    if (bytes == 0) {
        m_buffer->Fail();
        return false;
    }
    m_buffer->Take(bytes);
    if (present)
        text = std::move(decoded);
    return true;
}

// Size, bytes and name of a data buffer, in stream order. The bytes stay where they are until the
// caller stores them, and a size larger than what remains fails before anything is allocated.
bool Vo_IOF_R<ResourceBuffer>::TakeBufferFields(uint32_t& size, const uint8_t*& bytes, vo_string& name,
                                                bool& hasName)
{
    const uint8_t* sizeBytes = Take(4);
    if (!sizeBytes)
        return false;
    size = LoadUInt32(sizeBytes);
    bytes = size ? Take(size) : nullptr;
    if (size && !bytes)
        return false;
    return TakeString(name, hasName);
}

void Vo_IOF_R<ResourceBuffer>::ReadFileBlob(FileBlob& blob)
{
    const uint8_t* idBytes = Take(4);
    if (!idBytes)
        return;
    vo_string moduleName;
    bool hasModuleName = false;
    if (!TakeString(moduleName, hasModuleName))
        return;
    uint32_t size = 0;
    const uint8_t* bytes = nullptr;
    vo_string name;
    bool hasName = false;
    if (!TakeBufferFields(size, bytes, name, hasName))
        return;

    blob.SetResourceId(static_cast<int32_t>(LoadUInt32(idBytes)));
    if (hasModuleName)
        blob.SetModuleName(moduleName);
    // The name first: SetName drops the bytes when the name changes.
    if (hasName)
        blob.SetName(name);
    blob.SetData(size, bytes);
}

void Vo_IOF_R<ResourceBuffer>::ReadDataBuffer(DataBuffer& buffer)
{
    uint32_t size = 0;
    const uint8_t* bytes = nullptr;
    vo_string name;
    bool hasName = false;
    if (!TakeBufferFields(size, bytes, name, hasName))
        return;
    if (hasName)
        buffer.SetName(name);
    buffer.SetData(size, bytes);
}

void Vo_IOF_R<ResourceBuffer>::ReadString(vo_string& text)
{
    bool present = false;
    TakeString(text, present);
}

void Vo_IOF_R<ResourceBuffer>::ReadInt64(int64_t& value)
{
    if (const uint8_t* p = Take(8))
        value = static_cast<int64_t>(uint64_t(LoadUInt32(p + 4)) << 32 | LoadUInt32(p));
}

void Vo_IOF_R<ResourceBuffer>::ReadFloat(float& value)
{
    if (const uint8_t* p = Take(4)) {
        const uint32_t bits = LoadUInt32(p);
        std::memcpy(&value, &bits, sizeof value);
    }
}

void Vo_IOF_R<ResourceBuffer>::ReadPoint(tagPOINT& point)
{
    // Both coordinates or neither: a point cut in half leaves the destination whole.
    if (const uint8_t* p = Take(8)) {
        point.x = static_cast<LONG>(static_cast<int32_t>(LoadUInt32(p)));
        point.y = static_cast<LONG>(static_cast<int32_t>(LoadUInt32(p + 4)));
    }
}

void Vo_IOF_R<ResourceBuffer>::ReadInt(int32_t& value)
{
    if (const uint8_t* p = Take(4))
        value = static_cast<int32_t>(LoadUInt32(p));
}

void Vo_IOF_R<ResourceBuffer>::ReadUInt(uint32_t& value)
{
    if (const uint8_t* p = Take(4))
        value = LoadUInt32(p);
}

void Vo_IOF_R<ResourceBuffer>::ReadChar(uint8_t& value)
{
    if (const uint8_t* p = Take(1))
        value = *p;
}

void Vo_IOF_R<ResourceBuffer>::ReadBool(bool& value)
{
    if (const uint8_t* p = Take(1))
        value = *p != 0;
}

void Vo_IOF_R<ResourceBuffer>::ReadLong(int32_t& value)
{
    if (const uint8_t* p = Take(4))
        value = static_cast<int32_t>(LoadUInt32(p));
}
