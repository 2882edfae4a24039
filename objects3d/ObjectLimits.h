#pragma once
#include <cstddef>

// The most copies a 3D object or mesh array makes, whatever count its record stores: each copy
// is a few frames and an animator, updated and drawn every frame.
constexpr size_t kMaxObjectCopies = 10000;
