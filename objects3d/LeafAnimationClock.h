#pragma once

// The local time of the mesh array being updated: each array sets it before it moves its
// copies, and their animators read it. One for the process, so with several displays it holds
// the array updated last.
extern float LeafAnimationClock;
