#include "benchmarks/FrameClock.h"

#include <windows.h>

namespace {

double FileTimeSeconds(const FILETIME& t)
{
    ULARGE_INTEGER value;
    value.LowPart = t.dwLowDateTime;
    value.HighPart = t.dwHighDateTime;
    return static_cast<double>(value.QuadPart) * 1e-7;
}

}  // namespace

double FrameClock::WallSeconds()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double FrameClock::ThreadCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user))
        return 0.0;
    return FileTimeSeconds(kernel) + FileTimeSeconds(user);
}

double FrameClock::ProcessCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0.0;
    return FileTimeSeconds(kernel) + FileTimeSeconds(user);
}
