#include "runtime/TimeInterval.h"

#include <cmath>

#include "runtime/AnimationState.h"

bool IsWellFormedInterval(const TimeInterval& interval)
{
    if (!std::isfinite(interval.start) || !std::isfinite(interval.end) ||
        !std::isfinite(interval.fadeInEnd) || !std::isfinite(interval.fadeOutStart))
        return false;
    return interval.start <= interval.end;
}

float IntervalOpacity(const TimeInterval& interval, float t)
{
    if (t < interval.start || t > interval.end)
        return 0.0f;
    if (t < interval.fadeInEnd)
        return FadeProgress(t, interval.start, interval.fadeInEnd);
    if (t < interval.fadeOutStart)
        return 1.0f;
    return 1.0f - FadeProgress(t, interval.fadeOutStart, interval.end);
}

int IntervalStateCode(const TimeInterval& interval, float t)
{
    if (t < interval.start || t > interval.end)
        return AnimationState::kInvisible;
    if (t < interval.fadeInEnd)
        return AnimationState::kFadingIn;
    if (t < interval.fadeOutStart)
        return AnimationState::kVisible;
    return AnimationState::kFadingOut;
}
