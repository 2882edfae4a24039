#include "benchmarks/FigureLog.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

void FigureLog::Figure(const std::string& name, double value, const std::string& unit)
{
    // Three significant decimals are plenty for timings of a software rasteriser.
    const double magnitude = std::fabs(value);
    const int decimals = magnitude >= 100.0 ? 1 : magnitude >= 1.0 ? 2 : 4;
    std::printf("%s %.*f %s\n", name.c_str(), decimals, value, unit.c_str());
    std::fflush(stdout);
}

void FigureLog::Count(const std::string& name, int64_t value, const std::string& unit)
{
    std::printf("%s %" PRId64 " %s\n", name.c_str(), value, unit.c_str());
    std::fflush(stdout);
}

void FigureLog::Note(const std::string& text)
{
    std::printf("# %s\n", text.c_str());
    std::fflush(stdout);
}
