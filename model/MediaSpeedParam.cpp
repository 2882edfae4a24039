#include "model/MediaSpeedParam.h"

void MediaSpeedParam::Advance(float t)
{
    const float kMaxStep = 0.2f;
    if (m_last > t)
        m_last = t;
    float step = t - m_last;
    if (step > kMaxStep)
        step = kMaxStep;
    m_step = m_result * step;
    m_accumulated = m_accumulated + m_step;
    m_last = t;
}
