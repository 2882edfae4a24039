#include "ListingAssembler.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>

#include "ListingError.h"
#include "ListingLexer.h"

namespace fs = std::filesystem;
using Kind = ListingToken::Kind;

namespace {

bool IsBytesType(const std::string& type)
{
    return type == "blob" || type == "buffer";
}

bool IsValueType(const std::string& type)
{
    static const char* const kTypes[] = {"int", "uint", "long", "int64", "float", "char", "bool",
                                         "point", "string", "guid", "filelink", "buffer", "blob"};
    for (const char* known : kTypes) {
        if (type == known)
            return true;
    }
    return false;
}

bool ReadWholeFile(const fs::path& path, std::string& contents)
{
    std::ifstream in(path, std::ios::binary);
    if (!in || fs::is_directory(path))
        return false;
    contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A number as written: sign and magnitude, decimal or 0x hexadecimal.
bool ParseMagnitude(const std::string& text, bool& negative, uint64_t& magnitude)
{
    size_t i = 0;
    negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    unsigned base = 10;
    if (text.compare(i, 2, "0x") == 0 || text.compare(i, 2, "0X") == 0) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return false;
    magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = HexValue(text[i]);
        if (digit < 0 || static_cast<unsigned>(digit) >= base)
            return false;
        if (magnitude > (std::numeric_limits<uint64_t>::max() - digit) / base)
            return false;
        magnitude = magnitude * base + digit;
    }
    return true;
}

} // namespace

void ListingAssembler::AssembleFile(const fs::path& listing)
{
    std::string text;
    if (!ReadWholeFile(listing, text))
        throw ListingError(listing.string(), 0, "cannot read listing");
    m_dependencies.push_back(fs::absolute(listing).lexically_normal());
    AssembleSource(listing, listing.string(), text, 0, nullptr);
}

void ListingAssembler::AssembleText(const std::string& text, const fs::path& listing)
{
    AssembleSource(listing, listing.string(), text, 0, nullptr);
}

void ListingAssembler::AssembleSource(const fs::path& path, const std::string& displayName,
                                      const std::string& text, int includeLine,
                                      const Source* includer)
{
    const fs::path identity = fs::weakly_canonical(fs::absolute(path));
    for (const Source* open : m_includeStack) {
        if (fs::weakly_canonical(fs::absolute(open->path)) != identity)
            continue;
        std::string chain;
        bool inCycle = false;
        for (const Source* s : m_includeStack) {
            inCycle = inCycle || s == open;
            if (inCycle)
                chain += s->displayName + " -> ";
        }
        Fail(*includer, includeLine, "include cycle: " + chain + displayName);
    }

    Source source;
    source.path = path;
    source.displayName = displayName;
    source.tokens = ListingLexer(displayName, text).Tokenize();
    m_includeStack.push_back(&source);
    AssembleItems(source, false, nullptr);
    m_includeStack.pop_back();
}

void ListingAssembler::AssembleItems(Source& source, bool inList, uint32_t* count)
{
    const int openLine = source.next > 0 ? source.tokens[source.next - 1].line : 0;
    while (true) {
        const ListingToken& token = Take(source);
        switch (token.kind) {
        case Kind::End:
            if (inList)
                Fail(source, token.line, "'{' on line " + std::to_string(openLine) + " is never closed");
            return;
        case Kind::CloseBrace:
            if (!inList)
                Fail(source, token.line, "'}' without a matching '{'");
            return;
        case Kind::OpenBrace:
            AssembleItems(source, true, nullptr);
            break;
        case Kind::Word:
            // A record's fields follow its header as further items, so a bare header in a list
            // would make the count wrong.
            if (count && token.text == "record")
                Fail(source, token.line, "a record in a list goes in braces, { record ... }, or in "
                                         "a listing of its own that the list includes");
            AssembleItem(source, token);
            break;
        case Kind::Key:
            Fail(source, token.line, "attribute '" + token.text + "=' outside a blob or buffer");
        case Kind::String:
            Fail(source, token.line, "a string needs its type in front, as in: string \"" +
                                         token.text + "\"");
        }
        if (count)
            ++*count;
    }
}

