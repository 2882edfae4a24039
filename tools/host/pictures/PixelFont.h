#pragma once
#include "Image.h"

#include <cstdint>
#include <string>

// A tiny built-in 5 x 7 pixel font for the notices drawn into pictures, so no system font (which
// differs from machine to machine) enters a generated picture.
class PixelFont {
public:
    static constexpr unsigned kGlyphWidth = 5;
    static constexpr unsigned kGlyphHeight = 7;
    static constexpr unsigned kAdvance = 6;

    // Width in pixels of the text at the given scale (each font pixel becomes scale x scale).
    static unsigned TextWidth(const std::string& text, unsigned scale);
    // Draws the text with its top-left corner at (x, y); pixels outside the image are skipped.
    // Characters the font lacks are drawn as blanks.
    static void Draw(Image& image, const std::string& text, int x, int y, unsigned scale,
                     const uint8_t* colour);

private:
    static const uint8_t* Glyph(char c);
};
