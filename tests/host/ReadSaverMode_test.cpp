#include "host/SaverMode.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>

namespace {

struct ModeCase {
    const wchar_t* line;
    SaverMode mode;
    intptr_t parent;
};

const ModeCase kCases[] = {
    // No switch at all: configuration.
    {L"saver.scr", kModeConfig, 0},
    {L"saver.scr ", kModeConfig, 0},
    {L"", kModeConfig, 0},
    // Each letter, either case, either slash.
    {L"saver.scr /c", kModeConfig, 0},
    {L"saver.scr /s", kModeFullScreen, 0},
    {L"saver.scr -S", kModeFullScreen, 0},
    {L"saver.scr /t", kModeTest, 0},
    {L"saver.scr -T", kModeTest, 0},
    {L"saver.scr /a", kModePassword, 0},
    {L"saver.scr /r", kModeNone, 0},
    {L"saver.scr /N", kModeNoAction, 0},
    // Unknown letters run the full-screen saver.
    {L"saver.scr -x", kModeFullScreen, 0},
    {L"saver.scr /?", kModeFullScreen, 0},
    {L"saver.scr /", kModeFullScreen, 0},
    // The first slash or dash after the program name counts wherever it stands.
    {L"saver.scr x-t", kModeTest, 0},
    {L"saver.scr abc /p 12", kModePreview, 12},
    // Handles after "p", "c" and "a": blank, colon or nothing between.
    {L"saver.scr /p 1234", kModePreview, 1234},
    {L"saver.scr /p:1234", kModePreview, 1234},
    {L"saver.scr -P 1234", kModePreview, 1234},
    {L"saver.scr /p1234", kModePreview, 1234},
    {L"saver.scr /p", kModePreview, 0},
    {L"saver.scr /p  ", kModePreview, 0},
    {L"saver.scr /c:5678", kModeConfig, 5678},
    {L"saver.scr /c 5678", kModeConfig, 5678},
    {L"saver.scr /a 99", kModePassword, 99},
    // Other letters take no handle.
    {L"saver.scr /s 1234", kModeFullScreen, 0},
    // A quoted program path may hold blanks, slashes and dashes.
    {L"\"C:\\My Savers\\the-saver.scr\" /t", kModeTest, 0},
    {L"\"C:\\a /p b\\saver.scr\" /s", kModeFullScreen, 0},
    {L"\"C:\\My Savers\\saver.scr\"", kModeConfig, 0},
    // An unclosed quote ends at the end of the line.
    {L"\"C:\\My Savers\\saver.scr /t", kModeConfig, 0},
    // Handles keep their low 32 bits, sign-extended like a handle passed through an int.
    {L"saver.scr /p 4294967295", kModePreview, -1},
    {L"saver.scr /p 2147483648", kModePreview, INT32_MIN},
    {L"saver.scr /p 4294967296", kModePreview, 0},
    {L"saver.scr /p 99999999999999999999999999999999999999", kModePreview, -1},
    {L"saver.scr /p 12345678901234", kModePreview, 1942892530},
};

}  // namespace

TEST(ReadSaverModeTest, SwitchesSelectModeAndParent)
{
    for (const ModeCase& c : kCases) {
        HWND parent = reinterpret_cast<HWND>(static_cast<intptr_t>(0x7777));
        const SaverMode mode = ReadSaverMode(c.line, &parent);
        EXPECT_EQ(mode, c.mode) << "line: " << testing::PrintToString(std::wstring(c.line));
        EXPECT_EQ(reinterpret_cast<intptr_t>(parent), c.parent)
            << "line: " << testing::PrintToString(std::wstring(c.line));
    }
}

TEST(ReadSaverModeTest, NullLineIsConfiguration)
{
    HWND parent = reinterpret_cast<HWND>(static_cast<intptr_t>(5));
    EXPECT_EQ(ReadSaverMode(nullptr, &parent), kModeConfig);
    EXPECT_EQ(parent, nullptr);
}
