#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "model/ReadWideString.h"
#include "support/ArchiveBytes.h"
#include "support/GuardPageBuffer.h"

namespace {

std::vector<uint8_t> Units(const std::wstring& text)
{
    std::vector<uint8_t> bytes;
    for (wchar_t unit : text) {
        bytes.push_back(uint8_t(unit));
        bytes.push_back(uint8_t(unit >> 8));
    }
    return bytes;
}

struct DecodeCase {
    const char* what;
    std::vector<uint8_t> bytes;
    size_t consumed;
    std::wstring text; // what a destination holding "Arial" holds afterwards
};

std::vector<DecodeCase> DecodeCases()
{
    const std::wstring units256(256, L'x');
    const std::wstring units70000(70000, L'y');
    return {
        // The document tag of every scene document.
        {"document tag", ArchiveBytes().Raw({0xFF, 0xFE, 0xFF, 0x0B}).Raw(Units(L"ZUL v 4.0.0")).Bytes(), 26,
         L"ZUL v 4.0.0"},
        {"marker bytes are not checked", ArchiveBytes().Raw({0x00, 0x11, 0x22, 0x02}).Raw(Units(L"ab")).Bytes(), 8,
         L"ab"},
        // Length headers: 0xFF widens to 16 bits, 0xFFFF further to 32 bits.
        {"16-bit length", ArchiveBytes().Raw({0xFF, 0xFE, 0xFF, 0xFF, 0x00, 0x01}).Raw(Units(units256)).Bytes(),
         6 + 512, units256},
        {"32-bit length", ArchiveBytes().Raw({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}).U32(70000).Raw(Units(units70000)).Bytes(),
         10 + 140000, units70000},
        {"32-bit length of a short text", ArchiveBytes().Raw({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}).U32(2).Raw(Units(L"hi")).Bytes(),
         14, L"hi"},
        {"254 units still take the one-byte header", ArchiveBytes().Str(std::wstring(254, L'z')).Bytes(), 4 + 508,
         std::wstring(254, L'z')},
        // Empty stored strings keep what the destination held, whatever the header width.
        {"length 0", {0xFF, 0xFE, 0xFF, 0x00}, 4, L"Arial"},
        {"16-bit length 0", {0xFF, 0xFE, 0xFF, 0xFF, 0x00, 0x00}, 6, L"Arial"},
        {"32-bit length 0", {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}, 10, L"Arial"},
        // The text stops at a NUL unit, the string still occupies all of its units.
        {"NUL inside", ArchiveBytes().Raw({0xFF, 0xFE, 0xFF, 0x05}).Raw(Units(std::wstring(L"ab\0cd", 5))).Bytes(), 14,
         L"ab"},
        {"NUL first assigns an empty text", ArchiveBytes().Raw({0xFF, 0xFE, 0xFF, 0x02}).Raw(Units(std::wstring(L"\0c", 2))).Bytes(),
         8, L""},
        // Units that are not ASCII pass through unchanged (surrogate pair included).
        {"wide units", ArchiveBytes().Raw({0xFF, 0xFE, 0xFF, 0x03}).Raw({0xE4, 0x00, 0x3D, 0xD8, 0x00, 0xDE}).Bytes(), 10,
         std::wstring{L'\x00E4', L'\xD83D', L'\xDE00'}},
    };
}

TEST(ReadWideString, DecodesEveryHeaderForm)
{
    for (const DecodeCase& c : DecodeCases()) {
        SCOPED_TRACE(c.what);
        // Trailing bytes belong to the next value and must not be consumed.
        std::vector<uint8_t> bytes = c.bytes;
        bytes.push_back(0x5A);
        GuardPageBuffer memory(bytes);
        std::wstring text = L"Arial";
        EXPECT_EQ(ReadWideString(memory.begin(), memory.end(), text), c.consumed);
        EXPECT_EQ(text, c.text);
    }
}

TEST(ReadWideString, ReportsWhetherItAssigned)
{
    const std::vector<uint8_t> empty = {0xFF, 0xFE, 0xFF, 0x00};
    const std::vector<uint8_t> nulFirst = {0xFF, 0xFE, 0xFF, 0x01, 0x00, 0x00};
    std::wstring text = L"Arial";
    bool assigned = true;
    EXPECT_EQ(ReadWideString(empty.data(), empty.data() + empty.size(), text, assigned), 4u);
    EXPECT_FALSE(assigned);
    EXPECT_EQ(ReadWideString(nulFirst.data(), nulFirst.data() + nulFirst.size(), text, assigned), 6u);
    EXPECT_TRUE(assigned);
    EXPECT_EQ(text, L"");
}

// Every cut of a valid string, in each header form, is refused without a read past the end.
TEST(ReadWideString, RefusesEveryTruncation)
{
    const std::vector<std::vector<uint8_t>> strings = {
        ArchiveBytes().Str(L"Vo_SlideShow_Light").Bytes(),
        ArchiveBytes().Str(L"abc", ArchiveBytes::Header::Word).Bytes(),
        ArchiveBytes().Str(L"abc", ArchiveBytes::Header::DoubleWord).Bytes(),
        ArchiveBytes().Str(L"", ArchiveBytes::Header::DoubleWord).Bytes(),
    };
    for (const auto& whole : strings) {
        for (size_t cut = 0; cut < whole.size(); ++cut) {
            SCOPED_TRACE(testing::Message() << "cut " << cut << " of " << whole.size());
            GuardPageBuffer memory(whole.data(), cut);
            std::wstring text = L"Arial";
            EXPECT_EQ(ReadWideString(memory.begin(), memory.end(), text), 0u);
            EXPECT_EQ(text, L"Arial");
        }
    }
}

// Lengths whose byte count cannot fit in what remains, the largest ones included, are refused
// before anything is allocated or copied.
TEST(ReadWideString, RefusesLengthsLargerThanTheBytesLeft)
{
    const std::vector<std::vector<uint8_t>> cases = {
        ArchiveBytes().Raw({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}).U32(0xFFFFFFFF).Raw({1, 2, 3, 4}).Bytes(),
        ArchiveBytes().Raw({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}).U32(0x80000000).Raw({1, 2}).Bytes(),
        ArchiveBytes().Raw({0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF}).Raw({1, 2, 3}).Bytes(),
        // One unit short, and a length whose last unit has only one of its two bytes.
        ArchiveBytes().Raw({0xFF, 0xFE, 0xFF, 0x03}).Raw(Units(L"ab")).Bytes(),
        ArchiveBytes().Raw({0xFF, 0xFE, 0xFF, 0x03}).Raw(Units(L"ab")).U8('c').Bytes(),
    };
    for (const auto& bytes : cases) {
        GuardPageBuffer memory(bytes);
        std::wstring text = L"Arial";
        EXPECT_EQ(ReadWideString(memory.begin(), memory.end(), text), 0u);
        EXPECT_EQ(text, L"Arial");
    }
}

TEST(ReadWideString, RefusesNoBytes)
{
    std::wstring text = L"Arial";
    EXPECT_EQ(ReadWideString(nullptr, nullptr, text), 0u);
    EXPECT_EQ(text, L"Arial");
}

} // namespace
