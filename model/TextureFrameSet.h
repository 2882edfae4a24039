#pragma once
#include <cstdint>
#include <vector>

#include "model/ComRef.h"
#include "model/TextureInfo.h"

struct IDirect3DTexture9;

// A picture or an animated picture: its frames, the display time of each frame in seconds
// (only for sets of more than one frame), the decoded picture's size, and where the animation is.
struct TextureFrameSet {
    std::vector<ComRef<IDirect3DTexture9>> frames;
    std::vector<float> delays;
    uint32_t width = 0;
    uint32_t height = 0;
    float aspect = 1.0f;     // height / width
    float frameTime = 0.0f;  // when the current frame was shown
    uint32_t currentFrame = 0;
};

// The first frame with the set's size; an empty TextureInfo for a set without frames.
TextureInfo CopyFirstTextureInfo(const TextureFrameSet& set);

// Move to the next (previous) frame once the current frame's delay has passed at time t. Only
// frames that have both a texture slot and a delay take part, so a delay list longer than the
// frame list never points the index past the frames, and a set without frames never moves.
void StepFrameForward(TextureFrameSet& set, float t);
void StepFrameBackward(TextureFrameSet& set, float t);
