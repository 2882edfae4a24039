#include "objects3d/LeafAnimationClock.h"

float LeafAnimationClock = 0.0f;
