#pragma once
#include <cstdint>

#include "brushes/Vo_FX_Constructor.h"
#include "model/MediaParamT.h"
#include "model/MediaRectangle.h"

class Vo_IOF_Virtual;

// Paints a shifted copy of the image under its mask. The shift is given in picture pixels by the
// rectangle's two extra values; each wrap flag moves the copy one further picture width or
// height, which under the effect's mirrored addressing shows the copy mirrored. It has no time
// dependence and does not fade.
class Vo_BackgroundCopy : public Vo_FX_Constructor {
public:
    Vo_BackgroundCopy();
    Vo_BackgroundCopy(const Vo_BackgroundCopy& other);
    ~Vo_BackgroundCopy() override;

    void Render(Vo_ABRender* layer) override;
    Vo_FX_Constructor* Clone() const override { return new Vo_BackgroundCopy(*this); }

    // The record's own fields (the registry read the class name and version), then the base record.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // The "offset" the effect samples the image at, in picture widths and heights: the shift
    // over the picture's size, plus 1 for each wrap flag set. False for a picture without size.
    bool OffsetFor(unsigned pictureWidth, unsigned pictureHeight, float offset[2]) const;

    MediaRectangle& Rectangle() { return m_rectangle; }
    MediaParamT<int>& VerticalWrap() { return m_verticalWrap; }
    MediaParamT<int>& HorizontalWrap() { return m_horizontalWrap; }

private:
    // Only the two extra values (the shift, x then y) are used; the four edges are kept.
    MediaRectangle m_rectangle;
    MediaParamT<int> m_verticalWrap;
    MediaParamT<int> m_horizontalWrap;
};
