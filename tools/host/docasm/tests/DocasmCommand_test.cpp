#include "DocasmCommand.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(DocasmCommand, WritesDocumentAndDependencyFile)
{
    ScratchFolder folder;
    folder.Write("with space/pic.bin", "PNG");
    folder.Write("with space/part.lst", "blob file=\"pic.bin\" name=\"pic.png\"\n");
    const fs::path listing = folder.Write("doc.lst", "string \"ZUL v 4.0.0\"\n"
                                                        "include \"with space/part.lst\"\n"
                                                        "include \"with space/part.lst\"\n");
    const fs::path output = folder.Path() / "out" / "doc.bin";
    const fs::path depfile = folder.Path() / "out" / "doc.d";

    std::ostringstream err;
    ASSERT_EQ(RunDocasm({"--depfile", depfile.string(), "-o", output.string(), listing.string()}, err), 0)
        << err.str();

    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(fs::file_size(output), 26u + 2 * (4 + 4 + 4 + 3 + 4 + 14));
    const std::string rule = ReadFile(depfile);
    EXPECT_EQ(rule.rfind(output.string() + ":", 0), 0u) << rule;
    EXPECT_NE(rule.find(listing.string()), std::string::npos) << rule;
    // Make needs the space escaped.
    EXPECT_NE(rule.find("with\\ space/part.lst"), std::string::npos) << rule;
    // Each file once, though the piece is included twice.
    const size_t pic = rule.find("with\\ space/pic.bin");
    EXPECT_NE(pic, std::string::npos) << rule;
    EXPECT_EQ(rule.find("with\\ space/pic.bin", pic + 1), std::string::npos) << rule;
    EXPECT_FALSE(fs::exists(output.string() + ".part"));
}

TEST(DocasmCommand, FaultyListingLeavesNoFileAndFails)
{
    ScratchFolder folder;
    const fs::path listing = folder.Write("bad.lst", "int 1\nstring \"never closed\n");
    const fs::path output = folder.Path() / "doc.bin";
    const fs::path depfile = folder.Path() / "doc.d";

    std::ostringstream err;
    EXPECT_EQ(RunDocasm({"--depfile", depfile.string(), "-o", output.string(), listing.string()}, err), 1);

    EXPECT_EQ(err.str(), listing.string() + ":2: unterminated string (strings end on the line they "
                                            "start; use \\n for a line break)\n");
    EXPECT_FALSE(fs::exists(output));
    EXPECT_FALSE(fs::exists(depfile));
    EXPECT_FALSE(fs::exists(output.string() + ".part"));
}

TEST(DocasmCommand, BadCommandLinesPrintUsage)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"listing.lst"},
        {"-o", "out.bin"},
        {"-o", "out.bin", "a.lst", "b.lst"},
        {"--bogus", "-o", "out.bin", "a.lst"},
    };
    for (const auto& args : cases) {
        std::ostringstream err;
        EXPECT_EQ(RunDocasm(args, err), 2);
        EXPECT_NE(err.str().find("usage: docasm"), std::string::npos);
    }
}
