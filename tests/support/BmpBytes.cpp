#include "support/BmpBytes.h"

std::vector<uint8_t> MakeBmp(unsigned w, unsigned h, const std::function<uint32_t(unsigned, unsigned)>& colour,
                             unsigned bitsPerPixel)
{
    const unsigned pixelBytes = bitsPerPixel == 32 ? 4 : 3;
    const unsigned rowBytes = (w * pixelBytes + 3) & ~3u;
    const uint32_t imageSize = rowBytes * h, fileSize = 54 + imageSize;
    std::vector<uint8_t> bmp(fileSize, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = uint8_t(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, fileSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    bmp[26] = 1;
    bmp[28] = uint8_t(pixelBytes * 8);
    put32(34, imageSize);
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x) {
            const uint32_t c = colour(x, y);
            uint8_t* p = &bmp[54 + (h - 1 - y) * rowBytes + x * pixelBytes];
            for (unsigned i = 0; i < pixelBytes; ++i)
                p[i] = uint8_t(c >> (8 * i));
        }
    return bmp;
}

std::vector<uint8_t> SolidBmp(unsigned w, unsigned h, uint32_t colour)
{
    return MakeBmp(w, h, [colour](unsigned, unsigned) { return colour; }, 32);
}
