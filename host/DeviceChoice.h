#pragma once
// The choices made over the enumerated records: mode order, the automatic full-screen mode, the
// fall-back to a lower mode, the device type of an adapter, the adapter of a single window and
// the order in which depth formats are tried. Pure functions over plain records.
#include "host/SaverRecords.h"

#include <functional>

// The sort order of display modes: width ascending, then height ascending, then format value
// descending. True when a goes before b.
bool CompareDisplayModes(const DisplayModeEntry& a, const DisplayModeEntry& b);

// Keeps the listed modes that are at least 640 x 400, one per width, height and format, at most
// kMaxCollectedModes of them, sorted. Returns the count written to out.
unsigned CollectDisplayModes(const D3DDISPLAYMODE* listed, unsigned listedCount,
                             DisplayModeEntry* out, unsigned outCapacity);

// Bits per pixel as the mode choices count them: 32 for X8R8G8B8 and A8R8G8B8, 16 otherwise.
unsigned ModeBits(D3DFORMAT format);
bool IsSixteenBitFormat(D3DFORMAT format);

// The entry of the record equal to the user's mode, or -1.
int FindUserMode(const DeviceRecord& record, UINT width, UINT height, D3DFORMAT format);
// The mode a full-screen device starts with when the user chose none; -1 only for an empty list.
int ChooseAutomaticMode(const DeviceRecord& record, const D3DDISPLAYMODE& desktop);
// Moves the record's chosen mode to the next one to try after a failed creation; false when
// there is none.
bool PickLowerMode(DeviceRecord& record);

// The device record a full-screen or windowed unit of this adapter uses, or -1: the first
// hardware record unless hardware is disabled, otherwise the last software record (for windows
// only records usable windowed count).
int ChooseDeviceRecord(const AdapterRecord& adapter, bool windowed);

// The adapter of a single window: that of the first display whose adapter has a usable
// hardware device, else that of the last display whose adapter has a usable software device.
int PickAdapter(const MonitorRecord* monitors, int monitorCount, AdapterRecord* const* adapters,
                int adapterCount);

struct DepthCandidate {
    D3DFORMAT format;
    unsigned depthBits;
    unsigned stencilBits;
};
// D16, D15S1, D24X8, D24S8, D24X4S4, D32 in this order.
extern const DepthCandidate kDepthCandidates[6];

// The first candidate meeting the minimum bits that the device accepts; false when none.
bool PickDepthFormat(unsigned minDepthBits, unsigned minStencilBits,
                     const std::function<bool(D3DFORMAT)>& deviceAccepts, D3DFORMAT* chosen);

// Back-buffer formats a windowed device tries, the desktop's first.
void WindowedFormatOrder(D3DFORMAT desktop, D3DFORMAT out[5]);
