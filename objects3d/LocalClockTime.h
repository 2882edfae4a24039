#pragma once

// The wall-clock time of day that the clock shows.
struct LocalClockTime {
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..60
};

// Where the clock reads the time; false when the time cannot be read.
using LocalClockSource = bool (*)(LocalClockTime& time);

// The local time through the current source (at first the system's clock).
bool ReadLocalClockTime(LocalClockTime& time);
// Replaces the source and returns the one before; null puts the system's clock back. Tests set
// the time through it.
LocalClockSource SetLocalClockSource(LocalClockSource source);
// The system's clock: _time64 converted by _localtime64_s.
bool ReadSystemLocalTime(LocalClockTime& time);
