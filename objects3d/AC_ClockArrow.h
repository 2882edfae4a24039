#pragma once
#include <cstdint>

#include "runtime/Vo_AnimationBase.h"

struct LocalClockTime;

// Turns one clock hand about its frame's y axis to the local time of day, read afresh every
// frame; the hands do not follow the object's speed or timeline.
class AC_ClockArrow : public Vo_AnimationBase {
public:
    // hourHand 1: the hour hand, 0: the minute hand.
    explicit AC_ClockArrow(uint8_t hourHand) : m_hourHand(hourHand) {}

    // World := local x the turn for the time. When the time cannot be read the hand keeps the
    // turn it had (twelve o'clock before any time was read).
    void Apply(Vo_Frame& frame) override;

    // Degrees clockwise from twelve o'clock.
    static float HourAngle(const LocalClockTime& time);
    static float MinuteAngle(const LocalClockTime& time);

    uint8_t IsHourHand() const { return m_hourHand; }

private:
    uint8_t m_hourHand;
    float m_degrees = 0.0f;
};
