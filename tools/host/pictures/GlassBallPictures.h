#pragma once
#include <string>

// The glass-ball layer's pictures in the resource module: the background landscape (a meadow
// valley under an evening sky), the soft glare crescent and the small specular spot drawn over the
// ball (RGBA on the ball's square: the ball's circle touches the picture's edges), and the
// pedestal below it, whose cradle holds the ball's lower edge (RGBA, 463 x 187, transparent
// around it).
bool MakeGlassBallBackground(const std::string& path);
bool MakeGlassBallGlare(const std::string& path);
bool MakeGlassBallSpot(const std::string& path);
bool MakeGlassBallStand(const std::string& path);
