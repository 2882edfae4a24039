#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/ArchiveReads.h"
#include "model/DataBuffer.h"
#include "model/ResourceBuffer.h"
#include "model/Vo_IOF_R.h"
#include "support/ArchiveBytes.h"
#include "support/GuardPageBuffer.h"

namespace {

using Reader = Vo_IOF_R<ResourceBuffer>;

ResourceBuffer Over(const GuardPageBuffer& memory) { return ResourceBuffer(memory.begin(), memory.end()); }

bool BlobIs(const FileBlob& blob, int32_t id, const std::wstring& module, const std::vector<uint8_t>& data,
            const std::wstring& name)
{
    return blob.ResourceId() == id && blob.ModuleName() == module && blob.Name() == name &&
           std::vector<uint8_t>(blob.Data(), blob.Data() + blob.Size()) == data;
}

bool BufferIs(const DataBuffer& buffer, const std::vector<uint8_t>& data, const std::wstring& name)
{
    return buffer.Name() == name && std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Size()) == data;
}

// ---------------------------------------------------------------------------------------------
// Scalars: the byte layouts of every fixed-size value, read in one hand-built run.

TEST(Vo_IOF_R, ReadsFixedSizeValuesLittleEndian)
{
    const std::vector<uint8_t> bytes = {
        0xFE, 0xFF, 0xFF, 0xFF,                         // int -2
        0xFE, 0xFF, 0xFF, 0xFF,                         // the same bytes as uint
        0x40, 0xE2, 0x01, 0x00,                         // long 123456
        0xAB,                                           // char
        0x00, 0x01, 0x80,                               // bools: zero false, anything else true
        0x00, 0x00, 0x40, 0xBF,                         // float -0.75
        0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, // int64: low 32 bits first
        0xFB, 0xFF, 0xFF, 0xFF, 0x06, 0x00, 0x00, 0x00, // point (-5, 6)
    };
    GuardPageBuffer memory(bytes);
    ResourceBuffer buffer = Over(memory);
    Reader stream(&buffer);

    int32_t i = 0, l = 0;
    uint32_t u = 0;
    uint8_t c = 0;
    bool b0 = true, b1 = false, b2 = false;
    float f = 0;
    int64_t i64 = 0;
    POINT pt = {};
    stream.ReadInt(i);
    stream.ReadUInt(u);
    stream.ReadLong(l);
    stream.ReadChar(c);
    stream.ReadBool(b0);
    stream.ReadBool(b1);
    stream.ReadBool(b2);
    stream.ReadFloat(f);
    stream.ReadInt64(i64);
    stream.ReadPoint(pt);

    EXPECT_EQ(i, -2);
    EXPECT_EQ(u, 0xFFFFFFFEu);
    EXPECT_EQ(l, 123456);
    EXPECT_EQ(c, 0xAB);
    EXPECT_FALSE(b0);
    EXPECT_TRUE(b1);
    EXPECT_TRUE(b2);
    EXPECT_EQ(f, -0.75f);
    EXPECT_EQ(i64, 2 * (int64_t(1) << 32) + 1);
    EXPECT_EQ(pt.x, -5);
    EXPECT_EQ(pt.y, 6);
    EXPECT_FALSE(stream.Failed());
    EXPECT_EQ(buffer.Cursor(), buffer.End());
}

TEST(Vo_IOF_R, ReadsStringsThroughTheSharedDecoder)
{
    const auto bytes = ArchiveBytes().Str(L"ZUL v 4.0.0").Str(L"").Str(L"next").Bytes();
    GuardPageBuffer memory(bytes);
    ResourceBuffer buffer = Over(memory);
    Reader stream(&buffer);
    std::wstring tag, face = L"Arial", next;
    stream.ReadString(tag);
    EXPECT_EQ(buffer.Cursor(), memory.begin() + 26);
    stream.ReadString(face);
    EXPECT_EQ(buffer.Cursor(), memory.begin() + 30);
    stream.ReadString(next);
    EXPECT_EQ(tag, L"ZUL v 4.0.0");
    EXPECT_EQ(face, L"Arial");
    EXPECT_EQ(next, L"next");
    EXPECT_FALSE(stream.Failed());
}

