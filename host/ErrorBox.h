#pragma once
#include <windows.h>

// The box that shows the failure text on one display: position and size in the window's client
// pixels, speeds in pixels per second. All zero until it is first placed.
struct ErrorBox {
    float x = 0, y = 0, width = 0, height = 0;
    float vx = 0, vy = 0;

    bool Placed() const { return width != 0; }
    RECT Rect() const;
};

// First placement within bounds: the preview box fills the bounds and stays; elsewhere a
// 300 x 150 box starts in the middle and crosses the width in 10 s and the height in 20 s.
void PlaceErrorBox(ErrorBox& box, const RECT& bounds, bool preview);

// Moves the box by dt seconds, turning a speed around when the box would leave the bounds on
// that side. Returns true when the whole-pixel position changed; old and new rectangles are
// then the areas to repaint.
bool StepErrorBox(ErrorBox& box, const RECT& bounds, float dt, RECT* oldRect, RECT* newRect);
