#include "model/FileNameParts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NameCase {
    const wchar_t* path;
    const wchar_t* part;
};

std::string Narrow(const vo_string& text)
{
    return std::string(text.begin(), text.end());
}

TEST(FileNamePartsTest, FileNamePartIsTheTextAfterTheLastBackslash)
{
    const NameCase cases[] = {
        {L"C:\\Music\\Calm Sea.mp3", L"Calm Sea.mp3"},
        {L"\\\\server\\share\\a\\b.wav", L"b.wav"},
        {L"C:\\Music.old\\track", L"track"},
        {L"relative\\x.mp3", L"x.mp3"},
        {L"track.mp3", L""},  // a bare file name has no backslash
        {L"", L""},
        {L"C:\\Music\\", L""},
        {L"C:/Music/track.mp3", L""},  // forward slashes are not separators here
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(Narrow(c.path));
        EXPECT_EQ(GetFileNamePart(c.path), c.part);
    }
}

TEST(FileNamePartsTest, SafeTempFileNameKeepsOrdinaryNames)
{
    const NameCase cases[] = {
        {L"C:\\Music\\Calm Sea.mp3", L"Calm Sea.mp3"},
        {L"D:\\x\\.hidden", L".hidden"},
        {L"D:\\x\\a..b.mp3", L"a..b.mp3"},
        {L"D:\\x\\track.", L"track."},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(Narrow(c.path));
        EXPECT_EQ(GetSafeTempFileName(c.path), c.part);
    }
}

TEST(FileNamePartsTest, SafeTempFileNameRefusesPartsThatLeaveTheTemporaryFolder)
{
    const wchar_t* const hostile[] = {
        L"track.mp3",                  // no backslash: the part is empty, the folder itself
        L"C:\\Music\\",                // empty part
        L"C:\\Music\\.",               // the folder itself
        L"C:\\Music\\..",              // the folder's parent
        L"C:\\Music\\...",             // trimmed to nothing by Windows
        L"C:\\Music\\. .",
        L"C:\\Music\\.. ",
        L"C:\\Music\\../../evil.exe",  // forward slashes separate too
        L"C:\\Music\\sub/evil.exe",
        L"C:\\Music\\/evil.exe",
        L"C:\\Music\\C:evil.exe",      // drive-relative path
        L"C:\\Music\\track.mp3:stream",  // alternate data stream
        L"C:\\Music\\:",
    };
    for (const wchar_t* path : hostile) {
        SCOPED_TRACE(Narrow(path));
        EXPECT_EQ(GetSafeTempFileName(path), L"");
    }
}

}  // namespace
