#pragma once
#include <string>

// The discharge's bolt pictures: two bolt images stacked, one in each half of the height, each a
// jagged white line with a coloured glow across the whole width. The outer 19.5 percent at each
// side are straight and taper to a point: only the bolt's first and last segment show them, so the
// inner part is where the segments meet, always at the middle of its half.
bool MakeBolt(const std::string& path);
bool MakeBoltAlternate(const std::string& path);
// A glow for the bolt's segments, laid out like the bolt pictures: a soft white band along the
// middle of each half, narrowing in the outer parts.
bool MakeBoltGlow(const std::string& path);
