#pragma once
#include "Image.h"

#include <string>

// Writers of the picture file formats the program and its documents carry. Each returns false
// and prints the reason to stderr when the file cannot be written.
//
// Wine 8's D3DX refuses 1/2/4-bit palette PNGs and 16-bit PNGs, so PNGs are always written with
// 8 bits per channel (grey, RGB or RGBA, from the image's channel count).
bool WritePng(const std::string& path, const Image& image);
// Grey (1 channel) or RGB (3 channels); quality 1..100.
bool WriteJpeg(const std::string& path, const Image& image, int quality);
// 24-bit bottom-up BMP from an RGB image.
bool WriteBmp(const std::string& path, const Image& image);

enum class DdsFormat { A8R8G8B8, V8U8 };
// A8R8G8B8 from RGBA images, V8U8 from 2-channel (u, v) images; one image per mip level.
bool WriteDds(const std::string& path, const MipChain& levels, DdsFormat format);
// An icon file with one 32-bit entry per RGBA image (each at most 256 x 256).
bool WriteIco(const std::string& path, const std::vector<Image>& images);

// Halves an image (box filter, 2 x 2 texels, fewer at a side of 1) until 1 x 1. Channels are
// averaged as unsigned bytes, or as signed bytes when signedChannels is true (du/dv pictures).
MipChain BuildMipChain(const Image& top, bool signedChannels);