void ListingAssembler::AssembleItem(Source& source, const ListingToken& keyword)
{
    if (keyword.text == "include") {
        AssembleInclude(source, keyword);
    } else if (keyword.text == "list") {
        AssembleList(source, keyword);
    } else if (keyword.text == "record") {
        m_writer.WriteString(TakeString(source, "record class name").units);
        const ListingToken& word = TakeWord(source, "'version'");
        if (word.text != "version")
            Fail(source, word.line, "expected 'version' after the record's class name, found '" +
                                        word.text + "'");
        m_writer.WriteInt(static_cast<int32_t>(
            TakeInteger(source, "record version", std::numeric_limits<int32_t>::min(),
                        std::numeric_limits<int32_t>::max())));
    } else if (keyword.text == "raw") {
        m_writer.WriteRaw(ParseHex(source, TakeString(source, "hexadecimal bytes")));
    } else {
        AssembleValue(source, keyword.text, keyword);
    }
}

void ListingAssembler::AssembleInclude(Source& source, const ListingToken&)
{
    const ListingToken& name = TakeString(source, "file name to include");
    const fs::path path = Resolve(source, name.text);
    std::string text;
    if (!ReadWholeFile(path, text))
        Fail(source, name.line, "cannot read included listing '" + name.text + "' (" +
                                    fs::absolute(path).string() + ")");
    m_dependencies.push_back(fs::absolute(path).lexically_normal());
    AssembleSource(path, path.lexically_normal().string(), text, name.line, &source);
}

void ListingAssembler::AssembleList(Source& source, const ListingToken&)
{
    const size_t countOffset = m_writer.Size();
    m_writer.WriteUInt(0);
    uint32_t count = 0;
    const ListingToken& next = Take(source);
    if (next.kind == Kind::OpenBrace) {
        AssembleItems(source, true, &count);
    } else if (next.kind == Kind::Word && IsValueType(next.text)) {
        const ListingToken& open = Take(source);
        if (open.kind != Kind::OpenBrace)
            Fail(source, open.line, "expected '{' after 'list " + next.text + "'");
        AssembleTypedList(source, next.text, count);
    } else {
        Fail(source, next.line, "expected '{' or an item type after 'list', found '" + next.text + "'");
    }
    m_writer.PatchUInt(countOffset, count);
}

void ListingAssembler::AssembleTypedList(Source& source, const std::string& type, uint32_t& count)
{
    const int openLine = source.tokens[source.next - 1].line;
    while (true) {
        const ListingToken& token = Peek(source);
        if (token.kind == Kind::CloseBrace) {
            Take(source);
            return;
        }
        if (token.kind == Kind::End)
            Fail(source, token.line, "'{' on line " + std::to_string(openLine) + " is never closed");
        if (token.kind == Kind::Word && token.text == type)
            Take(source);
        else if (IsBytesType(type) && token.kind != Kind::Key)
            Fail(source, token.line, "expected a " + type + " item or '}', found '" + token.text + "'");
        AssembleValue(source, type, token);
        ++count;
    }
}

