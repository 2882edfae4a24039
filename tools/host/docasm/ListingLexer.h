#pragma once
#include <string>
#include <vector>

#include "ListingToken.h"

// Splits a listing into tokens. '#' starts a comment to the end of the line; whitespace and
// line breaks only separate tokens. "Double-quoted" strings take escapes (\\ \" \n \r \t \0 and
// \uXXXX for one UTF-16 unit, so a test can write a NUL or a lone surrogate); 'single-quoted'
// strings take none, so Windows paths need no doubled backslashes. A string ends on its own line.
class ListingLexer {
public:
    // fileName is only used in error messages.
    ListingLexer(std::string fileName, const std::string& text);

    // Throws ListingError at the first malformed token. The last token is always End.
    std::vector<ListingToken> Tokenize();

private:
    ListingToken ReadString(char quote);
    ListingToken ReadWord();
    void AppendEscape(ListingToken& token);
    void AppendUtf8Sequence(ListingToken& token);
    [[noreturn]] void Fail(const std::string& message) const;

    std::string m_fileName;
    const std::string& m_text;
    size_t m_pos = 0;
    int m_line = 1;
};
