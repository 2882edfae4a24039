#pragma once
#include <cstdint>
#include <functional>
#include <vector>

// The bytes of an uncompressed bottom-up BMP of w x h pixels whose colours (0xAARRGGBB) come from
// a function of the pixel, as a document would embed a picture: 24 bits a pixel (the alpha is
// dropped), or 32 (the alpha byte is kept, though BMP readers such as D3DX take it as unused).
std::vector<uint8_t> MakeBmp(unsigned w, unsigned h, const std::function<uint32_t(unsigned, unsigned)>& colour,
                             unsigned bitsPerPixel = 24);

// A 32-bit BMP of one colour.
std::vector<uint8_t> SolidBmp(unsigned w, unsigned h, uint32_t colour);
