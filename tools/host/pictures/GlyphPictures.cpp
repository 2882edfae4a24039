#include "GlyphPictures.h"

#include "Image.h"
#include "PictureFiles.h"
#include "PixelFont.h"

#include <algorithm>
#include <vector>

namespace {

// Mirrors the pixels of a rectangle left to right.
void MirrorAcross(Image& image, unsigned left, unsigned top, unsigned width, unsigned height)
{
    for (unsigned y = top; y < top + height && y < image.height; ++y)
        for (unsigned x = 0; x < width / 2; ++x)
            std::swap_ranges(image.At(left + x, y), image.At(left + x, y) + image.channels,
                             image.At(left + width - 1 - x, y));
}

// Widens every stroke of a glyph by one pixel to each side, so that glyphs drawn a few pixels
// high on the screen still read as solid strokes.
void Embolden(Image& image, unsigned left, unsigned top, unsigned width, unsigned height)
{
    for (unsigned y = top; y < top + height; ++y) {
        std::vector<bool> ink(width + 2, false);
        for (unsigned x = 0; x < width; ++x)
            ink[x + 1] = image.At(left + x, y)[3] != 0;
        for (unsigned x = 0; x < width + 2; ++x) {
            const bool near = ink[x] || (x > 0 && ink[x - 1]) || (x + 1 < width + 2 && ink[x + 1]);
            if (near)
                image.At(left + x - 1, y)[3] = 255;
        }
    }
}

}  // namespace

bool MakeGlyphStrip(const std::string& path)
{
    // 32 x 1024: 1024 / 32 + 2 = 34 slices of about 30 pixels, one glyph centred in each.
    const unsigned width = 32, height = 1024;
    const unsigned slices = height / width + 2;
    const unsigned scale = 4;
    const unsigned glyphWidth = PixelFont::kGlyphWidth * scale;
    const unsigned glyphHeight = PixelFont::kGlyphHeight * scale;
    // Digits and letters, every other letter mirrored, so the rain reads as code, not as text.
    const std::string glyphs = "0123456789ZJKRNETSAXHLPFYGQUBDMVWC";
    Image image(width, height, 4);
    for (unsigned i = 0; i < image.width * image.height; ++i) {
        // Transparent white, so that filtering at a glyph's edge does not darken it.
        uint8_t* p = &image.bytes[size_t(i) * 4];
        p[0] = p[1] = p[2] = 255;
        p[3] = 0;
    }
    const uint8_t white[4] = {255, 255, 255, 255};
    for (unsigned k = 0; k < slices; ++k) {
        const unsigned sliceTop = k * height / slices;
        const unsigned sliceHeight = (k + 1) * height / slices - sliceTop;
        const unsigned left = (width - glyphWidth) / 2;
        const unsigned top = sliceTop + (sliceHeight - glyphHeight) / 2;
        const char c = glyphs[k % glyphs.size()];
        PixelFont::Draw(image, std::string(1, c), int(left), int(top), scale, white);
        if (k >= 10 && k % 2 == 1)
            MirrorAcross(image, left, top, glyphWidth, glyphHeight);
        Embolden(image, left, top, glyphWidth, glyphHeight);
    }
    return WritePng(path, image);
}
