#pragma once
#include <d3dx9math.h>

// One straight piece of a discharge bolt: its middle, its direction, the direction across the
// whole bolt in the picture plane, and its length.
struct BoltSegment {
    D3DXVECTOR3 midpoint;
    D3DXVECTOR3 axis;
    D3DXVECTOR3 normal;
    float length;
};
