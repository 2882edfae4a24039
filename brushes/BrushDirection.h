#pragma once
// The unit vectors that brushes derive from an angle in whole degrees. Documents store the angle;
// the vectors are recomputed from it whenever it changes and in every copy.
#include <d3dx9math.h>

// (cos a, -sin a, 0, 0): the direction of the waves brush and of the direction-based brushes. It is
// turned by 360 - angle, worked as a 32-bit difference read as signed, so angles of 360 and more
// wrap the same way as stored documents expect (450 acts as 90).
D3DXVECTOR4 DirectionFromAngle(unsigned int angle);

// The axis along which the waves brush displaces the picture, turned with its direction:
// (sin a, cos a, 0, 0) across the wave, or the reversed direction (-cos a, sin a, 0, 0) along it.
D3DXVECTOR4 DisplacementAxisFromAngle(unsigned int angle, bool longitudinal);

// (cos a, sin a, 0, 0): the water brush turns the other way, by the angle itself.
D3DXVECTOR4 CounterDirectionFromAngle(unsigned int angle);
