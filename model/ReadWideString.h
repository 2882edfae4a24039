#pragma once
#include <cstddef>
#include <cstdint>

#include "model/vo_string.h"

// Decodes one archive wide string at p: three marker bytes (any values), a length byte that 0xFF
// extends to a 16-bit length and 0xFFFF further to a 32-bit one, then that many UTF-16LE units.
// The text ends at the first NUL unit. Returns the bytes the string occupies, header included.
// A length of 0 leaves text as it was, so a default the destination holds survives.
// Returns 0 and leaves text alone when the string does not fit between p and end (a valid
// string always occupies at least its 4-byte header).
size_t ReadWideString(const uint8_t* p, const uint8_t* end, vo_string& text);
// The same, also telling whether text was assigned: false for a stored length of 0, which a
// reader decoding into a scratch string needs to tell apart from a string that begins with NUL.
size_t ReadWideString(const uint8_t* p, const uint8_t* end, vo_string& text, bool& assigned);
