#pragma once
#include <cstdint>

#include "model/MediaParamT.h"

// An RGB colour stored as 0x00BBGGRR: red in the low byte, blue in the third. The owner gives the
// initial colour.
class MediaColor : public MediaParamT<unsigned long> {
public:
    MediaColor() = default;
    explicit MediaColor(unsigned long colour) : MediaParamT<unsigned long>(colour) {}

    unsigned char Red() const { return static_cast<unsigned char>(m_value & 0xFF); }
    unsigned char Green() const { return static_cast<unsigned char>((m_value >> 8) & 0xFF); }
    unsigned char Blue() const { return static_cast<unsigned char>((m_value >> 16) & 0xFF); }
};

// The vertex colour of a stored 0x00BBGGRR colour: ARGB, so red and blue trade places.
uint32_t ColorToVertex(unsigned long colour, unsigned char alpha);

// A colour channel that went through floating point (byte / 255 times a factor) back to a byte:
// 255 at 1 or above, 0 at 0 or below and for NaN, otherwise value x 255 + 0.5 truncated.
unsigned char UnitToColorByte(float value);