// ---------------------------------------------------------------------------------------------
// Data buffers and file blobs.

TEST(Vo_IOF_R, ReadsDataBuffers)
{
    // Size 0 takes 4 bytes plus the name and drops the bytes the destination held; an empty
    // stored name keeps the destination's name.
    const auto bytes = ArchiveBytes()
                           .U32(0).Str(L"empty.wav")
                           .U32(3).Raw({7, 8, 9}).Str(L"")
                           .Bytes();
    GuardPageBuffer memory(bytes);
    ResourceBuffer buffer = Over(memory);
    Reader stream(&buffer);

    DataBuffer first;
    first.SetName(L"old.wav");
    const uint8_t old[] = {1, 2};
    first.SetData(2, old);
    stream.ReadDataBuffer(first);
    EXPECT_EQ(buffer.Cursor(), memory.begin() + 4 + 4 + 18);
    EXPECT_TRUE(BufferIs(first, {}, L"empty.wav"));
    EXPECT_EQ(first.Data(), nullptr);

    DataBuffer second;
    second.SetName(L"kept.mp3");
    stream.ReadDataBuffer(second);
    EXPECT_TRUE(BufferIs(second, {7, 8, 9}, L"kept.mp3"));
    // The bytes are the buffer's own, not a view of the archive.
    EXPECT_NE(second.Data(), memory.begin() + 26 + 4);
    EXPECT_FALSE(stream.Failed());
}

TEST(Vo_IOF_R, ReadsFileBlobs)
{
    const auto bytes = ArchiveBytes()
                           .I32(6).Str(L"common_res.dll").U32(0).Str(L"")
                           .I32(-1).Str(L"").U32(2).Raw({0xAA, 0xBB}).Str(L"Sea.jpg")
                           .Bytes();
    GuardPageBuffer memory(bytes);
    ResourceBuffer buffer = Over(memory);
    Reader stream(&buffer);

    FileBlob moduleBlob;
    stream.ReadFileBlob(moduleBlob);
    EXPECT_EQ(buffer.Cursor(), memory.begin() + 44);
    EXPECT_TRUE(BlobIs(moduleBlob, 6, L"common_res.dll", {}, L""));

    // Empty stored strings keep what the destination held, as every string read does.
    FileBlob embedded(5, L"held.dll");
    stream.ReadFileBlob(embedded);
    EXPECT_TRUE(BlobIs(embedded, -1, L"held.dll", {0xAA, 0xBB}, L"Sea.jpg"));
    EXPECT_FALSE(stream.Failed());
    EXPECT_EQ(buffer.Cursor(), buffer.End());
}

// ---------------------------------------------------------------------------------------------
// Failure: sizes and counts larger than what remains, stickiness, untouched destinations.

