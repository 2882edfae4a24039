#pragma once

class Vo_Frame;

// An animator that a frame applies each frame: it writes the frame's world matrix from the
// frame's local matrix and its own state (before the parent's world matrix is multiplied in),
// and may change the frame's winding flag. A frame owns at most one and deletes it with itself.
class Vo_AnimationBase {
public:
    virtual ~Vo_AnimationBase() = default;
    virtual void Apply(Vo_Frame& frame) = 0;
};
