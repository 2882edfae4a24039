#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "model/DataBuffer.h"

#include "ResourceTestData.h"

namespace {

std::vector<uint8_t> BytesOf(const DataBuffer& buffer)
{
    return std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Size());
}

// Resource ids of tests/model/ModelTestResources.rc.
constexpr int32_t kArchiveResource = 301;
constexpr int32_t kMissingResource = 399;
const std::vector<uint8_t> kArchiveBytes = {0xFF, 0xFE, 0xFF, 0x03, 'Q', 0, 'N', 0, 'T', 0, 42, 0, 0, 0};

TEST(DataBuffer, RenamingDropsTheBytesAndTheSameNameKeepsThem)
{
    const uint8_t bytes[] = {1, 2, 3};
    DataBuffer buffer;
    buffer.SetName(L"C:\\music\\track.mp3");
    buffer.SetData(3, bytes);
    buffer.SetName(L"C:\\music\\track.mp3");
    EXPECT_EQ(BytesOf(buffer), (std::vector<uint8_t>{1, 2, 3}));
    buffer.SetName(L"C:\\temp\\track.mp3");
    EXPECT_EQ(buffer.Size(), 0u);
    EXPECT_EQ(buffer.Data(), nullptr);
    EXPECT_EQ(buffer.Name(), L"C:\\temp\\track.mp3");
}

TEST(DataBuffer, KeepsPrivateCopies)
{
    uint8_t bytes[] = {1, 2, 3};
    FileBlob blob(6, L"test_res.dll");
    blob.SetName(L"pic.png");
    blob.SetData(3, bytes);
    bytes[0] = 9;
    EXPECT_EQ(BytesOf(blob), (std::vector<uint8_t>{1, 2, 3}));

    FileBlob copy = blob;
    blob.SetData(1, bytes);
    EXPECT_EQ(BytesOf(copy), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(copy.ResourceId(), 6);
    EXPECT_EQ(copy.ModuleName(), L"test_res.dll");
    EXPECT_EQ(copy.Name(), L"pic.png");

    copy.SetData(0, bytes);
    EXPECT_EQ(copy.Size(), 0u);
    EXPECT_EQ(copy.Data(), nullptr);
}

// A module that does not load (the empty name among them) makes the program's own resources
// the source, which is how blobs without a module name reach the program's pictures.
TEST(FileBlob, LoadsFromTheProgramWhenTheModuleDoesNotLoad)
{
    const wchar_t* modules[] = {L"", L"no_such_module_here.dll"};
    for (const wchar_t* module : modules) {
        FileBlob blob(kArchiveResource, module);
        ASSERT_TRUE(blob.LoadFromModule());
        EXPECT_EQ(BytesOf(blob), kArchiveBytes);
    }
}

// The module is mapped for its resources only: its code never runs, and the loader does not count
// it among the process's modules.
TEST(FileBlob, ReadsAModuleAsADataFileWithoutRunningIt)
{
    BuildFolderAsCurrent buildFolder;
    FileBlob blob(900, L"test_res.dll");  // a PNG picture of the module
    ASSERT_TRUE(blob.LoadFromModule());
    ASSERT_GE(blob.Size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(blob.Data(), blob.Data() + 4), (std::vector<uint8_t>{0x89, 'P', 'N', 'G'}));
    EXPECT_EQ(GetModuleHandleW(L"test_res.dll"), nullptr);
}

TEST(FileBlob, UsesTheLow16BitsOfTheId)
{
    FileBlob blob(0x10000 + kArchiveResource, L"");
    ASSERT_TRUE(blob.LoadFromModule());
    EXPECT_EQ(BytesOf(blob), kArchiveBytes);
}

TEST(FileBlob, MissingResourceFailsAndKeepsTheBytes)
{
    const uint8_t held[] = {7};
    const int32_t ids[] = {kMissingResource, 0};
    for (int32_t id : ids) {
        FileBlob blob(id, L"");
        blob.SetData(1, held);
        EXPECT_FALSE(blob.LoadFromModule());
        EXPECT_EQ(BytesOf(blob), std::vector<uint8_t>{7});
    }
}

} // namespace
