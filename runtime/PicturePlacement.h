#pragma once
#include <d3dx9math.h>

#include "runtime/ScreenQuad.h"

// Where the picture laid out last sits on the back buffer and how large it is in pixels. One
// record for the whole process: with several displays it describes the layer laid out last.
struct PicturePlacement {
    // Back-buffer pixels per target pixel.
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    // The fitted picture in back-buffer pixels; a unit quad until the first placement.
    ScreenQuad placedQuad;
    int pictureWidth = 0;
    int pictureHeight = 0;
};

// The record, made with its unit quad on first use.
const PicturePlacement& GetPicturePlacement();

// Records the placed quad (in back-buffer pixels) of a picture laid out for a w x h target. A
// picture without a size counts as one of the target's size, as the layout treats it.
void SetPicturePlacement(const ScreenQuad& placedQuad, int width, int height, int pictureWidth,
                         int pictureHeight, int backBufferWidth, int backBufferHeight);
// The same with the back buffer of CurrentDevice.
void SetPicturePlacement(const ScreenQuad& placedQuad, int width, int height, int pictureWidth,
                         int pictureHeight);

// Puts back a record as GetPicturePlacement gave it earlier: for a caller that lays a picture out
// for a while and then leaves the placement as it found it.
void RestorePicturePlacement(const PicturePlacement& record);

// Maps a point in back-buffer pixels to picture pixels through the placement and the current
// view's offset and scale; z is kept. Before any placement, or with a placed quad without area,
// the point is returned unchanged.
D3DXVECTOR3 MapPointToPicture(const D3DXVECTOR3& point);
