#pragma once
#include <string>

// Pictures for the scene objects: the resource module's butterfly body (which documents also use
// as the camera's border), clock face and clock hand and the sound items' icon, and the wing and
// leaf pictures of the gallery documents. Each is a plain formula so that a look at the code
// tells what it shows.
bool MakeButterflyBody(const std::string& path);
bool MakeClockFace(const std::string& path);
bool MakeClockHand(const std::string& path);
bool MakeButterflyWing(const std::string& path);
bool MakeLeaf(const std::string& path);
bool MakeSoundIcon(const std::string& path);
