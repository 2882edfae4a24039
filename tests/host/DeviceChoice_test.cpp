#include "host/DeviceChoice.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const D3DFORMAT X8 = D3DFMT_X8R8G8B8;
const D3DFORMAT A8 = D3DFMT_A8R8G8B8;
const D3DFORMAT R565 = D3DFMT_R5G6B5;

DisplayModeEntry Mode(UINT w, UINT h, D3DFORMAT f) { return DisplayModeEntry{w, h, f, 0, D3DFMT_UNKNOWN}; }

DeviceRecord Record(D3DDEVTYPE type, const std::vector<DisplayModeEntry>& modes)
{
    DeviceRecord r = {};
    r.type = type;
    r.chosenMode = kNoMode;
    for (const DisplayModeEntry& m : modes)
        r.modes[r.modeCount++] = m;
    return r;
}

D3DDISPLAYMODE Desktop(UINT w, UINT h) { return D3DDISPLAYMODE{w, h, 60, X8}; }

}  // namespace

TEST(DeviceChoiceTest, CollectedModesAreFilteredDeduplicatedAndSorted)
{
    const D3DDISPLAYMODE listed[] = {
        {1024, 768, 60, X8},  {800, 600, 60, X8},
        {1024, 768, 75, X8},  // same size at another refresh rate: dropped
        {640, 399, 60, X8},   // too low
        {639, 480, 60, X8},   // too narrow
        {640, 400, 60, X8},   // the smallest that counts
        {800, 600, 60, R565}, {800, 480, 60, X8},
    };
    DisplayModeEntry out[kMaxCollectedModes];
    const unsigned n = CollectDisplayModes(listed, 8, out, kMaxCollectedModes);
    ASSERT_EQ(n, 5u);
    // Width, then height ascending; equal sizes put the larger format value (R5G6B5 = 23 over
    // X8R8G8B8 = 22) first.
    const DisplayModeEntry expected[] = {Mode(640, 400, X8), Mode(800, 480, X8),
                                         Mode(800, 600, R565), Mode(800, 600, X8),
                                         Mode(1024, 768, X8)};
    for (unsigned i = 0; i < n; ++i) {
        EXPECT_EQ(out[i].width, expected[i].width) << i;
        EXPECT_EQ(out[i].height, expected[i].height) << i;
        EXPECT_EQ(out[i].format, expected[i].format) << i;
    }
}

TEST(DeviceChoiceTest, CollectionStopsAtItsCapacity)
{
    // A machine that reports far more modes than the records hold.
    std::vector<D3DDISPLAYMODE> listed;
    for (UINT i = 0; i < 400; ++i)
        listed.push_back(D3DDISPLAYMODE{640 + i, 480, 60, X8});
    std::vector<DisplayModeEntry> out(kMaxCollectedModes + 8);
    EXPECT_EQ(CollectDisplayModes(listed.data(), 400, out.data(), 400), unsigned(kMaxCollectedModes));
    EXPECT_EQ(CollectDisplayModes(listed.data(), 400, out.data(), 7), 7u);
}

TEST(DeviceChoiceTest, AutomaticHardwareModeFollowsTheDesktop)
{
    struct Case {
        const char* what;
        std::vector<DisplayModeEntry> modes;
        UINT desktopW, desktopH;
        int expected;
    };
    const Case cases[] = {
        {"desktop size in 32 bits wins over an earlier 16-bit entry",
         {Mode(800, 600, X8), Mode(1920, 1080, R565), Mode(1920, 1080, A8), Mode(1920, 1080, X8)},
         1920, 1080, 2},
        {"desktop size only in 16 bits", {Mode(800, 600, X8), Mode(1280, 1024, R565)}, 1280, 1024, 1},
        {"no entry of the desktop size: the largest, more bits on equal size",
         {Mode(640, 480, X8), Mode(1024, 768, R565), Mode(1024, 768, X8), Mode(800, 600, X8)},
         1920, 1080, 2},
        {"a higher entry replaces a wider one",
         {Mode(1280, 720, X8), Mode(1024, 768, X8)}, 1920, 1080, 1},
    };
    for (const Case& c : cases) {
        const DeviceRecord r = Record(D3DDEVTYPE_HAL, c.modes);
        EXPECT_EQ(ChooseAutomaticMode(r, Desktop(c.desktopW, c.desktopH)), c.expected) << c.what;
    }
}

