#pragma once
#include <string>

// The pictures of the scene the program carries: a landscape whose lowest part the lake layer
// covers with its mirror, and the masks of the three brushes that move its water. The masks share
// the landscape's layout (LakeSceneLayout in the .cpp), so a brush paints exactly where the
// landscape shows its water.
bool MakeLakeLandscape(const std::string& path);
bool MakeLakeWaterMask(const std::string& path);
bool MakeLakeWaterfallMask(const std::string& path);
bool MakeLakeWavesMask(const std::string& path);
