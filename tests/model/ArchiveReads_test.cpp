#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <new>
#include <vector>

#include "model/ArchiveReads.h"
#include "model/Vo_IOF_R.h"
#include "support/ArchiveBytes.h"
#include "support/GuardPageBuffer.h"
#include "support/QueuedStream.h"

// Counts the bytes this test program allocates while a test arms the counter, so a test can show
// that a damaged count does not turn into a huge allocation (which would be slow or throw,
// rather than fail cleanly).
namespace {
bool s_countAllocations = false;
size_t s_allocatedBytes = 0;
} // namespace

void* operator new(size_t size)
{
    if (s_countAllocations)
        s_allocatedBytes += size;
    if (void* p = HeapAlloc(GetProcessHeap(), 0, size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    if (p)
        HeapFree(GetProcessHeap(), 0, p);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }

namespace {

using Reader = Vo_IOF_R<ResourceBuffer>;

class AllocationCount {
public:
    AllocationCount()
    {
        s_allocatedBytes = 0;
        s_countAllocations = true;
    }
    ~AllocationCount() { s_countAllocations = false; }
    size_t Bytes() const { return s_allocatedBytes; }
};

// Counts far beyond what the bytes after them could hold. Each must fail the read, leave the
// list as it was and allocate next to nothing.
struct HugeCountCase {
    const char* what;
    uint32_t count;
};
const HugeCountCase kHugeCounts[] = {
    {"0x7FFFFFFF", 0x7FFFFFFF},
    {"0xFFFFFFFF (-1 as a signed count)", 0xFFFFFFFF},
    {"0x80000000", 0x80000000},
    {"one more than the bytes hold", 3},
};

TEST(ArchiveReads, FloatListWithAHugeCountFailsWithoutAllocating)
{
    for (const HugeCountCase& c : kHugeCounts) {
        SCOPED_TRACE(c.what);
        // Ten bytes after the count: two whole floats and a partial one.
        const auto bytes = ArchiveBytes().U32(c.count).F32(1.0f).F32(2.0f).Raw({0, 0}).Bytes();
        GuardPageBuffer memory(bytes);
        ResourceBuffer buffer(memory.begin(), memory.end());
        Reader stream(&buffer);
        std::vector<float> values = {5.0f};
        AllocationCount allocations;
        ReadFloatVector(stream, values);
        EXPECT_LT(allocations.Bytes(), 1024u);
        EXPECT_TRUE(stream.Failed());
        EXPECT_EQ(values, std::vector<float>{5.0f});
    }
}

TEST(ArchiveReads, BlobListWithAHugeCountFailsWithoutAllocating)
{
    for (const HugeCountCase& c : kHugeCounts) {
        SCOPED_TRACE(c.what);
        const auto bytes = ArchiveBytes().U32(c.count).Blob(1, L"", {1}, L"a").Blob(2, L"", {}, L"").Bytes();
        GuardPageBuffer memory(bytes);
        ResourceBuffer buffer(memory.begin(), memory.end());
        Reader stream(&buffer);
        std::vector<FileBlob> blobs(1);
        AllocationCount allocations;
        ReadFileBlobVector(stream, blobs);
        EXPECT_LT(allocations.Bytes(), 4096u);
        EXPECT_TRUE(stream.Failed());
        EXPECT_EQ(blobs.size(), 1u);
    }
}

TEST(ArchiveReads, BufferListsWithAHugeCountFailBeforeAllocating)
{
    for (const HugeCountCase& c : kHugeCounts) {
        SCOPED_TRACE(c.what);
        {
            const auto bytes = ArchiveBytes().U32(c.count).F32(1.0f).F32(2.0f).Raw({0, 0}).Bytes();
            GuardPageBuffer memory(bytes);
            ResourceBuffer buffer(memory.begin(), memory.end());
            std::vector<float> delays = {5.0f};
            AllocationCount allocations;
            EXPECT_FALSE(ReadDelaysFromBuffer(buffer, delays));
            EXPECT_EQ(allocations.Bytes(), 0u);
            EXPECT_TRUE(buffer.Failed());
            EXPECT_EQ(delays, std::vector<float>{5.0f});
        }
        {
            // Two smallest blobs (16 bytes each) follow: room for two, never for three.
            const auto bytes = ArchiveBytes().U32(c.count).Blob(1, L"", {}, L"").Blob(2, L"", {}, L"").Bytes();
            GuardPageBuffer memory(bytes);
            ResourceBuffer buffer(memory.begin(), memory.end());
            std::vector<FileBlob> blobs(1);
            AllocationCount allocations;
            EXPECT_FALSE(ReadFileBlobsFromBuffer(buffer, blobs));
            EXPECT_EQ(allocations.Bytes(), 0u);
            EXPECT_TRUE(buffer.Failed());
            EXPECT_EQ(blobs.size(), 1u);
        }
    }
}

// The stream lists append to what the vector holds; the buffer lists make the vector exactly the
// stored list, an empty one included.
TEST(ArchiveReads, StreamListsAppendAndBufferListsReplace)
{
    const auto bytes = ArchiveBytes()
                           .U32(1).F32(3.0f)
                           .U32(0)
                           .U32(0)
                           .U32(1).Blob(4, L"", {}, L"x")
                           .Bytes();
    GuardPageBuffer memory(bytes);
    ResourceBuffer buffer(memory.begin(), memory.end());
    Reader stream(&buffer);
    std::vector<float> appended = {1.0f, 2.0f};
    ReadFloatVector(stream, appended);
    EXPECT_EQ(appended, (std::vector<float>{1.0f, 2.0f, 3.0f}));

    std::vector<float> replaced = {1.0f, 2.0f};
    EXPECT_TRUE(ReadDelaysFromBuffer(buffer, replaced));
    EXPECT_TRUE(replaced.empty());

    std::vector<FileBlob> blobs(2);
    EXPECT_TRUE(ReadFileBlobsFromBuffer(buffer, blobs));
    EXPECT_TRUE(blobs.empty());
    std::vector<FileBlob> again(2);
    EXPECT_TRUE(ReadFileBlobsFromBuffer(buffer, again));
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].ResourceId(), 4);
    EXPECT_EQ(again[0].Name(), L"x");
    EXPECT_FALSE(buffer.Failed());
}

// Unlike a plain blob read, an archive blob starts empty: stored empty strings give empty strings.
TEST(ArchiveReads, ArchiveFileBlobStartsFromAnEmptyBlob)
{
    FileBlob stored(0, L"");
    QueuedStream stream;
    stream.Push(QueuedStream::Blob{stored});
    FileBlob blob(70, L"test_res.dll");
    blob.SetName(L"old.png");
    const uint8_t held[] = {1, 2};
    blob.SetData(2, held);
    ReadArchiveFileBlob(stream, blob);
    EXPECT_EQ(blob.ResourceId(), 0);
    EXPECT_EQ(blob.ModuleName(), L"");
    EXPECT_EQ(blob.Name(), L"");
    EXPECT_EQ(blob.Size(), 0u);
}

TEST(ArchiveReads, GuidFromBracedText)
{
    const GUID expected = {0x082B574A, 0x73A8, 0x4C9C, {0x80, 0xDE, 0xC8, 0xB8, 0x5A, 0x9F, 0x97, 0x69}};
    const GUID before = {0x11111111, 0x2222, 0x3333, {4, 4, 4, 4, 4, 4, 4, 4}};
    struct Case {
        const wchar_t* text;
        bool converts;
    };
    const Case cases[] = {
        {L"{082B574A-73A8-4C9C-80DE-C8B85A9F9769}", true},
        // Text the platform rejects leaves the GUID as it was.
        {L"not a guid", false},
        {L"{082B574A-73A8-4C9C-80DE-C8B85A9F976}", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.text, c.text + wcslen(c.text)));
        QueuedStream stream;
        stream.Push(QueuedStream::String{c.text});
        GUID guid = before;
        ReadGuid(stream, guid);
        EXPECT_TRUE(IsEqualGUID(guid, c.converts ? expected : before));
        EXPECT_EQ(stream.Remaining(), 0u);
    }
}

TEST(ArchiveReads, RecordHeaderReadsNameThenVersion)
{
    QueuedStream stream;
    stream.Push(QueuedStream::String{L"Vo_AnyClassName"}).Push(QueuedStream::Int{7});
    EXPECT_EQ(ReadRecordHeader(stream), 7);
    EXPECT_EQ(stream.Remaining(), 0u);
    EXPECT_FALSE(stream.Failed());
}

TEST(ArchiveReads, DeleteDocumentStreamDestroysThroughTheBase)
{
    struct WatchedStream : QueuedStream {
        explicit WatchedStream(bool& destroyed) : m_destroyed(destroyed) {}
        ~WatchedStream() override { m_destroyed = true; }
        bool& m_destroyed;
    };
    bool destroyed = false;
    Vo_IOF_Virtual* stream = new WatchedStream(destroyed);
    DeleteDocumentStream(stream);
    EXPECT_TRUE(destroyed);
    DeleteDocumentStream(nullptr);
}

} // namespace