void ListingAssembler::AssembleValue(Source& source, const std::string& type, const ListingToken& at)
{
    constexpr int64_t kIntMin = std::numeric_limits<int32_t>::min();
    constexpr int64_t kIntMax = std::numeric_limits<int32_t>::max();
    if (type == "int") {
        m_writer.WriteInt(static_cast<int32_t>(TakeInteger(source, "int", kIntMin, kIntMax)));
    } else if (type == "long") {
        m_writer.WriteLong(static_cast<int32_t>(TakeInteger(source, "long", kIntMin, kIntMax)));
    } else if (type == "uint") {
        m_writer.WriteUInt(static_cast<uint32_t>(TakeInteger(source, "uint", 0, 0xFFFFFFFFll)));
    } else if (type == "int64") {
        m_writer.WriteInt64(TakeInt64(source));
    } else if (type == "float") {
        m_writer.WriteFloat(TakeFloat(source));
    } else if (type == "char") {
        m_writer.WriteChar(static_cast<uint8_t>(TakeInteger(source, "char", -128, 255)));
    } else if (type == "bool") {
        m_writer.WriteBool(TakeBool(source));
    } else if (type == "point") {
        const int64_t x = TakeInteger(source, "point x", kIntMin, kIntMax);
        const int64_t y = TakeInteger(source, "point y", kIntMin, kIntMax);
        m_writer.WritePoint(static_cast<int32_t>(x), static_cast<int32_t>(y));
    } else if (type == "string") {
        m_writer.WriteString(TakeString(source, "string").units);
    } else if (type == "guid") {
        const ListingToken& token = TakeString(source, "GUID in braces");
        std::string text = token.text;
        static const char kShape[] = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
        bool valid = text.size() == sizeof(kShape) - 1;
        for (size_t i = 0; valid && i < text.size(); ++i) {
            if (kShape[i] == 'x')
                valid = HexValue(text[i]) >= 0;
            else
                valid = text[i] == kShape[i];
            // Documents hold the upper-case text that the platform's GUID formatter writes.
            if (text[i] >= 'a' && text[i] <= 'f')
                text[i] = static_cast<char>(text[i] - 'a' + 'A');
        }
        if (!valid)
            Fail(source, token.line, "bad GUID '" + token.text + "', expected the form " + kShape);
        m_writer.WriteString(std::u16string(text.begin(), text.end()));
    } else if (type == "filelink") {
        m_writer.WriteString(TakeString(source, "file link path").units);
        m_writer.WriteInt64(TakeInt64(source));
    } else if (IsBytesType(type)) {
        AssembleBytesItem(source, type);
    } else {
        Fail(source, at.line, "unknown type '" + type + "'");
    }
}

