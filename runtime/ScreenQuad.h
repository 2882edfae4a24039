#pragma once

class MediaRectangle;
struct TextureInfo;

// One corner of a quad: position and texture coordinate.
struct QuadCorner {
    float x, y, z;
    float u, v;
};

// Four corners in the order bottom-left, top-left, bottom-right, top-right (the order of a
// two-triangle strip), from which screen, picture and grid quads are built.
struct ScreenQuad {
    enum Corner { kBottomLeft = 0, kTopLeft = 1, kBottomRight = 2, kTopRight = 3 };
    QuadCorner corners[4];
};

// All positions (0, 0) with z 1, texture coordinates (0, 1), (0, 0), (1, 1), (1, 0).
void InitScreenQuad(ScreenQuad& quad);
// The rectangle's quad: (left, bottom), (left, top), (right, bottom), (right, top), z 1.
void InitRectangleQuad(ScreenQuad& quad, float left, float top, float right, float bottom);
// The same for a rectangle of picture pixels as a document stores it.
void InitRectangleQuad(ScreenQuad& quad, const MediaRectangle& rectangle);
// The quad (0, H), (0, 0), (W, H), (W, 0) of a back buffer of W x H pixels, z 1.
void InitBackBufferQuad(ScreenQuad& quad, float width, float height);
// The same for the back buffer of CurrentDevice.
void InitBackBufferQuad(ScreenQuad& quad);

// The picture fitted into a w x h target with its aspect kept, centred on the axis with room
// left over. A picture without a size is laid out as if it had the target's size, so a missing
// picture fills the target instead of producing an undefined ratio.
ScreenQuad FitQuadToAspect(unsigned pictureWidth, unsigned pictureHeight, int width, int height);
ScreenQuad FitQuadToAspect(const TextureInfo& picture, int width, int height);

// Scales a quad laid out for a w x h target to a back buffer of the given size.
void ScaleQuadToBackBuffer(ScreenQuad& quad, int width, int height, int backBufferWidth,
                           int backBufferHeight);
// The same for the back buffer of CurrentDevice.
void ScaleQuadToBackBuffer(ScreenQuad& quad, int width, int height);

// Multiplies the five floats of one corner by a factor.
void ScaleQuadCorner(QuadCorner& corner, float factor);