TEST(Vo_IOF_R, RefusesSizesLargerThanTheBytesLeft)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool blob;
    };
    const std::vector<Case> cases = {
        {"buffer of 0x7FFFFFFF bytes, 10 left", ArchiveBytes().U32(0x7FFFFFFF).Raw(std::vector<uint8_t>(10, 1)).Bytes(), false},
        {"buffer of 0xFFFFFFFF bytes", ArchiveBytes().U32(0xFFFFFFFF).Raw({1, 2, 3, 4}).Bytes(), false},
        {"buffer one byte short", ArchiveBytes().U32(5).Raw({1, 2, 3, 4}).Bytes(), false},
        {"buffer whose name is cut", ArchiveBytes().U32(1).Raw({1}).Raw({0xFF, 0xFE, 0xFF, 0x04, 'a', 0}).Bytes(), false},
        {"blob of 0xFFFFFFF0 bytes", ArchiveBytes().I32(3).Str(L"m.dll").U32(0xFFFFFFF0).Raw({1, 2}).Bytes(), true},
        {"blob whose module name is too long", ArchiveBytes().I32(3).Raw({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}).U32(0xFFFFFFFF).Bytes(), true},
        {"blob whose name is cut", ArchiveBytes().I32(3).Str(L"m.dll").U32(0).Raw({0xFF, 0xFE, 0xFF}).Bytes(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GuardPageBuffer memory(c.bytes);
        ResourceBuffer buffer = Over(memory);
        Reader stream(&buffer);
        FileBlob blob(9, L"before.dll");
        blob.SetName(L"before.png");
        const uint8_t held[] = {42};
        blob.SetData(1, held);
        if (c.blob)
            stream.ReadFileBlob(blob);
        else
            stream.ReadDataBuffer(blob);
        EXPECT_TRUE(stream.Failed());
        EXPECT_TRUE(BlobIs(blob, 9, L"before.dll", {42}, L"before.png"));
    }
}

TEST(Vo_IOF_R, StaysFailedAfterTheFirstOverrun)
{
    // Four bytes: too few for an int64, enough for an int that must no longer be read.
    const std::vector<uint8_t> bytes = {1, 0, 0, 0};
    GuardPageBuffer memory(bytes);
    ResourceBuffer buffer = Over(memory);
    Reader stream(&buffer);
    int64_t wide = -1;
    int32_t narrow = -1;
    std::wstring text = L"kept";
    stream.ReadInt64(wide);
    stream.ReadInt(narrow);
    stream.ReadString(text);
    EXPECT_TRUE(stream.Failed());
    EXPECT_TRUE(buffer.Failed());
    EXPECT_EQ(wide, -1);
    EXPECT_EQ(narrow, -1);
    EXPECT_EQ(text, L"kept");
    EXPECT_EQ(buffer.Cursor(), memory.begin());
}

// ---------------------------------------------------------------------------------------------
// One valid stream holding every value type and every shared read, read whole and at every cut.

struct Values {
    int32_t version = -1;
    std::wstring shortText = L"-", wordText = L"-", doubleWordText = L"-";
    int32_t i = -7;
    uint32_t u = 7;
    int32_t l = -8;
    uint8_t c = 9;
    bool b = false;
    float f = -1;
    int64_t i64 = -5;
    POINT pt = {-3, -3};
    DataBuffer buffer;
    FileBlob blob{99, L"initial.dll"};
    GUID guid = {};
    std::vector<float> floats = {9.0f};
    std::vector<FileBlob> blobs = {FileBlob(99, L"")};
    std::vector<float> delays = {9.0f, 9.0f, 9.0f};
    std::vector<FileBlob> bufferBlobs = {FileBlob(98, L""), FileBlob(97, L"")};
};

const GUID kGuid = {0x082B574A, 0x73A8, 0x4C9C, {0x80, 0xDE, 0xC8, 0xB8, 0x5A, 0x9F, 0x97, 0x69}};

struct Step {
    const char* what;
    std::function<void(Reader&, ResourceBuffer&, Values&)> read;
    std::function<bool(const Values&)> isExpected;
    std::function<bool(const Values&)> isInitial;
};

std::vector<Step> EverySteps()
{
    return {
        {"record header", [](Reader& s, ResourceBuffer&, Values& v) {
             const int32_t version = ReadRecordHeader(s);
             if (!s.Failed())
                 v.version = version;
         },
         [](const Values& v) { return v.version == 3; }, [](const Values& v) { return v.version == -1; }},
        {"string", [](Reader& s, ResourceBuffer&, Values& v) { s.ReadString(v.shortText); },
         [](const Values& v) { return v.shortText == L"Slide 0"; }, [](const Values& v) { return v.shortText == L"-"; }},
        {"string, 16-bit length", [](Reader& s, ResourceBuffer&, Values& v) { s.ReadString(v.wordText); },
         [](const Values& v) { return v.wordText == L"ab"; }, [](const Values& v) { return v.wordText == L"-"; }},
        {"string, 32-bit length", [](Reader& s, ResourceBuffer&, Values& v) { s.ReadString(v.doubleWordText); },
         [](const Values& v) { return v.doubleWordText == L"xyz"; },
         [](const Values& v) { return v.doubleWordText == L"-"; }},
        {"int", [](Reader& s, ResourceBuffer&, Values& v) { s.ReadInt(v.i); },
         [](const Values& v) { return v.i == -2; }, [](const Values& v) { return v.i == -7; }},
        {"uint", [](Reader& s, ResourceBuffer&, Values& v) { s.ReadUInt(v.u); },
         [](const Values& v) { return v.u == 0xDEADBEEF; }, [](const Values& v) { return v.u == 7; }},
        {"long", [](Reader& s, ResourceBuffer&, Values& v) { s.ReadLong(v.l); },
         [](const Values& v) { return v.l == 123456; }, [](const Values& v) { return v.l == -8; }},
        {"char", [](Reader& s, ResourceBuffer&, Values& v) { s.ReadChar(v.c); },
         [](const Values& v) { return v.c == 0xAB; }, [](const Values& v) { return v.c == 9; }},
        {"bool", [](Reader& s, ResourceBuffer&, Values& v) { s.ReadBool(v.b); },
         [](const Values& v) { return v.b; }, [](const Values& v) { return !v.b; }},
        {"float", [](Reader& s, ResourceBuffer&, Values& v) { s.ReadFloat(v.f); },
         [](const Values& v) { return v.f == 0.75f; }, [](const Values& v) { return v.f == -1; }},
        {"int64", [](Reader& s, ResourceBuffer&, Values& v) { s.ReadInt64(v.i64); },
         [](const Values& v) { return v.i64 == 0x0000000200000001; }, [](const Values& v) { return v.i64 == -5; }},
        {"point", [](Reader& s, ResourceBuffer&, Values& v) { s.ReadPoint(v.pt); },
         [](const Values& v) { return v.pt.x == -5 && v.pt.y == 6; },
         [](const Values& v) { return v.pt.x == -3 && v.pt.y == -3; }},
        {"data buffer", [](Reader& s, ResourceBuffer&, Values& v) { s.ReadDataBuffer(v.buffer); },
         [](const Values& v) { return BufferIs(v.buffer, {1, 2, 3}, L"a.png"); },
         [](const Values& v) { return BufferIs(v.buffer, {}, L""); }},
        {"file blob", [](Reader& s, ResourceBuffer&, Values& v) { s.ReadFileBlob(v.blob); },
         [](const Values& v) { return BlobIs(v.blob, 6, L"common_res.dll", {4, 5}, L"b.png"); },
         [](const Values& v) { return BlobIs(v.blob, 99, L"initial.dll", {}, L""); }},
        {"guid", [](Reader& s, ResourceBuffer&, Values& v) { ReadGuid(s, v.guid); },
         [](const Values& v) { return IsEqualGUID(v.guid, kGuid); },
         [](const Values& v) { return IsEqualGUID(v.guid, GUID{}); }},
        {"float list", [](Reader& s, ResourceBuffer&, Values& v) { ReadFloatVector(s, v.floats); },
         [](const Values& v) { return v.floats == std::vector<float>{9.0f, 1.5f, 2.5f}; },
         [](const Values& v) { return v.floats == std::vector<float>{9.0f}; }},
        {"file blob list", [](Reader& s, ResourceBuffer&, Values& v) { ReadFileBlobVector(s, v.blobs); },
         [](const Values& v) {
             return v.blobs.size() == 3 && BlobIs(v.blobs[1], 0, L"", {7}, L"c") &&
                    BlobIs(v.blobs[2], 70, L"common_res.dll", {}, L"");
         },
         [](const Values& v) { return v.blobs.size() == 1; }},
        {"delays from the buffer", [](Reader&, ResourceBuffer& b, Values& v) { ReadDelaysFromBuffer(b, v.delays); },
         [](const Values& v) { return v.delays == std::vector<float>{0.125f}; },
         [](const Values& v) { return v.delays.size() == 3; }},
        {"file blobs from the buffer",
         [](Reader&, ResourceBuffer& b, Values& v) { ReadFileBlobsFromBuffer(b, v.bufferBlobs); },
         [](const Values& v) { return v.bufferBlobs.size() == 1 && BlobIs(v.bufferBlobs[0], 2, L"", {8, 9}, L"f0"); },
         [](const Values& v) { return v.bufferBlobs.size() == 2; }},
    };
}

std::vector<uint8_t> EveryValueBytes()
{
    using H = ArchiveBytes::Header;
    return ArchiveBytes()
        .Str(L"Vo_SlideContainer").I32(3)
        .Str(L"Slide 0")
        .Str(L"ab", H::Word)
        .Str(L"xyz", H::DoubleWord)
        .I32(-2)
        .U32(0xDEADBEEF)
        .I32(123456)
        .U8(0xAB)
        .U8(2)
        .F32(0.75f)
        .U64(0x0000000200000001)
        .I32(-5).I32(6)
        .Buffer({1, 2, 3}, L"a.png")
        .Blob(6, L"common_res.dll", {4, 5}, L"b.png")
        .Str(L"{082B574A-73A8-4C9C-80DE-C8B85A9F9769}")
        .U32(2).F32(1.5f).F32(2.5f)
        .U32(2).Blob(0, L"", {7}, L"c").Blob(70, L"common_res.dll", {}, L"")
        .U32(1).F32(0.125f)
        .U32(1).Blob(2, L"", {8, 9}, L"f0")
        .Bytes();
}

// Reads every step from buffer; returns per step whether it holds its expected value (true) or its
// initial one (false), failing the test when a step holds anything else.
std::vector<bool> ReadEverything(ResourceBuffer& buffer, Reader& stream)
{
    Values values;
    std::vector<bool> expected;
    for (const Step& step : EverySteps()) {
        step.read(stream, buffer, values);
        const bool isExpected = step.isExpected(values);
        EXPECT_TRUE(isExpected || step.isInitial(values)) << step.what << " holds a value it was never given";
        expected.push_back(isExpected);
    }
    return expected;
}

TEST(Vo_IOF_R, ReadsAWholeStreamOfEveryValueType)
{
    const auto bytes = EveryValueBytes();
    GuardPageBuffer memory(bytes);
    ResourceBuffer buffer = Over(memory);
    Reader stream(&buffer);
    const std::vector<bool> expected = ReadEverything(buffer, stream);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(expected[i]) << EverySteps()[i].what;
    EXPECT_FALSE(stream.Failed());
    EXPECT_EQ(buffer.Cursor(), buffer.End());
}

// The bytes end right after the cut and a no-access page follows, so any read past the end
// faults. Every cut must fail, keep every value after the cut at its initial value, and never
// leave a value half read.
TEST(Vo_IOF_R, NeverReadsPastTheEndAtAnyCut)
{
    const auto bytes = EveryValueBytes();
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        SCOPED_TRACE(testing::Message() << "cut " << cut << " of " << bytes.size());
        GuardPageBuffer memory(bytes.data(), cut);
        ResourceBuffer buffer = Over(memory);
        Reader stream(&buffer);
        const std::vector<bool> expected = ReadEverything(buffer, stream);
        EXPECT_TRUE(stream.Failed());
        EXPECT_FALSE(expected.back());
        // Once a value is missing, so is every later one.
        for (size_t i = 1; i < expected.size(); ++i)
            EXPECT_FALSE(expected[i] && !expected[i - 1]) << EverySteps()[i].what;
    }
}

TEST(Vo_IOF_R, ReadsNothingFromABufferNeverOpened)
{
    ResourceBuffer unopened;
    Reader stream(&unopened);
    const std::vector<bool> expected = ReadEverything(unopened, stream);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_FALSE(expected[i]) << EverySteps()[i].what;
    // Reading from nothing is a failed read, not an empty success.
    EXPECT_TRUE(stream.Failed());

    ResourceBuffer alsoUnopened;
    Reader withoutBuffer(nullptr);
    EXPECT_TRUE(withoutBuffer.Failed());
    const std::vector<bool> none = ReadEverything(alsoUnopened, withoutBuffer);
    EXPECT_FALSE(none.front());
}

} // namespace
