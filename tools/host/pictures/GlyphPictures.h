#pragma once
#include <string>

// The falling-glyph layer's strip: white glyphs on a transparent ground, one under the other,
// laid out for the layer's slicing (a strip of w x h pixels is cut into h / w + 2 equal slices).
bool MakeGlyphStrip(const std::string& path);
