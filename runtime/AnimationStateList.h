#pragma once
#include <cstddef>

#include "runtime/AnimationState.h"

class Vo_TimeLineControl;

// The run state of one timeline: the time of its last advance, the local time it has handed out
// and the cycle invisible, fading in, visible, fading out with the current position in it.
class AnimationStateList {
public:
    enum { kStateCount = 4 };

    AnimationStateList();
    AnimationStateList(const AnimationStateList&) = delete;
    AnimationStateList& operator=(const AnimationStateList&) = delete;

    // Back to the start: times 0, every end time 0, the invisible state current. The next
    // advance is measured from 0.
    void Reset();
    // Moves to the next state when x lies beyond the current state's end; one state at most, so
    // a long frame moves on by one state only.
    void Step(float x, const Vo_TimeLineControl& timeline);

    const AnimationState& Current() const { return *m_states[m_current]; }
    size_t CurrentIndex() const { return m_current; }

    float LastTime() const { return m_lastTime; }
    void SetLastTime(float t) { m_lastTime = t; }
    float LocalTime() const { return m_localTime; }
    void SetLocalTime(float t) { m_localTime = t; }

    // The absolute time of the first advance since construction or the last reset, which is
    // when the object's slide was shown; the interval mode counts its time from there.
    bool HasShownTime() const { return m_hasShownTime; }
    float ShownTime() const { return m_shownTime; }
    void SetShownTime(float t)
    {
        m_shownTime = t;
        m_hasShownTime = true;
    }

private:
    float m_lastTime = 0.0f;
    float m_localTime = 0.0f;
    unsigned char m_running = 1;
    AnimationState_Invisible m_invisible;
    AnimationState_FadeIn m_fadeIn;
    AnimationState m_visible;
    AnimationState_FadeOut m_fadeOut;
    // Cycle order: invisible, fading in, visible, fading out.
    AnimationState* m_states[kStateCount];
    size_t m_current = 0;
    float m_shownTime = 0.0f;
    bool m_hasShownTime = false;
};
