#include "ListingAssembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ListingError.h"
#include "ScratchFolder.h"

namespace {

std::vector<uint8_t> Hex(const std::string& text)
{
    std::vector<uint8_t> bytes;
    std::string digits;
    for (char c : text) {
        if (c != ' ')
            digits += c;
    }
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::vector<uint8_t> Assemble(const std::string& listing)
{
    ListingAssembler assembler;
    assembler.AssembleText(listing, "test.lst");
    return assembler.Bytes();
}

// UTF-16LE bytes of an ASCII text, for expected values.
std::string Utf16Hex(const std::string& ascii)
{
    std::string hex;
    static const char kDigits[] = "0123456789ABCDEF";
    for (unsigned char c : ascii) {
        hex += kDigits[c >> 4];
        hex += kDigits[c & 15];
        hex += " 00 ";
    }
    return hex;
}

struct EncodingCase {
    const char* listing;
    std::string expected;
};

} // namespace

TEST(ListingAssemblerEncoding, ValuesMatchHandWrittenBytes)
{
    const EncodingCase cases[] = {
        // The document tag: marker, length 11, 22 bytes of text.
        {"string \"ZUL v 4.0.0\"", "FF FE FF 0B " + Utf16Hex("ZUL v 4.0.0")},
        // The file-link stamp example: 2 x 2^32 + 1, low half first.
        {"int64 0x200000001", "01 00 00 00 02 00 00 00"},
        {"int64 8589934593", "01 00 00 00 02 00 00 00"},
        {"int64 -1", "FF FF FF FF FF FF FF FF"},
        {"int64 0xFFFFFFFFFFFFFFFF", "FF FF FF FF FF FF FF FF"},
        // A module blob without bytes: id, module name, size 0, empty name = 44 bytes.
        {"blob id=6 module=\"common_res.dll\" name=\"\"",
         "06 00 00 00 FF FE FF 0E " + Utf16Hex("common_res.dll") + "00 00 00 00 FF FE FF 00"},
        {"blob id=6 module=\"common_res.dll\"",
         "06 00 00 00 FF FE FF 0E " + Utf16Hex("common_res.dll") + "00 00 00 00 FF FE FF 00"},
        {"blob hex=\"AB CD\" name=\"p\"", "00 00 00 00 FF FE FF 00 02 00 00 00 AB CD FF FE FF 01 70 00"},
        {"buffer hex=\"01\" name=\"m.mp3\"", "01 00 00 00 01 FF FE FF 05 " + Utf16Hex("m.mp3")},
        {"buffer", "00 00 00 00 FF FE FF 00"},
        // Signed and unsigned 32-bit values at their limits.
        {"int -2", "FE FF FF FF"},
        {"int -2147483648", "00 00 00 80"},
        {"long 0x7FFFFFFF", "FF FF FF 7F"},
        {"uint 4294967295", "FF FF FF FF"},
        {"uint 0x10", "10 00 00 00"},
        {"float 1.0", "00 00 80 3F"},
        {"float -0.5", "00 00 00 BF"},
        {"float 3", "00 00 40 40"},
        {"char 65", "41"},
        {"char -1", "FF"},
        {"bool true  bool false  bool 1", "01 00 01"},
        {"point 1 -1", "01 00 00 00 FF FF FF FF"},
        // Strings: empty is the header alone; non-ASCII goes through UTF-16, with surrogates
        // above U+FFFF; escapes give NUL and lone units.
        {"string \"\"", "FF FE FF 00"},
        {"string \"\xC3\xA9\"", "FF FE FF 01 E9 00"},
        {"string \"\xF0\x9F\x98\x80\"", "FF FE FF 02 3D D8 00 DE"},
        {"string \"a\\0b\"", "FF FE FF 03 61 00 00 00 62 00"},
        {"string \"\\u00E9\\\\\\\"\"", "FF FE FF 03 E9 00 5C 00 22 00"},
        {"string 'C:\\a'", "FF FE FF 04 " + Utf16Hex("C:\\a")},
        // A GUID is its braced text, upper-cased as the platform writes it.
        {"guid \"{082b574a-73a8-4c9c-80de-c8b85a9f9769}\"",
         "FF FE FF 26 " + Utf16Hex("{082B574A-73A8-4C9C-80DE-C8B85A9F9769}")},
        {"filelink 'C:\\p.png' 5", "FF FE FF 08 " + Utf16Hex("C:\\p.png") + "05 00 00 00 00 00 00 00"},
        {"record \"Vo_AudioFile\" version 1", "FF FE FF 0C " + Utf16Hex("Vo_AudioFile") + "01 00 00 00"},
        {"raw \"FF FE 00\"", "FF FE 00"},
        // Lists: the tool writes the count.
        {"list float { 1.0 2.0 }", "02 00 00 00 00 00 80 3F 00 00 00 40"},
        {"list float { float 1.0 2.0 }", "02 00 00 00 00 00 80 3F 00 00 00 40"},
        {"list float { }", "00 00 00 00"},
        {"list { { int 1 int 2 } int 3 }", "02 00 00 00 01 00 00 00 02 00 00 00 03 00 00 00"},
        {"list { list int { 7 } }", "01 00 00 00 01 00 00 00 07 00 00 00"},
        {"list { { record \"A\" version 1 int 2 } }", "01 00 00 00 FF FE FF 01 41 00 01 00 00 00 02 00 00 00"},
        {"list blob { blob id=1 blob id=2 }",
         "02 00 00 00 01 00 00 00 FF FE FF 00 00 00 00 00 FF FE FF 00"
         " 02 00 00 00 FF FE FF 00 00 00 00 00 FF FE FF 00"},
        {"list blob { id=1 }", "01 00 00 00 01 00 00 00 FF FE FF 00 00 00 00 00 FF FE FF 00"},
        // Comments, indentation and line breaks carry no bytes.
        {"# a comment\n   int 1 # trailing\n\n\tbool 1", "01 00 00 00 01"},
        {"\xEF\xBB\xBFint 1", "01 00 00 00"},
        {"", ""},
    };
    for (const EncodingCase& c : cases) {
        SCOPED_TRACE(c.listing);
        EXPECT_EQ(Assemble(c.listing), Hex(c.expected));
    }
}

// The length byte 0xFF escapes to a 16-bit length and 0xFFFF to a 32-bit one, so the counts
// equal to an escape value already need the wider header.
TEST(ListingAssemblerEncoding, StringHeaderWidensWithLength)
{
    struct HeaderCase {
        size_t units;
        std::string header;
    };
    const HeaderCase cases[] = {
        {254, "FF FE FF FE"},
        {255, "FF FE FF FF FF 00"},
        {256, "FF FE FF FF 00 01"},
        {65534, "FF FE FF FF FE FF"},
        {65535, "FF FE FF FF FF FF FF FF 00 00"},
        {70000, "FF FE FF FF FF FF 70 11 01 00"},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.units);
        const std::vector<uint8_t> bytes = Assemble("string \"" + std::string(c.units, 'x') + "\"");
        const std::vector<uint8_t> header = Hex(c.header);
        ASSERT_EQ(bytes.size(), header.size() + 2 * c.units);
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + header.size()), header);
        EXPECT_EQ(bytes[header.size()], 'x');
        EXPECT_EQ(bytes[header.size() + 1], 0);
        EXPECT_EQ(bytes.back(), 0);
    }
}

