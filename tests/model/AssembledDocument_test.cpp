#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/ArchiveReads.h"
#include "model/DataBuffer.h"
#include "model/ResourceBuffer.h"
#include "model/Vo_FileLink3.h"
#include "model/Vo_IOF_R.h"
#include "support/GuardPageBuffer.h"
#include "support/TestPaths.h"

namespace {

std::vector<uint8_t> BytesOf(const DataBuffer& buffer)
{
    return std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Size());
}

} // namespace

// The listing tests/model/documents/ValueReadBack.lst, assembled at build time, read back value by
// value: the assembler and the reader agree on every encoding, and the reader ends exactly at the
// last byte (the guard page would fault on a read past it).
TEST(AssembledDocument, EveryValueReadsBackAsListed)
{
    const std::vector<uint8_t> bytes = AssembledTestDocument(L"ValueReadBack.bin");
    ASSERT_FALSE(bytes.empty()) << "the build did not assemble ValueReadBack.bin";
    GuardPageBuffer memory(bytes);
    ResourceBuffer buffer(memory.begin(), memory.end());
    Vo_IOF_R<ResourceBuffer> stream(&buffer);

    vo_string tag;
    stream.ReadString(tag);
    EXPECT_EQ(tag, L"ZUL v 4.0.0");

    vo_string className;
    int32_t version = 0;
    stream.ReadString(className);
    stream.ReadInt(version);
    EXPECT_EQ(className, L"Vo_SlideContainer");
    EXPECT_EQ(version, 3);

    int32_t i = 0, l = 0;
    uint32_t u = 0;
    int64_t stamp = 0;
    float f = 0;
    uint8_t c = 0;
    bool yes = false, no = true;
    POINT point = {};
    stream.ReadInt(i);
    stream.ReadUInt(u);
    stream.ReadLong(l);
    stream.ReadInt64(stamp);
    stream.ReadFloat(f);
    stream.ReadChar(c);
    stream.ReadBool(yes);
    stream.ReadBool(no);
    stream.ReadPoint(point);
    EXPECT_EQ(i, -7);
    EXPECT_EQ(u, 4000000000u);
    EXPECT_EQ(l, 2147483647);
    EXPECT_EQ(stamp, 2 * (int64_t(1) << 32) + 1);
    EXPECT_EQ(f, 0.25f);
    EXPECT_EQ(c, 200);
    EXPECT_TRUE(yes);
    EXPECT_FALSE(no);
    EXPECT_EQ(point.x, -3);
    EXPECT_EQ(point.y, 4);

    vo_string face = L"Arial";
    stream.ReadString(face);
    EXPECT_EQ(face, L"Arial");
    vo_string text;
    stream.ReadString(text);
    EXPECT_EQ(text, L"Caf\u00E9 \u6C34");

    GUID guid = {};
    ReadGuid(stream, guid);
    const GUID expected = {0x082B574A, 0x73A8, 0x4C9C, {0x80, 0xDE, 0xC8, 0xB8, 0x5A, 0x9F, 0x97, 0x69}};
    EXPECT_TRUE(IsEqualGUID(guid, expected));

    Vo_FileLink3 link;
    ReadFileLink(stream, link);
    EXPECT_EQ(link.GetPath(), L"C:\\pictures\\lake.png");
    EXPECT_EQ(link.GetKey().Stamp(), int64_t(0x01D9A2B3C4D5E6F7));

    DataBuffer music;
    stream.ReadDataBuffer(music);
    EXPECT_EQ(music.Name(), L"music.mp3");
    EXPECT_EQ(BytesOf(music), (std::vector<uint8_t>{0xDE, 0xAD, 0xBE, 0xEF}));

    std::vector<float> delays;
    ReadFloatVector(stream, delays);
    EXPECT_EQ(delays, (std::vector<float>{1.5f, -2.0f}));

    std::vector<FileBlob> blobs;
    ReadFileBlobVector(stream, blobs);
    ASSERT_EQ(blobs.size(), 2u);
    EXPECT_EQ(blobs[0].ResourceId(), 6);
    EXPECT_EQ(blobs[0].ModuleName(), L"common_res.dll");
    EXPECT_EQ(blobs[0].Size(), 0u);
    EXPECT_EQ(blobs[0].Name(), L"");
    EXPECT_EQ(blobs[1].ResourceId(), 0);
    EXPECT_EQ(blobs[1].ModuleName(), L"");
    // The start of a PNG file: signature and the header chunk's length and type.
    EXPECT_EQ(BytesOf(blobs[1]), (std::vector<uint8_t>{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0x00,
                                                       0x00, 0x00, 0x0D, 'I', 'H', 'D', 'R'}));
    EXPECT_EQ(blobs[1].Name(), L"tiny.png");

    EXPECT_FALSE(stream.Failed());
    EXPECT_EQ(buffer.Remaining(), 0u);
}
