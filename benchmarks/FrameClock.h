#pragma once
#include <cstdint>

// The clocks of the frame figures. Wall time is the performance counter. CPU time is what
// GetThreadTimes and GetProcessTimes report (user plus kernel); Wine reads them from the Unix
// scheduler, which counts in whole ticks, so they are summed over many frames, never per call.
class FrameClock {
public:
    static double WallSeconds();
    static double ThreadCpuSeconds();
    static double ProcessCpuSeconds();
};
