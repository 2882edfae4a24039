#pragma once
#include <d3dx9math.h>

// The common direction in which the copies of a mesh array drift, and the sideways direction
// of their sway, in picture coordinates (y grows downward): angle 0 moves right, 90 up.
struct StreamDirection {
    unsigned int angle = 0;
    D3DXVECTOR4 direction{1.0f, 0.0f, 0.0f, 0.0f};
    D3DXVECTOR4 side{0.0f, -1.0f, 0.0f, 0.0f};

    void SetAngle(unsigned int degrees);
};
