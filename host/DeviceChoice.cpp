#include "host/DeviceChoice.h"

#include <algorithm>

const DepthCandidate kDepthCandidates[6] = {
    {D3DFMT_D16, 16, 0},   {D3DFMT_D15S1, 15, 1},   {D3DFMT_D24X8, 24, 0},
    {D3DFMT_D24S8, 24, 8}, {D3DFMT_D24X4S4, 24, 4}, {D3DFMT_D32, 32, 0},
};

namespace {

bool Is32Bit(D3DFORMAT f) { return f == D3DFMT_X8R8G8B8 || f == D3DFMT_A8R8G8B8; }

UINT Area(const DisplayModeEntry& e) { return e.width * e.height; }

int ChooseSoftwareMode(const DeviceRecord& r)
{
    int chosen = -1;
    for (unsigned i = 0; i < r.modeCount; ++i) {
        const DisplayModeEntry& e = r.modes[i];
        if (e.height == 400)
            continue;
        if (chosen < 0 || e.height < r.modes[chosen].height) {
            chosen = static_cast<int>(i);
        } else if (e.height == r.modes[chosen].height &&
                   !IsSixteenBitFormat(r.modes[chosen].format)) {
            chosen = static_cast<int>(i);
        }
    }
    // Every entry 400 high: the list is not empty, so its first entry still gives a device.
    if (chosen < 0 && r.modeCount > 0)
        chosen = 0;
    return chosen;
}

int ChooseHardwareMode(const DeviceRecord& r, const D3DDISPLAYMODE& desktop)
{
    int sameSizeOther = -1;
    for (unsigned i = 0; i < r.modeCount; ++i) {
        const DisplayModeEntry& e = r.modes[i];
        if (e.width != desktop.Width || e.height != desktop.Height)
            continue;
        if (Is32Bit(e.format))
            return static_cast<int>(i);
        if (sameSizeOther < 0)
            sameSizeOther = static_cast<int>(i);
    }
    if (sameSizeOther >= 0)
        return sameSizeOther;

    int chosen = -1;
    for (unsigned i = 0; i < r.modeCount; ++i) {
        const DisplayModeEntry& e = r.modes[i];
        if (chosen < 0) {
            chosen = static_cast<int>(i);
            continue;
        }
        const DisplayModeEntry& c = r.modes[chosen];
        const bool sameSize = e.width == c.width && e.height == c.height;
        if (e.width > c.width || e.height > c.height ||
            (sameSize && ModeBits(e.format) > ModeBits(c.format)))
            chosen = static_cast<int>(i);
    }
    return chosen;
}

}  // namespace

bool CompareDisplayModes(const DisplayModeEntry& a, const DisplayModeEntry& b)
{
    if (a.width != b.width)
        return a.width < b.width;
    if (a.height != b.height)
        return a.height < b.height;
    return a.format > b.format;
}

unsigned CollectDisplayModes(const D3DDISPLAYMODE* listed, unsigned listedCount,
                             DisplayModeEntry* out, unsigned outCapacity)
{
    const unsigned limit = std::min<unsigned>(outCapacity, kMaxCollectedModes);
    unsigned count = 0;
    for (unsigned i = 0; i < listedCount && count < limit; ++i) {
        const D3DDISPLAYMODE& m = listed[i];
        if (m.Width < 640 || m.Height < 400)
            continue;
        bool known = false;
        for (unsigned k = 0; k < count && !known; ++k)
            known = out[k].width == m.Width && out[k].height == m.Height &&
                    out[k].format == m.Format;
        if (known)
            continue;
        out[count++] = DisplayModeEntry{m.Width, m.Height, m.Format, 0, D3DFMT_UNKNOWN};
    }
    std::stable_sort(out, out + count, CompareDisplayModes);
    return count;
}

unsigned ModeBits(D3DFORMAT format) { return Is32Bit(format) ? 32 : 16; }

bool IsSixteenBitFormat(D3DFORMAT f)
{
    return f == D3DFMT_R5G6B5 || f == D3DFMT_X1R5G5B5 || f == D3DFMT_A1R5G5B5 ||
           f == D3DFMT_A4R4G4B4 || f == D3DFMT_X4R4G4B4;
}