TEST(DeviceChoiceTest, AutomaticSoftwareModeIsTheLowestNot400High)
{
    const DeviceRecord lowest = Record(
        D3DDEVTYPE_SW, {Mode(640, 400, X8), Mode(640, 480, X8), Mode(800, 600, X8)});
    EXPECT_EQ(ChooseAutomaticMode(lowest, Desktop(800, 600)), 1);
    // Among equal heights a later entry replaces a 32-bit choice but not a 16-bit one.
    const DeviceRecord later32 = Record(D3DDEVTYPE_SW, {Mode(640, 480, X8), Mode(720, 480, X8)});
    EXPECT_EQ(ChooseAutomaticMode(later32, Desktop(800, 600)), 1);
    const DeviceRecord keeps16 = Record(D3DDEVTYPE_SW, {Mode(640, 480, R565), Mode(720, 480, X8)});
    EXPECT_EQ(ChooseAutomaticMode(keeps16, Desktop(800, 600)), 0);
    // Only 400-high entries: still a mode rather than none.
    const DeviceRecord only400 = Record(D3DDEVTYPE_SW, {Mode(640, 400, X8), Mode(720, 400, X8)});
    EXPECT_EQ(ChooseAutomaticMode(only400, Desktop(800, 600)), 0);
    EXPECT_EQ(ChooseAutomaticMode(Record(D3DDEVTYPE_SW, {}), Desktop(800, 600)), -1);
}

TEST(DeviceChoiceTest, UserModeMustBeAmongTheEntries)
{
    const DeviceRecord r = Record(D3DDEVTYPE_HAL, {Mode(800, 600, X8), Mode(1024, 768, X8)});
    EXPECT_EQ(FindUserMode(r, 1024, 768, X8), 1);
    EXPECT_EQ(FindUserMode(r, 1024, 768, R565), -1);
    EXPECT_EQ(FindUserMode(r, 1600, 1200, X8), -1);
}

TEST(DeviceChoiceTest, LowerModesStepDownByArea)
{
    // The X8R8G8B8-only lists of this system: each step takes the next smaller area.
    DeviceRecord r = Record(D3DDEVTYPE_HAL, {Mode(640, 480, X8), Mode(800, 600, X8),
                                             Mode(1024, 768, X8), Mode(1280, 720, X8),
                                             Mode(1920, 1080, X8)});
    r.chosenMode = 4;
    std::vector<unsigned> visited;
    while (PickLowerMode(r))
        visited.push_back(r.chosenMode);
    // 1280 x 720 has more pixels than 1024 x 768 though it sorts after it.
    EXPECT_EQ(visited, (std::vector<unsigned>{3, 2, 1, 0}));
}

TEST(DeviceChoiceTest, LowerModePrefersTheSameSizeIn16BitsThenTheLargestSmallerArea)
{
    DeviceRecord r = Record(D3DDEVTYPE_HAL, {Mode(640, 480, X8), Mode(800, 600, R565),
                                             Mode(1024, 768, R565), Mode(1024, 768, X8)});
    r.chosenMode = 3;
    std::vector<unsigned> visited;
    while (PickLowerMode(r))
        visited.push_back(r.chosenMode);
    EXPECT_EQ(visited, (std::vector<unsigned>{2, 1, 0}));
    EXPECT_EQ(r.chosenMode, 0u);

    // A 32-bit entry replaces a 16-bit candidate met before it, even a larger one.
    DeviceRecord later32 = Record(D3DDEVTYPE_HAL, {Mode(800, 600, R565), Mode(640, 480, X8),
                                                   Mode(1280, 1024, X8)});
    later32.chosenMode = 2;
    ASSERT_TRUE(PickLowerMode(later32));
    EXPECT_EQ(later32.chosenMode, 1u);

    DeviceRecord none = Record(D3DDEVTYPE_HAL, {Mode(800, 600, X8)});
    none.chosenMode = kNoMode;
    EXPECT_FALSE(PickLowerMode(none));
    none.chosenMode = 0;
    EXPECT_FALSE(PickLowerMode(none));
}

