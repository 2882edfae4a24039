#pragma once
#include <cstdint>

// Counts what the program's own C++ code takes from the heap: this program replaces the global
// operator new and delete, so every allocation of the scene code passes here. Allocations made
// inside Direct3D, D3DX or Wine's own libraries are not seen.
struct AllocationTotals {
    uint64_t allocations = 0;
    uint64_t bytes = 0;
    uint64_t frees = 0;
    int64_t liveBytes = 0;  // allocated and not yet freed
};

class AllocationCounter {
public:
    static AllocationTotals Totals();
    // What happened between two readings.
    static AllocationTotals Since(const AllocationTotals& before);
};
