#pragma once
#include <windows.h>

struct _D3DMATRIX;

// The screen rectangle that shows a region of the layer's picture, for a draw of the picture
// quad that can change pixels only there: while the scissor lives, the device writes no pixel
// outside that rectangle, so the rasteriser skips the rest of the target. The scissor test goes
// off again when it ends.
//
// The region is given in the picture's texture coordinates (0..1 over the picture); the picture
// quad spans (0, 0)-(width, height) in picture pixels under the world matrix. The rectangle is the
// region's projected bounds widened by a pixel each way, within the render target; when they
// cannot be worked out (no device, no view, a projection behind the eye) nothing is limited.
class PictureRegionScissor {
public:
    PictureRegionScissor(const _D3DMATRIX& pictureWorld, unsigned pictureWidth, unsigned pictureHeight, float u0,
                         float v0, float u1, float v1);
    ~PictureRegionScissor();
    PictureRegionScissor(const PictureRegionScissor&) = delete;
    PictureRegionScissor& operator=(const PictureRegionScissor&) = delete;

    // Whether drawing is limited, and to which rectangle (pixels of the render target).
    bool Active() const { return m_active; }
    const RECT& Rectangle() const { return m_rect; }
    // The parts of the render target outside the rectangle, as up to four rectangles that do not
    // overlap (full-width bands above and below it, then its left and right sides); returns
    // how many there are. None while drawing is not limited.
    int RectanglesAround(RECT (&around)[4]) const;

private:
    bool m_active = false;
    RECT m_rect = {};
    LONG m_targetWidth = 0;
    LONG m_targetHeight = 0;
};
