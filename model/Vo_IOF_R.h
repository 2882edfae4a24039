#pragma once
#include "model/ResourceBuffer.h"
#include "model/Vo_IOF_Virtual.h"

// The archive reader over a kind of byte buffer.
template <class Buffer>
class Vo_IOF_R;

// The archive reader over bytes held in memory. It does not own its buffer and shares the
// buffer's failed state: reading straight from the buffer (the counted lists of picture sets)
// and through the stream fail together. Composite values (data buffers, file blobs) are decoded
// whole before anything is stored, so a failed read leaves the destination exactly as it was.
template <>
class Vo_IOF_R<ResourceBuffer> : public Vo_IOF_Virtual {
public:
    explicit Vo_IOF_R(ResourceBuffer* buffer) : m_buffer(buffer) {}

    void ReadFileBlob(FileBlob& blob) override;
    void ReadDataBuffer(DataBuffer& buffer) override;
    void ReadString(vo_string& text) override;
    void ReadInt64(int64_t& value) override;
    void ReadFloat(float& value) override;
    void ReadPoint(tagPOINT& point) override;
    void ReadInt(int32_t& value) override;
    void ReadUInt(uint32_t& value) override;
    void ReadChar(uint8_t& value) override;
    void ReadBool(bool& value) override;
    void ReadLong(int32_t& value) override;

    // A stream without a buffer has nothing to read, so its first read fails too.
    bool Failed() const override { return !m_buffer || m_buffer->Failed(); }

private:
    const uint8_t* Take(size_t count);
    bool TakeString(vo_string& text, bool& present);
    bool TakeBufferFields(uint32_t& size, const uint8_t*& bytes, vo_string& name, bool& hasName);

    ResourceBuffer* m_buffer;
};
