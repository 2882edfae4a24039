#pragma once
#include <cstdint>

#include "model/vo_string.h"

struct tagPOINT;
class DataBuffer;
class FileBlob;

// The archive stream through which every record reader reads. Each read takes a reference to
// its destination and returns nothing; a stream that has failed (a read past the end of its
// bytes, a size larger than what remains) reads nothing more and leaves destinations alone, and
// callers ask Failed() once a record or document is read.
class Vo_IOF_Virtual {
public:
    virtual ~Vo_IOF_Virtual() = default;

    // Writes exist for the layout's sake; the player never writes an archive.
    virtual void WriteFileBlob(const FileBlob&) {}
    virtual void WriteDataBuffer(const DataBuffer&) {}
    virtual void WriteString(const vo_string&) {}
    virtual void WriteInt64(int64_t) {}
    virtual void WriteFloat(float) {}
    virtual void WritePoint(const tagPOINT&) {}
    virtual void WriteInt(int32_t) {}
    virtual void WriteUInt(uint32_t) {}
    virtual void WriteChar(uint8_t) {}
    virtual void WriteBool(bool) {}
    virtual void WriteLong(int32_t) {}

    virtual void ReadFileBlob(FileBlob& blob) = 0;
    virtual void ReadDataBuffer(DataBuffer& buffer) = 0;
    virtual void ReadString(vo_string& text) = 0;
    virtual void ReadInt64(int64_t& value) = 0;
    virtual void ReadFloat(float& value) = 0;
    virtual void ReadPoint(tagPOINT& point) = 0;
    virtual void ReadInt(int32_t& value) = 0;
    virtual void ReadUInt(uint32_t& value) = 0;
    virtual void ReadChar(uint8_t& value) = 0;
    virtual void ReadBool(bool& value) = 0;
    virtual void ReadLong(int32_t& value) = 0;

    // True once any read ran past the end of the bytes or met an impossible size; stays true.
    virtual bool Failed() const = 0;
};