TEST(ListingAssemblerIncludes, FilesResolveRelativeToTheListingThatNamesThem)
{
    ScratchFolder folder;
    folder.Write("parts/pic.bin", std::string("\x01\x02\x03", 3));
    folder.Write("parts/slide.lst", "blob id=0 module=\"\" file=\"pic.bin\" name=\"pic.png\"\n");
    folder.Write("parts/float.lst", "float 2.0\n");
    folder.Write("parts/two.lst", "include \"float.lst\"\nbuffer file=\"pic.bin\"\n");
    // The same file twice is a diamond, not a cycle; an include in a list is one item.
    const auto main = folder.Write("main.lst",
                                   "include \"parts/slide.lst\"\n"
                                   "list { include \"parts/float.lst\" include \"parts/two.lst\" }\n");

    ListingAssembler assembler;
    assembler.AssembleFile(main);

    EXPECT_EQ(assembler.Bytes(),
              Hex("00 00 00 00 FF FE FF 00 03 00 00 00 01 02 03 FF FE FF 07 " + Utf16Hex("pic.png") +
                  "02 00 00 00 00 00 00 40 00 00 00 40 03 00 00 00 01 02 03 FF FE FF 00"));
    std::vector<std::string> names;
    for (const auto& dependency : assembler.Dependencies()) {
        EXPECT_TRUE(dependency.is_absolute()) << dependency;
        names.push_back(dependency.lexically_relative(folder.Path()).generic_string());
    }
    for (const char* expected : {"main.lst", "parts/slide.lst", "parts/pic.bin", "parts/two.lst"})
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
}

namespace {

struct ErrorCase {
    const char* listing;
    int line;
    const char* message;
};

} // namespace

