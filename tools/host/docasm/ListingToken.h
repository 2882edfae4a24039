#pragma once
#include <string>

// One token of a listing. A bare word (keyword, number, name) is a Word; a word glued to '='
// (id=6) is a Key whose text is the name before '='. Strings keep both their UTF-16 units, which
// go into the archive, and their UTF-8 text, which names files.
struct ListingToken {
    enum class Kind { Word, Key, String, OpenBrace, CloseBrace, End };

    Kind kind = Kind::End;
    int line = 0;
    std::string text;
    std::u16string units;
};
