#include "ListingLexer.h"

#include "ListingError.h"

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool EndsWord(char c)
{
    return IsSpace(c) || c == '{' || c == '}' || c == '"' || c == '\'' || c == '#' || c == '=';
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void AppendUtf8(std::string& text, uint32_t codePoint)
{
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

void AppendUtf16(std::u16string& units, uint32_t codePoint)
{
    if (codePoint < 0x10000) {
        units += static_cast<char16_t>(codePoint);
        return;
    }
    codePoint -= 0x10000;
    units += static_cast<char16_t>(0xD800 | (codePoint >> 10));
    units += static_cast<char16_t>(0xDC00 | (codePoint & 0x3FF));
}

} // namespace

ListingLexer::ListingLexer(std::string fileName, const std::string& text)
    : m_fileName(std::move(fileName)), m_text(text)
{
    // Editors on Windows like to start UTF-8 files with a byte-order mark.
    if (m_text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        m_pos = 3;
}

std::vector<ListingToken> ListingLexer::Tokenize()
{
    std::vector<ListingToken> tokens;
    while (true) {
        while (m_pos < m_text.size() && IsSpace(m_text[m_pos])) {
            if (m_text[m_pos] == '\n')
                ++m_line;
            ++m_pos;
        }
        if (m_pos >= m_text.size())
            break;
        const char c = m_text[m_pos];
        if (c == '#') {
            while (m_pos < m_text.size() && m_text[m_pos] != '\n')
                ++m_pos;
            continue;
        }
        if (c == '{' || c == '}') {
            ListingToken token;
            token.kind = c == '{' ? ListingToken::Kind::OpenBrace : ListingToken::Kind::CloseBrace;
            token.line = m_line;
            token.text = std::string(1, c);
            tokens.push_back(token);
            ++m_pos;
            continue;
        }
        if (c == '"' || c == '\'') {
            tokens.push_back(ReadString(c));
            continue;
        }
        if (c == '=')
            Fail("'=' without an attribute name before it");
        tokens.push_back(ReadWord());
    }
    ListingToken end;
    end.kind = ListingToken::Kind::End;
    end.line = m_line;
    tokens.push_back(end);
    return tokens;
}

ListingToken ListingLexer::ReadWord()
{
    ListingToken token;
    token.kind = ListingToken::Kind::Word;
    token.line = m_line;
    while (m_pos < m_text.size() && !EndsWord(m_text[m_pos]))
        token.text += m_text[m_pos++];
    if (m_pos < m_text.size() && m_text[m_pos] == '=') {
        token.kind = ListingToken::Kind::Key;
        ++m_pos;
    }
    return token;
}

ListingToken ListingLexer::ReadString(char quote)
{
    ListingToken token;
    token.kind = ListingToken::Kind::String;
    token.line = m_line;
    ++m_pos;
    while (true) {
        if (m_pos >= m_text.size() || m_text[m_pos] == '\n' || m_text[m_pos] == '\r')
            Fail("unterminated string (strings end on the line they start; use \\n for a line break)");
        const char c = m_text[m_pos];
        if (c == quote) {
            ++m_pos;
            return token;
        }
        if (c == '\\' && quote == '"') {
            AppendEscape(token);
            continue;
        }
        AppendUtf8Sequence(token);
    }
}

void ListingLexer::AppendEscape(ListingToken& token)
{
    ++m_pos;
    if (m_pos >= m_text.size())
        Fail("unterminated string");
    const char c = m_text[m_pos++];
    uint32_t unit = 0;
    switch (c) {
    case '\\': unit = '\\'; break;
    case '"': unit = '"'; break;
    case '\'': unit = '\''; break;
    case 'n': unit = '\n'; break;
    case 'r': unit = '\r'; break;
    case 't': unit = '\t'; break;
    case '0': unit = 0; break;
    case 'u':
        for (int i = 0; i < 4; ++i) {
            const int digit = m_pos < m_text.size() ? HexDigitValue(m_text[m_pos]) : -1;
            if (digit < 0)
                Fail("\\u needs exactly four hexadecimal digits");
            unit = unit * 16 + static_cast<uint32_t>(digit);
            ++m_pos;
        }
        break;
    default:
        Fail(std::string("unknown escape \\") + c +
             " (write \\\\ for a backslash, or use a 'single-quoted' string)");
    }
    token.units += static_cast<char16_t>(unit);
    AppendUtf8(token.text, unit);
}

void ListingLexer::AppendUtf8Sequence(ListingToken& token)
{
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(m_text[i]); };
    const uint8_t lead = byte(m_pos);
    int extra = 0;
    uint32_t codePoint = 0;
    if (lead < 0x80) {
        codePoint = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        codePoint = lead & 0x07;
    } else {
        Fail("string is not valid UTF-8");
    }
    for (int i = 1; i <= extra; ++i) {
        if (m_pos + i >= m_text.size() || (byte(m_pos + i) & 0xC0) != 0x80)
            Fail("string is not valid UTF-8");
        codePoint = (codePoint << 6) | (byte(m_pos + i) & 0x3F);
    }
    static const uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (codePoint < kSmallest[extra] || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        Fail("string is not valid UTF-8");
    token.text.append(m_text, m_pos, extra + 1);
    AppendUtf16(token.units, codePoint);
    m_pos += extra + 1;
}

void ListingLexer::Fail(const std::string& message) const
{
    throw ListingError(m_fileName, m_line, message);
}