TEST(ListingAssemblerErrors, NameFileLineAndFault)
{
    const ErrorCase cases[] = {
        {"int 1\nfoo 3", 2, "unknown type 'foo'"},
        {"list foo { 1 }", 1, "expected '{' or an item type after 'list'"},
        // Numbers that do not parse, or do not fit their type.
        {"int 12x", 1, "bad number '12x'"},
        {"int", 1, "expected a number for int, found the end of the file"},
        {"int 2147483648", 1, "out of range for int"},
        {"int -2147483649", 1, "out of range for int"},
        {"uint -1", 1, "out of range for uint"},
        {"char 256", 1, "out of range for char"},
        {"int64 0x10000000000000000", 1, "bad number"},
        {"int64 -0x8000000000000001", 1, "out of range for int64"},
        {"float abc", 1, "bad number 'abc' for float"},
        {"float 1e99", 1, "out of range for float"},
        {"bool yes", 1, "bad bool 'yes'"},
        {"\n\nstring \"abc\nint 1", 3, "unterminated string"},
        {"string \"abc", 1, "unterminated string"},
        {"string 'abc", 1, "unterminated string"},
        {"string \"a\\qb\"", 1, "unknown escape \\q"},
        {"string \"\\u12\"", 1, "\\u needs exactly four hexadecimal digits"},
        {"string \"\xC3\"", 1, "not valid UTF-8"},
        {"string \"\xC0\x80\"", 1, "not valid UTF-8"},
        {"string abc", 1, "expected a quoted string, found 'abc'"},
        {"\"abc\"", 1, "a string needs its type in front"},
        {"guid \"{082B574A-73A8-4C9C-80DE-C8B85A9F976}\"", 1, "bad GUID"},
        {"guid \"082B574A-73A8-4C9C-80DE-C8B85A9F9769\"", 1, "bad GUID"},
        {"raw \"F\"", 1, "odd number of hexadecimal digits"},
        {"buffer hex=\"GG\"", 1, "bad hexadecimal digit 'G'"},
        {"blob id=1 id=2", 1, "attribute 'id' given twice"},
        {"blob size=3", 1, "unknown blob attribute 'size'"},
        {"buffer id=3", 1, "unknown buffer attribute 'id'"},
        {"blob hex=\"00\" file=\"x\"", 1, "not both"},
        {"name=\"x\"", 1, "attribute 'name=' outside a blob or buffer"},
        {"list blob { 5 }", 1, "expected a blob item or '}', found '5'"},
        {"record \"A\" 3", 1, "expected 'version'"},
        {"list {\n record \"A\" version 1 int 2\n}", 2, "a record in a list goes in braces"},
        // Braces that do not pair up.
        {"list {\n int 1\n", 3, "'{' on line 1 is never closed"},
        {"list float {\n 1.0\n", 3, "'{' on line 1 is never closed"},
        {"int 1\n}", 2, "'}' without a matching '{'"},
        {"x= 1", 1, "attribute 'x=' outside"},
        {"= 1", 1, "'=' without an attribute name"},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.listing);
        ListingAssembler assembler;
        try {
            assembler.AssembleText(c.listing, "dir/test.lst");
            ADD_FAILURE() << "no error";
        } catch (const ListingError& e) {
            EXPECT_EQ(e.File(), "dir/test.lst");
            EXPECT_EQ(e.Line(), c.line);
            EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("dir/test.lst:" + std::to_string(c.line) + ": ", 0), 0u);
        }
    }
}

TEST(ListingAssemblerErrors, MissingFilesAndCyclesNameTheIncludingLine)
{
    ScratchFolder folder;
    folder.Write("a.lst", "int 1\ninclude \"sub/b.lst\"\n");
    folder.Write("sub/b.lst", "# b\n\ninclude \"../a.lst\"\n");
    folder.Write("self.lst", "include 'self.lst'\n");
    folder.Write("missing-include.lst", "int 1\n\ninclude \"nothere.lst\"\n");
    folder.Write("missing-blob.lst", "blob id=0\nblob file=\"nothere.png\" name=\"x\"\n");
    folder.Write("missing-buffer.lst", "list {\n buffer file=\"sub\"\n}\n");
    folder.Write("bad-in-include.lst", "include \"sub/bad.lst\"\n");
    folder.Write("sub/bad.lst", "int 1\n\n\nfloat x\n");

    struct FileCase {
        const char* listing;
        const char* file; // relative to the folder
        int line;
        const char* message;
    };
    const FileCase cases[] = {
        {"a.lst", "sub/b.lst", 3, "include cycle: "},
        {"self.lst", "self.lst", 1, "include cycle: "},
        {"missing-include.lst", "missing-include.lst", 3, "cannot read included listing 'nothere.lst'"},
        {"missing-blob.lst", "missing-blob.lst", 2, "cannot read file 'nothere.png'"},
        // A folder is not a data file.
        {"missing-buffer.lst", "missing-buffer.lst", 2, "cannot read file 'sub'"},
        {"bad-in-include.lst", "sub/bad.lst", 4, "bad number 'x' for float"},
        {"not-there.lst", "not-there.lst", 0, "cannot read listing"},
    };
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.listing);
        ListingAssembler assembler;
        try {
            assembler.AssembleFile(folder.Path() / c.listing);
            ADD_FAILURE() << "no error";
        } catch (const ListingError& e) {
            EXPECT_EQ(std::filesystem::path(e.File()).lexically_normal(),
                      (folder.Path() / c.file).lexically_normal());
            EXPECT_EQ(e.Line(), c.line);
            EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST(ListingAssemblerErrors, CycleMessageShowsTheChain)
{
    ScratchFolder folder;
    folder.Write("top.lst", "include \"a.lst\"\n");
    folder.Write("a.lst", "include \"b.lst\"\n");
    folder.Write("b.lst", "include \"a.lst\"\n");
    ListingAssembler assembler;
    try {
        assembler.AssembleFile(folder.Path() / "top.lst");
        ADD_FAILURE() << "no error";
    } catch (const ListingError& e) {
        const std::string a = (folder.Path() / "a.lst").string();
        const std::string b = (folder.Path() / "b.lst").string();
        EXPECT_EQ(e.Message(), "include cycle: " + a + " -> " + b + " -> " + a);
    }
}
