#include "support/ScreenChecks.h"

#include "support/DeviceFixture.h"

#include <algorithm>
#include <cstdlib>

namespace {

int Red(uint32_t p) { return (p >> 16) & 0xFF; }
int Green(uint32_t p) { return (p >> 8) & 0xFF; }
int Blue(uint32_t p) { return p & 0xFF; }

bool IsDark(uint32_t p) { return Red(p) < 24 && Green(p) < 24 && Blue(p) < 24; }

// Two pixels differ by more than a few levels in some channel.
bool Changed(uint32_t p, uint32_t q)
{
    return std::max({std::abs(Red(p) - Red(q)), std::abs(Green(p) - Green(q)), std::abs(Blue(p) - Blue(q))}) > 8;
}

}  // namespace

bool LooksLikeSplash(const ScreenPixels& shot)
{
    const int side = shot.height * 2 / 3;
    const int left = (shot.width - side) / 2, top = (shot.height - side) / 2;
    int lightInside = 0, lightOutside = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            if (IsDark(shot.At(x, y)))
                continue;
            const bool inside = x >= left && x < left + side && y >= top && y < top + side;
            (inside ? lightInside : lightOutside)++;
        }
    return lightInside > 50 && lightOutside == 0;
}

bool LooksBlack(const ScreenPixels& shot)
{
    return std::all_of(shot.pixels.begin(), shot.pixels.end(), IsDark);
}

double ChangedShare(const ScreenPixels& a, const ScreenPixels& b, const RECT& r)
{
    if (a.width != b.width || a.height != b.height)
        return 1.0;
    int changed = 0, total = 0;
    for (int y = std::max(0L, r.top); y < std::min<long>(r.bottom, a.height); ++y)
        for (int x = std::max(0L, r.left); x < std::min<long>(r.right, a.width); ++x) {
            changed += Changed(a.At(x, y), b.At(x, y));
            ++total;
        }
    return total ? double(changed) / total : 0.0;
}

double ChangedShareOutside(const ScreenPixels& a, const ScreenPixels& b, const RECT& r)
{
    if (a.width != b.width || a.height != b.height)
        return 1.0;
    int changed = 0, total = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
                continue;
            changed += Changed(a.At(x, y), b.At(x, y));
            ++total;
        }
    return total ? double(changed) / total : 0.0;
}

double ChangedShare(const ScreenPixels& a, const ScreenPixels& b)
{
    return ChangedShare(a, b, RECT{0, 0, a.width, a.height});
}

int BrightnessSpread(const ScreenPixels& shot)
{
    if (shot.pixels.empty())
        return 0;
    int histogram[256] = {};
    for (uint32_t p : shot.pixels)
        ++histogram[(Red(p) * 299 + Green(p) * 587 + Blue(p) * 114) / 1000];
    const size_t twentieth = shot.pixels.size() / 20;
    int low = 0, high = 255;
    for (size_t below = 0; low < 255 && below + histogram[low] <= twentieth; ++low)
        below += histogram[low];
    for (size_t above = 0; high > 0 && above + histogram[high] <= twentieth; --high)
        above += histogram[high];
    return std::max(0, high - low);
}

int ClearColourPixels(const ScreenPixels& shot, POINT* first)
{
    if (first)
        *first = POINT{-1, -1};
    int count = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const uint32_t p = shot.At(x, y);
            if (Red(p) < 208 || Green(p) > 48 || Blue(p) < 208)
                continue;
            if (first && count == 0)
                *first = POINT{x, y};
            ++count;
        }
    return count;
}

bool ShowsErrorBox(const ScreenPixels& shot)
{
    const COLORREF c = GetSysColor(COLOR_WINDOW);
    const uint32_t boxRgb = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    int boxPixels = 0, left = shot.width, top = shot.height, right = -1, bottom = -1;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (shot.At(x, y) == boxRgb) {
                ++boxPixels;
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    // The box is at most 300 x 150 and fills a small window; outside it all is black.
    if (boxPixels < 100 * 50)
        return false;
    int lightOutside = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const bool inside = x >= left && x <= right && y >= top && y <= bottom;
            lightOutside += !inside && !IsDark(shot.At(x, y));
        }
    return lightOutside < shot.width * shot.height / 100;
}

bool SaveScreenPixels(const ScreenPixels& shot, const std::string& path)
{
    std::vector<uint32_t> pixels(shot.pixels);
    for (uint32_t& p : pixels)
        p |= 0xFF000000u;
    return WriteBmp(path, pixels, shot.width, shot.height);
}
