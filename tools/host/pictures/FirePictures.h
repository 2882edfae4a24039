#pragma once
#include <string>

// The pictures of the fire brush and the flame layer: flame tongues whose intensity is brightest
// at the bottom edge (the brush's pattern and the layer's), the turbulence noise that bends
// them, and the heat haze's distortion picture. All repeat across without a seam; the noise
// pictures also repeat downwards.
bool MakeFireTongues(const std::string& path);
bool MakeFirePattern(const std::string& path);
bool MakeFireNoise(const std::string& path);
bool MakeHazeDistortion(const std::string& path);
