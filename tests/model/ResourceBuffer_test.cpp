#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

#include "model/ArchiveReads.h"
#include "model/ResourceBuffer.h"
#include "model/Vo_IOF_R.h"

namespace {

// Resource ids of tests/model/ModelTestResources.rc.
constexpr int kArchiveResource = 301;
constexpr int kPictureSetResource = 302;
constexpr int kEmptyResource = 303;
constexpr int kMissingResource = 399;

TEST(ResourceBuffer, OpensAResourceOfTheProgram)
{
    ResourceBuffer buffer;
    ASSERT_TRUE(buffer.OpenModuleResource(nullptr, kArchiveResource));
    ASSERT_TRUE(buffer.IsOpen());
    EXPECT_EQ(buffer.End() - buffer.Cursor(), 14);

    Vo_IOF_R<ResourceBuffer> stream(&buffer);
    std::wstring text;
    int32_t value = 0;
    stream.ReadString(text);
    stream.ReadInt(value);
    EXPECT_EQ(text, L"QNT");
    EXPECT_EQ(value, 42);
    EXPECT_FALSE(stream.Failed());
    EXPECT_EQ(buffer.Cursor(), buffer.End());
}

TEST(ResourceBuffer, MissingOrEmptyResourcesLeaveTheBufferAsItWas)
{
    const int ids[] = {kMissingResource, kEmptyResource, 0};
    for (int id : ids) {
        SCOPED_TRACE(id);
        ResourceBuffer unopened;
        EXPECT_FALSE(unopened.OpenModuleResource(nullptr, id));
        EXPECT_FALSE(unopened.IsOpen());

        // A buffer already open keeps its view.
        ResourceBuffer open;
        ASSERT_TRUE(open.OpenModuleResource(nullptr, kArchiveResource));
        const uint8_t* cursor = open.Cursor();
        EXPECT_FALSE(open.OpenModuleResource(nullptr, id));
        EXPECT_EQ(open.Cursor(), cursor);
        EXPECT_EQ(open.End(), cursor + 14);
    }
}

// Picture sets kept in a module are read straight from the buffer: delays, then file blobs.
TEST(ResourceBuffer, ReadsAPictureSetKeptInAModule)
{
    ResourceBuffer buffer;
    ASSERT_TRUE(buffer.OpenModuleResource(GetModuleHandleW(nullptr), kPictureSetResource));
    std::vector<float> delays;
    std::vector<FileBlob> blobs;
    ASSERT_TRUE(ReadDelaysFromBuffer(buffer, delays));
    ASSERT_TRUE(ReadFileBlobsFromBuffer(buffer, blobs));
    EXPECT_EQ(delays, (std::vector<float>{0.5f, 0.25f}));
    ASSERT_EQ(blobs.size(), 1u);
    EXPECT_EQ(blobs[0].ResourceId(), 6);
    EXPECT_EQ(blobs[0].ModuleName(), L"");
    EXPECT_EQ(blobs[0].Name(), L"a.png");
    EXPECT_EQ(std::vector<uint8_t>(blobs[0].Data(), blobs[0].Data() + blobs[0].Size()),
              (std::vector<uint8_t>{'a', 'b', 'c'}));
    EXPECT_EQ(buffer.Cursor(), buffer.End());
}

TEST(ResourceBuffer, TakesOnlyWhatRemains)
{
    const uint8_t bytes[] = {1, 2, 3};
    ResourceBuffer buffer(bytes, bytes + 3);
    EXPECT_EQ(buffer.Take(2), bytes);
    EXPECT_EQ(buffer.Remaining(), 1u);
    EXPECT_EQ(buffer.Take(2), nullptr);
    EXPECT_TRUE(buffer.Failed());
    // Failed for good: even what would fit is refused.
    EXPECT_EQ(buffer.Take(1), nullptr);
    EXPECT_EQ(buffer.Remaining(), 0u);
}

} // namespace
