#pragma once
#include "model/UINTSclaleTo.h"

// A speed whose result is a rate, with a clock that integrates it. The owner advances the clock
// once per frame with the absolute time and reads the accumulated value as its animation time.
class MediaSpeedParam : public UINTSclaleTo<float> {
public:
    MediaSpeedParam() = default;
    MediaSpeedParam(const MediaSpeedParam& other) = default;
    MediaSpeedParam& operator=(const MediaSpeedParam&) = delete;

    // Advances the clock to absolute time t in seconds. The time step is clamped to 0.2 s before
    // it is scaled by the rate, so a stalled frame cannot make the animation jump; a backward
    // jump adds nothing and the clock continues from the new time.
    void Advance(float t);

    // Takes another clock's state (step, accumulated time, last time), as a copy would.
    void CopyClock(const MediaSpeedParam& other)
    {
        m_step = other.m_step;
        m_accumulated = other.m_accumulated;
        m_last = other.m_last;
    }

    // The clock starts again from 0 at time 0.
    void ResetClock()
    {
        m_accumulated = 0.0f;
        m_last = 0.0f;
    }
    float Step() const { return m_step; }
    float Accumulated() const { return m_accumulated; }
    float Last() const { return m_last; }

private:
    float m_step = 0.0f;
    float m_accumulated = 0.0f;
    float m_last = 0.0f;
};