TEST(DeviceChoiceTest, DeviceRecordChoice)
{
    AdapterRecord a = {};
    a.devices[0] = Record(D3DDEVTYPE_HAL, {Mode(800, 600, X8)});
    a.devices[1] = Record(D3DDEVTYPE_SW, {Mode(800, 600, X8)});
    a.devices[2] = Record(D3DDEVTYPE_SW, {Mode(800, 600, X8)});
    a.deviceCount = 3;
    a.devices[0].windowedUsable = false;
    a.devices[1].windowedUsable = true;
    a.devices[2].windowedUsable = false;

    EXPECT_EQ(ChooseDeviceRecord(a, false), 0);
    EXPECT_EQ(ChooseDeviceRecord(a, true), 1);  // hardware cannot run windowed here
    a.disableHardware = 1;
    EXPECT_EQ(ChooseDeviceRecord(a, false), 2);  // the last software record
    EXPECT_EQ(ChooseDeviceRecord(a, true), 1);
    a.deviceCount = 1;
    EXPECT_EQ(ChooseDeviceRecord(a, false), -1);
}

TEST(DeviceChoiceTest, PickAdapterPrefersHardwareThenTheLastSoftware)
{
    MonitorRecord monitors[4] = {};
    monitors[0].adapter = -1;
    monitors[1].adapter = 0;
    monitors[2].adapter = 1;
    monitors[3].adapter = 7;  // beyond the adapter list: ignored
    AdapterRecord a0 = {}, a1 = {};
    AdapterRecord* adapters[2] = {&a0, &a1};

    EXPECT_EQ(PickAdapter(monitors, 4, adapters, 2), -1);
    a0.softwareUsable = a1.softwareUsable = true;
    EXPECT_EQ(PickAdapter(monitors, 4, adapters, 2), 1);
    a1.hardwareUsable = true;
    EXPECT_EQ(PickAdapter(monitors, 4, adapters, 2), 1);
    a0.hardwareUsable = true;
    EXPECT_EQ(PickAdapter(monitors, 4, adapters, 2), 0);
}

TEST(DeviceChoiceTest, DepthFormatsAreTriedInOrderWithinTheMinimum)
{
    std::vector<D3DFORMAT> tried;
    D3DFORMAT chosen = D3DFMT_UNKNOWN;
    auto refuseAll = [&](D3DFORMAT f) {
        tried.push_back(f);
        return false;
    };
    EXPECT_FALSE(PickDepthFormat(16, 0, refuseAll, &chosen));
    // D15S1 has only 15 depth bits; every stencil-less candidate needs a stencil minimum of 0.
    EXPECT_EQ(tried, (std::vector<D3DFORMAT>{D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D24S8,
                                             D3DFMT_D24X4S4, D3DFMT_D32}));
    tried.clear();
    EXPECT_FALSE(PickDepthFormat(16, 4, refuseAll, &chosen));
    EXPECT_EQ(tried, (std::vector<D3DFORMAT>{D3DFMT_D24S8, D3DFMT_D24X4S4}));

    // Wine offers D16, D24X8 and D24S8.
    auto wine = [](D3DFORMAT f) {
        return f == D3DFMT_D16 || f == D3DFMT_D24X8 || f == D3DFMT_D24S8;
    };
    ASSERT_TRUE(PickDepthFormat(16, 0, wine, &chosen));
    EXPECT_EQ(chosen, D3DFMT_D16);
    ASSERT_TRUE(PickDepthFormat(24, 0, wine, &chosen));
    EXPECT_EQ(chosen, D3DFMT_D24X8);
    ASSERT_TRUE(PickDepthFormat(0, 1, wine, &chosen));
    EXPECT_EQ(chosen, D3DFMT_D24S8);
}

TEST(DeviceChoiceTest, WindowedFormatsStartWithTheDesktop)
{
    D3DFORMAT order[5];
    WindowedFormatOrder(R565, order);
    const D3DFORMAT expected[5] = {R565, A8, X8, D3DFMT_A1R5G5B5, R565};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(order[i], expected[i]) << i;
}
