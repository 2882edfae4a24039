#pragma once
#include <cstdint>

#include "Image.h"

// A du/dv picture: independent seamless noise in red and green, each stretched over the whole
// range and centred on 0.5 so the displacement has no average direction; blue is a flat 128.
// Such a picture moves pixels in both directions and repeats without a seam.
Image DisplacementPicture(unsigned size, uint32_t redSeed, uint32_t greenSeed, unsigned firstPeriod);
