#pragma once

// One stretch of time in which an interval-mode object shows: it fades in from start to the
// fade-in end, stays fully visible until the fade-out start and fades out until end. Seconds.
struct TimeInterval {
    float start = 0.0f;
    float end = 0.0f;
    float fadeInEnd = 0.0f;
    float fadeOutStart = 0.0f;
};

// a comes before b when a ends before b starts; intervals that overlap or touch are neither
// before nor after each other. This is a strict weak order only over intervals with
// start <= end and no NaN, which is why the set refuses any other interval.
inline bool TimeIntervalBefore(const TimeInterval& a, const TimeInterval& b)
{
    return a.end < b.start;
}

// Whether the interval can take part in the ordering: every value finite and end not before
// start.
bool IsWellFormedInterval(const TimeInterval& interval);

// The opacity of the interval at time t: 0 outside it, rising through the fade-in, 1 in the
// middle, falling through the fade-out. A fade section without length is complete at once.
float IntervalOpacity(const TimeInterval& interval, float t);

// The state code at time t: 1 outside the interval, 2 fading in, 0 visible, 3 fading out.
int IntervalStateCode(const TimeInterval& interval, float t);
