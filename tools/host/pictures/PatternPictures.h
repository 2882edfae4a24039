#pragma once
#include <string>

// The two frames of the resource module's picture set for the pattern brush's tests: 8 x 4 RGBA
// PNGs with formula texels, so that a test can work out any texel on its own.
// Frame a: (32x, 64y, 200, 255); frame b: (255 - 32x, 40, 64y, 255).
bool MakeTestPatternA(const std::string& path);
bool MakeTestPatternB(const std::string& path);
