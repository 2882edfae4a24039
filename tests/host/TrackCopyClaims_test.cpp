#include "host/TrackCopyClaims.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

std::wstring TempCopy(const wchar_t* stem)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + stem + L"_" + std::to_wstring(GetCurrentProcessId()) + L".mp3";
}

void WriteSomeBytes(const std::wstring& path)
{
    std::ofstream out(std::string(path.begin(), path.end()), std::ios::binary);  // ASCII test paths
    out << "ID3 tone";
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(TrackCopyClaimsTest, TheLastUserOfTheProcessDeletesTheCopy)
{
    const std::wstring copy = TempCopy(L"claims_hosts");
    WriteSomeBytes(copy);
    // Two scene hosts of one process play the same copy.
    TrackCopyClaims::Claim(copy);
    TrackCopyClaims::Claim(copy);
    EXPECT_EQ(TrackCopyClaims::Users(copy), 2);

    TrackCopyClaims::Release(copy);
    EXPECT_TRUE(Exists(copy));
    TrackCopyClaims::Release(copy);
    EXPECT_EQ(TrackCopyClaims::Users(copy), 0);
    EXPECT_FALSE(Exists(copy));
    // A release without a claim changes nothing.
    TrackCopyClaims::Release(copy);
}

TEST(TrackCopyClaimsTest, AClaimedCopyCanBeReadButNeitherReplacedNorDeleted)
{
    const std::wstring copy = TempCopy(L"claims_guard");
    WriteSomeBytes(copy);
    TrackCopyClaims::Claim(copy);

    // What a music graph's file source does: read, letting others read.
    const HANDLE reader = CreateFileW(copy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);
    // What another saver's extraction or its end would do.
    const HANDLE writer = CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE)
        CloseHandle(writer);
    EXPECT_FALSE(DeleteFileW(copy.c_str()));
    EXPECT_TRUE(Exists(copy));

    TrackCopyClaims::Release(copy);
    EXPECT_FALSE(Exists(copy));
}

TEST(TrackCopyClaimsTest, ACopyAnotherSaverHoldsStaysUntilItIsDone)
{
    const std::wstring copy = TempCopy(L"claims_other");
    WriteSomeBytes(copy);
    // The other saver's claim: the same handle that a claim opens.
    const HANDLE other = CreateFileW(copy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    TrackCopyClaims::Claim(copy);
    TrackCopyClaims::Release(copy);
    EXPECT_TRUE(Exists(copy));

    CloseHandle(other);
    EXPECT_TRUE(DeleteFileW(copy.c_str()));
}

}  // namespace
