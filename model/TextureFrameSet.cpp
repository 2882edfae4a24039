#include "model/TextureFrameSet.h"

#include <d3d9.h>

#include <algorithm>

namespace {

// Returns the number of frames that can be shown, after bringing an index that lies outside
// them back to the first frame; 0 when the set does not animate.
size_t PrepareStep(TextureFrameSet& set, float t)
{
    if (t < set.frameTime)
        set.frameTime = t;  // the clock went back (a restarted timeline)
    const size_t count = std::min(set.delays.size(), set.frames.size());
    if (count && set.currentFrame >= count)
        set.currentFrame = 0;
    return count;
}

}  // namespace

TextureInfo CopyFirstTextureInfo(const TextureFrameSet& set)
{
    TextureInfo info;
    if (set.frames.empty())
        return info;
    info.texture = set.frames.front();
    info.width = set.width;
    info.height = set.height;
    info.aspect = set.aspect;
    return info;
}

void StepFrameForward(TextureFrameSet& set, float t)
{
    const size_t count = PrepareStep(set, t);
    if (!count || !(set.delays[set.currentFrame] < t - set.frameTime))
        return;
    set.frameTime = t;
    set.currentFrame = static_cast<uint32_t>((set.currentFrame + 1) % count);
}

void StepFrameBackward(TextureFrameSet& set, float t)
{
    const size_t count = PrepareStep(set, t);
    if (!count || !(set.delays[set.currentFrame] < t - set.frameTime))
        return;
    set.frameTime = t;
    set.currentFrame = static_cast<uint32_t>(set.currentFrame ? set.currentFrame - 1 : count - 1);
}
