#pragma once
#include <cstdint>
#include <functional>
#include <vector>

// The bytes of a 24-bit bottom-up BMP of w x h pixels whose colours (0x00RRGGBB) come from a
// function of the pixel, as a document would embed a picture.
std::vector<uint8_t> MakeBmp(unsigned w, unsigned h, const std::function<uint32_t(unsigned, unsigned)>& colour);
