#pragma once
// A picture file (PNG, JPEG, BMP, DDS) decoded by D3DX as the saver's textures are, for tests that
// compare what a screen shows with the picture itself.
#include <cstdint>
#include <vector>

struct DecodedPicture {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, row by row from the top

    uint32_t At(unsigned x, unsigned y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // The colour at a point in pixel units, filtered bilinearly between the four nearest pixel
    // centres (the edges repeat), as 0x00RRGGBB.
    uint32_t Sample(double x, double y) const;
};

// Decodes on a device of its own (a hidden window's), made and let go inside the call. A file that
// does not decode gives a picture without pixels.
DecodedPicture DecodePicture(const std::vector<uint8_t>& bytes);