int FindUserMode(const DeviceRecord& r, UINT width, UINT height, D3DFORMAT format)
{
    for (unsigned i = 0; i < r.modeCount; ++i)
        if (r.modes[i].width == width && r.modes[i].height == height &&
            r.modes[i].format == format)
            return static_cast<int>(i);
    return -1;
}

int ChooseAutomaticMode(const DeviceRecord& record, const D3DDISPLAYMODE& desktop)
{
    if (record.type == D3DDEVTYPE_SW)
        return ChooseSoftwareMode(record);
    return ChooseHardwareMode(record, desktop);
}

bool PickLowerMode(DeviceRecord& r)
{
    if (r.chosenMode >= r.modeCount)
        return false;
    const DisplayModeEntry current = r.modes[r.chosenMode];
    if (Is32Bit(current.format)) {
        for (unsigned i = 0; i < r.modeCount; ++i) {
            const DisplayModeEntry& e = r.modes[i];
            if (e.width == current.width && e.height == current.height && !Is32Bit(e.format)) {
                r.chosenMode = i;
                return true;
            }
        }
    }
    int best = -1;
    for (unsigned i = 0; i < r.modeCount; ++i) {
        const DisplayModeEntry& e = r.modes[i];
        if (Area(e) >= Area(current))
            continue;
        if (best < 0 || Area(e) > Area(r.modes[best]) ||
            (Is32Bit(e.format) && !Is32Bit(r.modes[best].format)))
            best = static_cast<int>(i);
    }
    if (best < 0)
        return false;
    r.chosenMode = static_cast<unsigned>(best);
    return true;
}

int ChooseDeviceRecord(const AdapterRecord& adapter, bool windowed)
{
    const unsigned count = std::min<unsigned>(adapter.deviceCount, kMaxDeviceRecords);
    if (!adapter.disableHardware) {
        for (unsigned i = 0; i < count; ++i) {
            const DeviceRecord& d = adapter.devices[i];
            if (d.type == D3DDEVTYPE_HAL && (!windowed || d.windowedUsable))
                return static_cast<int>(i);
        }
    }
    int chosen = -1;
    for (unsigned i = 0; i < count; ++i) {
        const DeviceRecord& d = adapter.devices[i];
        if (d.type == D3DDEVTYPE_SW && (!windowed || d.windowedUsable))
            chosen = static_cast<int>(i);
    }
    return chosen;
}

int PickAdapter(const MonitorRecord* monitors, int monitorCount, AdapterRecord* const* adapters,
                int adapterCount)
{
    auto adapterOf = [&](int m) -> AdapterRecord* {
        const int a = monitors[m].adapter;
        if (a < 0 || a >= adapterCount)
            return nullptr;
        return adapters[a];
    };
    for (int m = 0; m < monitorCount; ++m) {
        AdapterRecord* a = adapterOf(m);
        if (a && a->hardwareUsable)
            return monitors[m].adapter;
    }
    int chosen = -1;
    for (int m = 0; m < monitorCount; ++m) {
        AdapterRecord* a = adapterOf(m);
        if (a && a->softwareUsable)
            chosen = monitors[m].adapter;
    }
    return chosen;
}

bool PickDepthFormat(unsigned minDepthBits, unsigned minStencilBits,
                     const std::function<bool(D3DFORMAT)>& deviceAccepts, D3DFORMAT* chosen)
{
    for (const DepthCandidate& c : kDepthCandidates) {
        if (minDepthBits > c.depthBits || minStencilBits > c.stencilBits)
            continue;
        if (deviceAccepts(c.format)) {
            *chosen = c.format;
            return true;
        }
    }
    return false;
}

void WindowedFormatOrder(D3DFORMAT desktop, D3DFORMAT out[5])
{
    out[0] = desktop;
    out[1] = D3DFMT_A8R8G8B8;
    out[2] = D3DFMT_X8R8G8B8;
    out[3] = D3DFMT_A1R5G5B5;
    out[4] = D3DFMT_R5G6B5;
}
