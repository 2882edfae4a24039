#include "runtime/AnimationStateList.h"

AnimationStateList::AnimationStateList()
    : m_states{&m_invisible, &m_fadeIn, &m_visible, &m_fadeOut}
{
}

void AnimationStateList::Reset()
{
    m_lastTime = 0.0f;
    m_localTime = 0.0f;
    for (AnimationState* state : m_states)
        state->ClearTimes();
    m_current = 0;
    m_hasShownTime = false;
    m_shownTime = 0.0f;
}

void AnimationStateList::Step(float x, const Vo_TimeLineControl& timeline)
{
    if (!(x > m_states[m_current]->EndTime()))
        return;
    m_current = (m_current + 1) % kStateCount;
    m_states[m_current]->Enter(x, timeline);
}
