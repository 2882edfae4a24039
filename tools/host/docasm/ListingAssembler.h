#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "ArchiveWriter.h"
#include "ListingToken.h"

// Turns a listing of typed values into archive bytes. A listing is a sequence of items:
//   int -3   uint 7   long 2   int64 0x200000001   float 1.5   char 65   bool true
//   point 10 -20   string "Vo_SlideContainer"   guid "{082B574A-73A8-4C9C-80DE-C8B85A9F9769}"
//   filelink 'C:\pics\a.png' 0x01D2C3B4A5968778
//   buffer file="music.mp3" name="music.mp3"      (or hex="00 01", or no bytes at all)
//   blob id=0 module="" file="pic.png" name="pic.png"
//   raw "FF FE FF 00"                             (bytes as they are, for damaged documents)
//   record "Vo_SlideContainer" version 3          (the class name and version of a record)
//   list float { 1.0 2.0 }                        (a count, then the items)
//   list { { record "Vo_SlideContainer" version 3 ... } include "slide.lst" }
//   include "store.lst"
// A typed list counts operands of its type (the type word may be repeated before each item);
// an untyped list counts its items, a braced group or an include being one item (a record in a
// list must be one of these, so its fields count with it). File paths are
// relative to the listing that names them.
class ListingAssembler {
public:
    // Throws ListingError for a fault in any listing it reads.
    void AssembleFile(const std::filesystem::path& listing);
    // For tests: the text stands for a listing at the given path, whose folder anchors relative
    // paths.
    void AssembleText(const std::string& text, const std::filesystem::path& listing);

    const std::vector<uint8_t>& Bytes() const { return m_writer.Bytes(); }
    // Every listing and data file read, absolute, for build-system dependency files.
    const std::vector<std::filesystem::path>& Dependencies() const { return m_dependencies; }

private:
    struct Source {
        std::filesystem::path path;
        std::string displayName;
        std::vector<ListingToken> tokens;
        size_t next = 0;
    };

    void AssembleSource(const std::filesystem::path& path, const std::string& displayName,
                        const std::string& text, int includeLine, const Source* includer);
    void AssembleItems(Source& source, bool inList, uint32_t* count);
    void AssembleItem(Source& source, const ListingToken& keyword);
    void AssembleInclude(Source& source, const ListingToken& keyword);
    void AssembleList(Source& source, const ListingToken& keyword);
    void AssembleTypedList(Source& source, const std::string& type, uint32_t& count);
    void AssembleValue(Source& source, const std::string& type, const ListingToken& at);
    void AssembleBytesItem(Source& source, const std::string& type);

    const ListingToken& Take(Source& source);
    const ListingToken& Peek(const Source& source) const;
    const ListingToken& TakeWord(Source& source, const std::string& what);
    const ListingToken& TakeString(Source& source, const std::string& what);
    int64_t TakeInteger(Source& source, const std::string& what, int64_t min, int64_t max);
    uint64_t TakeInt64(Source& source);
    float TakeFloat(Source& source);
    bool TakeBool(Source& source);
    std::vector<uint8_t> ParseHex(const Source& source, const ListingToken& token);
    std::vector<uint8_t> ReadDataFile(const Source& source, const ListingToken& token);
    std::filesystem::path Resolve(const Source& source, const std::string& relative) const;

    [[noreturn]] void Fail(const Source& source, int line, const std::string& message) const;

    ArchiveWriter m_writer;
    std::vector<const Source*> m_includeStack;
    std::vector<std::filesystem::path> m_dependencies;
};
