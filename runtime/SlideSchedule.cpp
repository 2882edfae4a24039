#include "runtime/SlideSchedule.h"

#include <algorithm>
#include <cmath>

namespace {

// Document times are unsigned 32-bit seconds; summed in 64 bits they cannot wrap around to a
// short slide.
double TotalLength(const SlideTimes& times)
{
    return static_cast<double>(static_cast<uint64_t>(times.fadeIn) + times.show + times.fadeOut);
}

}  // namespace

void SlideSchedule::Start(float time, const SlideTimes& first)
{
    m_current = 0;
    m_next = 1;
    m_start = time - static_cast<float>(first.fadeIn);
}

bool SlideSchedule::Advance(float time, const SlideTimes& current, size_t slideCount)
{
    if (slideCount < 2)
        return false;
    const float elapsed = time - m_start;
    if (!(static_cast<double>(elapsed) > TotalLength(current)))
        return false;
    m_current = m_next < slideCount ? m_next : 0;
    m_start = time;
    m_next = m_current + 1 < slideCount ? m_current + 1 : 0;
    return true;
}

float SlideSchedule::OverlayAlpha(float time, const SlideTimes& current) const
{
    const float elapsed = time - m_start;
    const float fadeIn = static_cast<float>(current.fadeIn);
    const float shownUntil = static_cast<float>(static_cast<uint64_t>(current.fadeIn) + current.show);
    float alpha = 0.0f;
    if (elapsed < fadeIn)
        alpha = (fadeIn - elapsed) / fadeIn;
    else if (shownUntil < elapsed)
        // A fade-out of 0 ends the slide before this is reached; were it reached, it is black.
        alpha = current.fadeOut == 0 ? 1.0f : (elapsed - shownUntil) / static_cast<float>(current.fadeOut);
    if (std::isnan(alpha))
        return 0.0f;
    return std::clamp(alpha, 0.0f, 1.0f);
}