void ListingAssembler::AssembleBytesItem(Source& source, const std::string& type)
{
    const bool isBlob = type == "blob";
    int32_t id = 0;
    std::u16string module;
    std::u16string name;
    std::vector<uint8_t> data;
    std::vector<std::string> seen;
    while (Peek(source).kind == Kind::Key) {
        const ListingToken& key = Take(source);
        for (const std::string& earlier : seen) {
            if (earlier == key.text)
                Fail(source, key.line, "attribute '" + key.text + "' given twice (start the next " +
                                           type + " with the word '" + type + "')");
        }
        seen.push_back(key.text);
        if (key.text == "name") {
            name = TakeString(source, "name").units;
        } else if (key.text == "file") {
            if (std::count(seen.begin(), seen.end(), "hex"))
                Fail(source, key.line, "a " + type + " takes its bytes from file= or hex=, not both");
            data = ReadDataFile(source, TakeString(source, "file path"));
        } else if (key.text == "hex") {
            if (std::count(seen.begin(), seen.end(), "file"))
                Fail(source, key.line, "a " + type + " takes its bytes from file= or hex=, not both");
            data = ParseHex(source, TakeString(source, "hexadecimal bytes"));
        } else if (isBlob && key.text == "id") {
            id = static_cast<int32_t>(TakeInteger(source, "id", std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
        } else if (isBlob && key.text == "module") {
            module = TakeString(source, "module name").units;
        } else {
            Fail(source, key.line, "unknown " + type + " attribute '" + key.text + "' (" +
                                       (isBlob ? "id, module, " : "") + "file, hex, name)");
        }
    }
    if (isBlob)
        m_writer.WriteFileBlob(id, module, data, name);
    else
        m_writer.WriteDataBuffer(data, name);
}

const ListingToken& ListingAssembler::Take(Source& source)
{
    const ListingToken& token = source.tokens[source.next];
    if (token.kind != Kind::End)
        ++source.next;
    return token;
}

const ListingToken& ListingAssembler::Peek(const Source& source) const
{
    return source.tokens[source.next];
}

const ListingToken& ListingAssembler::TakeWord(Source& source, const std::string& what)
{
    const ListingToken& token = Take(source);
    if (token.kind != Kind::Word)
        Fail(source, token.line, "expected " + what + ", found " +
                                     (token.kind == Kind::End ? "the end of the file" : "'" + token.text + "'"));
    return token;
}

const ListingToken& ListingAssembler::TakeString(Source& source, const std::string& what)
{
    const ListingToken& token = Take(source);
    if (token.kind != Kind::String)
        Fail(source, token.line, "expected a quoted " + what + ", found " +
                                     (token.kind == Kind::End ? "the end of the file" : "'" + token.text + "'"));
    return token;
}

int64_t ListingAssembler::TakeInteger(Source& source, const std::string& what, int64_t min, int64_t max)
{
    const ListingToken& token = TakeWord(source, "a number for " + what);
    bool negative = false;
    uint64_t magnitude = 0;
    if (!ParseMagnitude(token.text, negative, magnitude))
        Fail(source, token.line, "bad number '" + token.text + "' for " + what);
    const bool fits = negative ? magnitude <= static_cast<uint64_t>(-(min + 1)) + 1
                               : magnitude <= static_cast<uint64_t>(max);
    if (!fits)
        Fail(source, token.line, "number " + token.text + " is out of range for " + what + " (" +
                                     std::to_string(min) + " to " + std::to_string(max) + ")");
    return negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
}

uint64_t ListingAssembler::TakeInt64(Source& source)
{
    // Stamps are 64-bit patterns: accept the signed range and the full unsigned one.
    const ListingToken& token = TakeWord(source, "a 64-bit number");
    bool negative = false;
    uint64_t magnitude = 0;
    if (!ParseMagnitude(token.text, negative, magnitude))
        Fail(source, token.line, "bad number '" + token.text + "' for int64");
    if (negative && magnitude > (uint64_t{1} << 63))
        Fail(source, token.line, "number " + token.text + " is out of range for int64");
    return negative ? 0 - magnitude : magnitude;
}

float ListingAssembler::TakeFloat(Source& source)
{
    const ListingToken& token = TakeWord(source, "a number for float");
    const char* begin = token.text.c_str();
    char* end = nullptr;
    errno = 0;
    const float value = std::strtof(begin, &end);
    if (end == begin || *end != '\0')
        Fail(source, token.line, "bad number '" + token.text + "' for float");
    if (errno == ERANGE && value != 0.0f)
        Fail(source, token.line, "number " + token.text + " is out of range for float");
    return value;
}

bool ListingAssembler::TakeBool(Source& source)
{
    const ListingToken& token = TakeWord(source, "true or false");
    if (token.text == "true" || token.text == "1")
        return true;
    if (token.text == "false" || token.text == "0")
        return false;
    Fail(source, token.line, "bad bool '" + token.text + "' (true, false, 1 or 0)");
}

std::vector<uint8_t> ListingAssembler::ParseHex(const Source& source, const ListingToken& token)
{
    std::vector<uint8_t> bytes;
    int high = -1;
    for (char c : token.text) {
        if (c == ' ' || c == '\t')
            continue;
        const int digit = HexValue(c);
        if (digit < 0)
            Fail(source, token.line, std::string("bad hexadecimal digit '") + c + "'");
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<uint8_t>(high * 16 + digit));
            high = -1;
        }
    }
    if (high >= 0)
        Fail(source, token.line, "odd number of hexadecimal digits");
    return bytes;
}

std::vector<uint8_t> ListingAssembler::ReadDataFile(const Source& source, const ListingToken& token)
{
    const fs::path path = Resolve(source, token.text);
    std::string contents;
    if (!ReadWholeFile(path, contents))
        Fail(source, token.line, "cannot read file '" + token.text + "' (" + fs::absolute(path).string() + ")");
    m_dependencies.push_back(fs::absolute(path).lexically_normal());
    return std::vector<uint8_t>(contents.begin(), contents.end());
}

fs::path ListingAssembler::Resolve(const Source& source, const std::string& relative) const
{
    const fs::path given = fs::u8path(relative);
    if (given.is_absolute())
        return given;
    return source.path.parent_path() / given;
}

void ListingAssembler::Fail(const Source& source, int line, const std::string& message) const
{
    throw ListingError(source.displayName, line, message);
}
