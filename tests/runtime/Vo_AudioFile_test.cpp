#include "runtime/Vo_AudioFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/QueuedStream.h"
#include "support/TestPaths.h"

namespace {

std::string Narrow(const vo_string& text)
{
    return std::string(text.begin(), text.end());
}

vo_string TempFolder()
{
    wchar_t text[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, text);
    vo_string folder(text, length);
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

// A name no other test process uses, since test cases run in parallel processes.
vo_string UniqueName(const wchar_t* stem)
{
    return std::wstring(stem) + L"_" + std::to_wstring(GetCurrentProcessId()) + L".mp3";
}

void WriteBytes(const vo_string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(Narrow(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

bool Exists(const vo_string& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

Vo_AudioFile Track(const vo_string& path, const std::vector<uint8_t>& bytes)
{
    Vo_AudioFile track;
    track.Data().SetName(path);
    track.Data().SetData(static_cast<uint32_t>(bytes.size()), bytes.data());
    return track;
}

const std::vector<uint8_t> kSong = {'I', 'D', '3', 0, 1, 2, 0xFF, 0xFB, 0x90};

TEST(Vo_AudioFileTest, ReadsLabelAndDataAfterAnUncomparedHeader)
{
    DataBuffer data;
    data.SetName(L"C:\\Music\\a.mp3");
    data.SetData(3, reinterpret_cast<const uint8_t*>("abc"));
    QueuedStream stream;
    stream.Push(QueuedStream::String{L"NotTheClassName"}).Push(QueuedStream::Int{7});
    stream.Push(QueuedStream::String{L"Evening"}).Push(QueuedStream::Buffer{data});
    auto track = ReadAudioFileRecord(stream);
    ASSERT_TRUE(track);
    EXPECT_FALSE(stream.Failed());
    EXPECT_EQ(stream.Remaining(), 0u);
    EXPECT_EQ(track->GetLabel(), L"Evening");
    EXPECT_EQ(track->GetData().Name(), L"C:\\Music\\a.mp3");
    EXPECT_EQ(track->GetData().Size(), 3u);
}

// Tracks without bytes, or whose stored path exists, are never written.
TEST(Vo_AudioFileTest, TracksThatNeedNoCopy)
{
    const vo_string existing = TempFolder() + UniqueName(L"existing");
    WriteBytes(existing, {1, 2, 3});
    const vo_string missing = L"C:\\no such folder\\" + UniqueName(L"silent");

    Vo_AudioFile empty = Track(missing, {});
    empty.ExtractAudioFileToTemp();
    EXPECT_EQ(empty.GetData().Name(), missing);
    EXPECT_FALSE(Exists(TempFolder() + UniqueName(L"silent")));

    Vo_AudioFile emptyExisting = Track(existing, {});
    emptyExisting.ExtractAudioFileToTemp();
    EXPECT_EQ(emptyExisting.GetData().Name(), existing);

    // The stored file wins over the embedded copy, which is dropped.
    Vo_AudioFile stored = Track(existing, kSong);
    stored.ExtractAudioFileToTemp();
    EXPECT_EQ(stored.GetData().Name(), existing);
    EXPECT_EQ(stored.GetData().Size(), 0u);
    EXPECT_EQ(ReadFileBytes(existing), (std::vector<uint8_t>{1, 2, 3}));
    DeleteFileW(existing.c_str());
}

struct WriteCase {
    const wchar_t* folder;  // prefix of the stored path; the file name follows
    const wchar_t* stem;
};

TEST(Vo_AudioFileTest, WritesMissingTracksToTheTemporaryFolderUnderTheirName)
{
    const WriteCase cases[] = {
        {L"C:\\no such folder\\", L"backslash"},
        {L"C:/no such folder/", L"slash"},       // documents made elsewhere use slashes
        {L"C:\\mixed/folder\\", L"mixed"},
        {L"", L"bare"},                          // a bare name is its own file name
    };
    for (const WriteCase& c : cases) {
        const vo_string name = UniqueName(c.stem);
        SCOPED_TRACE(Narrow(name));
        const vo_string target = TempFolder() + name;
        // An older, longer file of that name is replaced, not overwritten in place.
        WriteBytes(target, std::vector<uint8_t>(100, 0xAA));
        Vo_AudioFile track = Track(c.folder + name, kSong);
        track.ExtractAudioFileToTemp();
        EXPECT_EQ(track.GetData().Name(), target);
        EXPECT_EQ(track.GetData().Size(), 0u);
        EXPECT_EQ(ReadFileBytes(target), kSong);
        DeleteFileW(target.c_str());
    }
}

// Stored names that would write outside the temporary folder, onto the folder itself or into
// a stream: nothing is written and the track ends without a path.
TEST(Vo_AudioFileTest, RefusesNamesThatAreNoPlainFileInTheTemporaryFolder)
{
    const wchar_t* paths[] = {
        L"C:\\Music\\",
        L"C:\\Music\\.",
        L"C:\\Music\\..",
        L"C:\\Music\\. .",
        L"C:/Music/..",
        L"C:\\Music\\song.mp3:hidden",
        L"C:song.mp3",
        L"",
    };
    for (const wchar_t* path : paths) {
        SCOPED_TRACE(Narrow(path));
        Vo_AudioFile track = Track(path, kSong);
        track.ExtractAudioFileToTemp();
        EXPECT_EQ(track.GetData().Name(), L"");
        EXPECT_EQ(track.GetData().Size(), 0u);
    }
    EXPECT_FALSE(Exists(TempFolder() + L"song.mp3:hidden"));
}

TEST(Vo_AudioFileTest, AFailedOpenLeavesNoPlayablePath)
{
    // A folder of the track's name in the temporary folder makes the open fail.
    const vo_string name = UniqueName(L"blocked");
    const vo_string blocker = TempFolder() + name;
    ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr));
    Vo_AudioFile track = Track(L"C:\\Music\\" + name, kSong);
    track.ExtractAudioFileToTemp();
    EXPECT_EQ(track.GetData().Name(), L"");
    EXPECT_EQ(track.GetData().Size(), 0u);
    EXPECT_EQ(GetFileAttributesW(blocker.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    RemoveDirectoryW(blocker.c_str());
}

// Opens the file the way a music graph's file source holds the track it plays: readers allowed,
// writers and deleters refused.
HANDLE HoldLikeAPlayer(const vo_string& path)
{
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Another scene host, or another saver of the same scene, may already play the copy.
TEST(Vo_AudioFileTest, ACopyThatAlreadyHoldsTheBytesIsUsedWhileItPlays)
{
    const vo_string name = UniqueName(L"shared");
    const vo_string target = TempFolder() + name;
    WriteBytes(target, kSong);
    const HANDLE player = HoldLikeAPlayer(target);
    ASSERT_NE(player, INVALID_HANDLE_VALUE);

    Vo_AudioFile track = Track(L"C:\\Music\\" + name, kSong);
    track.ExtractAudioFileToTemp();
    EXPECT_EQ(track.GetData().Name(), target);
    EXPECT_EQ(track.GetData().Size(), 0u);

    CloseHandle(player);
    EXPECT_EQ(ReadFileBytes(target), kSong);
    DeleteFileW(target.c_str());
}

TEST(Vo_AudioFileTest, AFileOfTheNameWithOtherBytesInUseIsLeftAloneForANumberedCopy)
{
    const vo_string name = UniqueName(L"other");
    const vo_string target = TempFolder() + name;
    const std::vector<uint8_t> otherSong = {'I', 'D', '3', 9, 9, 9};
    WriteBytes(target, otherSong);
    const HANDLE player = HoldLikeAPlayer(target);
    ASSERT_NE(player, INVALID_HANDLE_VALUE);

    Vo_AudioFile track = Track(L"C:\\Music\\" + name, kSong);
    track.ExtractAudioFileToTemp();
    const vo_string numbered = TempFolder() + name.substr(0, name.size() - 4) + L"~2.mp3";
    EXPECT_EQ(track.GetData().Name(), numbered);
    EXPECT_EQ(ReadFileBytes(numbered), kSong);

    // A second track of the same scene finds that numbered copy and uses it.
    Vo_AudioFile again = Track(L"C:\\Music\\" + name, kSong);
    again.ExtractAudioFileToTemp();
    EXPECT_EQ(again.GetData().Name(), numbered);

    CloseHandle(player);
    EXPECT_EQ(ReadFileBytes(target), otherSong);
    DeleteFileW(target.c_str());
    DeleteFileW(numbered.c_str());
}

}  // namespace
