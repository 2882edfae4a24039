#pragma once
#include <cstdint>

#include "model/MediaColor.h"
#include "model/UINTSclaleTo.h"

// A transparency in percent (0 opaque, 100 invisible) read as an alpha byte: 255 - 2.55 x raw.
// Classes that hold a colour and a transparency as separate members use the same scaling.
constexpr float kTransparencyScale = -2.55f;
constexpr float kTransparencyOffset = 255.0f;

// A colour with its transparency, constructed, copied and destroyed as one. A new pair is opaque
// white.
class ColorWithAlpha {
public:
    ColorWithAlpha() : m_color(0xFFFFFF) { m_alpha.Rescale(kTransparencyScale, kTransparencyOffset); }
    // Member-wise: the colour, then the alpha (its scale and offset before its raw value).
    ColorWithAlpha(const ColorWithAlpha&) = default;
    ColorWithAlpha& operator=(const ColorWithAlpha&) = delete;

    MediaColor& Color() { return m_color; }
    const MediaColor& Color() const { return m_color; }
    UINTSclaleTo<unsigned char>& Alpha() { return m_alpha; }
    const UINTSclaleTo<unsigned char>& Alpha() const { return m_alpha; }

    // The vertex colour with the alpha byte of the transparency.
    uint32_t VertexColor() const { return ColorToVertex(m_color.Value(), m_alpha.Result()); }

private:
    MediaColor m_color;
    UINTSclaleTo<unsigned char> m_alpha;
};
