#include "objects3d/LocalClockTime.h"

#include <ctime>

namespace {

LocalClockSource s_source = &ReadSystemLocalTime;

}  // namespace

bool ReadSystemLocalTime(LocalClockTime& time)
{
    __time64_t now = 0;
    _time64(&now);
    std::tm local = {};
    if (_localtime64_s(&local, &now) != 0)
        return false;
    time.hour = local.tm_hour;
    time.minute = local.tm_min;
    time.second = local.tm_sec;
    return true;
}

bool ReadLocalClockTime(LocalClockTime& time)
{
    return s_source(time);
}

LocalClockSource SetLocalClockSource(LocalClockSource source)
{
    const LocalClockSource previous = s_source;
    s_source = source ? source : &ReadSystemLocalTime;
    return previous;
}
