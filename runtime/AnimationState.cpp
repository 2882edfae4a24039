#include "runtime/AnimationState.h"

#include <cstdint>
#include <cstdlib>

#include "runtime/Vo_TimeLineControl.h"

float FadeProgress(float t, float start, float end)
{
    const float length = end - start;
    // Also true for NaN, which must not reach the opacity either.
    if (!(length > 0.0f))
        return 1.0f;
    const float progress = (t - start) / length;
    if (progress < 0.0f)
        return 0.0f;
    if (progress > 1.0f)
        return 1.0f;
    return progress;
}

float RandomDurationSeconds(unsigned int minimum, unsigned int maximum)
{
    if (maximum < minimum)
        maximum = minimum;
    // 64 bits, so that min 0 and max 0xFFFFFFFF give a span of 2^32 instead of 0.
    const uint64_t span = uint64_t(maximum) - minimum + 1;
    const uint64_t hundredths = uint64_t(rand()) % span + minimum;
    return float(double(hundredths) * 0.01);
}

float AnimationState::GetOpacity(float) const
{
    return 1.0f;
}

void AnimationState::Enter(float t, const Vo_TimeLineControl& timeline)
{
    m_end = t + RandomDurationSeconds(timeline.VisibleMinimum().Value(), timeline.VisibleMaximum().Value());
}

float AnimationState_Invisible::GetOpacity(float) const
{
    return 0.0f;
}

void AnimationState_Invisible::Enter(float t, const Vo_TimeLineControl& timeline)
{
    m_end = t + RandomDurationSeconds(timeline.InvisibleMinimum().Value(),
                                      timeline.InvisibleMaximum().Value());
}

float AnimationState_FadeIn::GetOpacity(float t) const
{
    return FadeProgress(t, m_start, m_end);
}

void AnimationState_FadeIn::Enter(float t, const Vo_TimeLineControl& timeline)
{
    m_start = t;
    m_end = t + timeline.FadeIn().Result();
}

float AnimationState_FadeOut::GetOpacity(float t) const
{
    return 1.0f - FadeProgress(t, m_start, m_end);
}

void AnimationState_FadeOut::Enter(float t, const Vo_TimeLineControl& timeline)
{
    m_start = t;
    m_end = t + timeline.FadeOut().Result();
}
