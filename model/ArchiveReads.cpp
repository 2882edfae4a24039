#include "model/ArchiveReads.h"

#include <objbase.h>

#include "model/Vo_IOF_R.h"

namespace {

// The smallest stored forms, for bounding a count by the bytes that remain.
constexpr size_t kFloatBytes = 4;
// id, an empty module name, size 0, an empty name.
constexpr size_t kMinFileBlobBytes = 4 + 4 + 4 + 4;

// Appends count values read by readOne; on a failed stream the values already appended are
// removed again. Elements are appended one by one rather than reserved up front, so a damaged
// count can only cost as much memory as the stream really holds.
template <class T, class ReadOne>
void AppendCounted(Vo_IOF_Virtual& stream, std::vector<T>& values, ReadOne readOne)
{
    int32_t storedCount = 0;
    stream.ReadInt(storedCount);
    if (stream.Failed())
        return;
    const uint32_t count = static_cast<uint32_t>(storedCount);
    const size_t oldSize = values.size();
    for (uint32_t i = 0; i < count; ++i) {
        T value{};
        readOne(value);
        if (stream.Failed()) {
            values.resize(oldSize);
            return;
        }
        values.push_back(std::move(value));
    }
}

// Reads a 32-bit count from the buffer and checks that count elements of at least minBytes each
// can still follow.
bool ReadBoundedCount(Vo_IOF_R<ResourceBuffer>& stream, ResourceBuffer& buffer, size_t minBytes,
                      uint32_t& count)
{
    count = 0;
    stream.ReadUInt(count);
    if (stream.Failed())
        return false;
    if (count > buffer.Remaining() / minBytes) {
        buffer.Fail();
        return false;
    }
    return true;
}

} // namespace

int32_t ReadRecordHeader(Vo_IOF_Virtual& stream)
{
    vo_string className;
    int32_t version = 0;
    stream.ReadString(className);
    stream.ReadInt(version);
    return version;
}

void ReadGuid(Vo_IOF_Virtual& stream, GUID& guid)
{
    vo_string text;
    stream.ReadString(text);
    if (stream.Failed())
        return;
    GUID parsed = guid;
    if (SUCCEEDED(CLSIDFromString(text.c_str(), &parsed)))
        guid = parsed;
}

void ReadFloatVector(Vo_IOF_Virtual& stream, std::vector<float>& values)
{
    AppendCounted(stream, values, [&](float& value) { stream.ReadFloat(value); });
}

void ReadArchiveFileBlob(Vo_IOF_Virtual& stream, FileBlob& blob)
{
    FileBlob fresh;
    stream.ReadFileBlob(fresh);
    if (!stream.Failed())
        blob = std::move(fresh);
}

void ReadFileBlobVector(Vo_IOF_Virtual& stream, std::vector<FileBlob>& blobs)
{
    AppendCounted(stream, blobs, [&](FileBlob& blob) { ReadArchiveFileBlob(stream, blob); });
}

bool ReadDelaysFromBuffer(ResourceBuffer& buffer, std::vector<float>& delays)
{
    Vo_IOF_R<ResourceBuffer> stream(&buffer);
    uint32_t count = 0;
    if (!ReadBoundedCount(stream, buffer, kFloatBytes, count))
        return false;
    std::vector<float> read(count, 0.0f);
    for (float& delay : read)
        stream.ReadFloat(delay);
    if (stream.Failed())
        return false;
    delays = std::move(read);
    return true;
}

bool ReadFileBlobsFromBuffer(ResourceBuffer& buffer, std::vector<FileBlob>& blobs)
{
    Vo_IOF_R<ResourceBuffer> stream(&buffer);
    uint32_t count = 0;
    if (!ReadBoundedCount(stream, buffer, kMinFileBlobBytes, count))
        return false;
    std::vector<FileBlob> read(count);
    for (FileBlob& blob : read) {
        stream.ReadFileBlob(blob);
        if (stream.Failed())
            return false;
    }
    blobs = std::move(read);
    return true;
}

void DeleteDocumentStream(Vo_IOF_Virtual* stream)
{
    delete stream;
}
