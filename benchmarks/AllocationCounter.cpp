#include "benchmarks/AllocationCounter.h"

#include <malloc.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

// Sound and music run threads of their own that may allocate too.
std::atomic<uint64_t> s_allocations{0};
std::atomic<uint64_t> s_bytes{0};
std::atomic<uint64_t> s_frees{0};
std::atomic<int64_t> s_liveBytes{0};

void* Allocate(std::size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p)
        return nullptr;
    s_allocations.fetch_add(1, std::memory_order_relaxed);
    s_bytes.fetch_add(size, std::memory_order_relaxed);
    // The heap's own size of the block, so that a delete without a size subtracts the same.
    s_liveBytes.fetch_add(static_cast<int64_t>(_msize(p)), std::memory_order_relaxed);
    return p;
}

void Free(void* p)
{
    if (!p)
        return;
    s_frees.fetch_add(1, std::memory_order_relaxed);
    s_liveBytes.fetch_sub(static_cast<int64_t>(_msize(p)), std::memory_order_relaxed);
    std::free(p);
}

// An over-aligned block: the heap block's start and the requested size sit just before the
// aligned address (the C runtime offers no size query for its own aligned blocks).
struct AlignedHeader {
    void* block;
    std::size_t size;
};

void* AllocateAligned(std::size_t size, std::align_val_t alignment)
{
    const std::size_t align = static_cast<std::size_t>(alignment);
    void* block = std::malloc(size + align + sizeof(AlignedHeader));
    if (!block)
        return nullptr;
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(block) + sizeof(AlignedHeader);
    void* p = reinterpret_cast<void*>((first + align - 1) / align * align);
    static_cast<AlignedHeader*>(p)[-1] = {block, size};
    s_allocations.fetch_add(1, std::memory_order_relaxed);
    s_bytes.fetch_add(size, std::memory_order_relaxed);
    s_liveBytes.fetch_add(static_cast<int64_t>(size), std::memory_order_relaxed);
    return p;
}

void FreeAligned(void* p, std::align_val_t)
{
    if (!p)
        return;
    const AlignedHeader header = static_cast<AlignedHeader*>(p)[-1];
    s_frees.fetch_add(1, std::memory_order_relaxed);
    s_liveBytes.fetch_sub(static_cast<int64_t>(header.size), std::memory_order_relaxed);
    std::free(header.block);
}

void* AllocateOrThrow(std::size_t size)
{
    void* p = Allocate(size);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void* AllocateAlignedOrThrow(std::size_t size, std::align_val_t alignment)
{
    void* p = AllocateAligned(size, alignment);
    if (!p)
        throw std::bad_alloc();
    return p;
}

}  // namespace

AllocationTotals AllocationCounter::Totals()
{
    AllocationTotals totals;
    totals.allocations = s_allocations.load();
    totals.bytes = s_bytes.load();
    totals.frees = s_frees.load();
    totals.liveBytes = s_liveBytes.load();
    return totals;
}

AllocationTotals AllocationCounter::Since(const AllocationTotals& before)
{
    AllocationTotals now = Totals();
    now.allocations -= before.allocations;
    now.bytes -= before.bytes;
    now.frees -= before.frees;
    now.liveBytes -= before.liveBytes;
    return now;
}

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t a) { return AllocateAlignedOrThrow(size, a); }
void* operator new[](std::size_t size, std::align_val_t a) { return AllocateAlignedOrThrow(size, a); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return AllocateAligned(size, a);
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return AllocateAligned(size, a);
}

void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, std::size_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t) noexcept { Free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Free(p); }
void operator delete(void* p, std::align_val_t a) noexcept { FreeAligned(p, a); }
void operator delete[](void* p, std::align_val_t a) noexcept { FreeAligned(p, a); }
void operator delete(void* p, std::size_t, std::align_val_t a) noexcept { FreeAligned(p, a); }
void operator delete[](void* p, std::size_t, std::align_val_t a) noexcept { FreeAligned(p, a); }
void operator delete(void* p, std::align_val_t a, const std::nothrow_t&) noexcept { FreeAligned(p, a); }
void operator delete[](void* p, std::align_val_t a, const std::nothrow_t&) noexcept { FreeAligned(p, a); }
