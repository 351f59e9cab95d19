#include "data/ProcessMemory.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace presenze {

#if defined(__linux__) && defined(__GLIBC__)

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr std::size_t kHugePage = 2 * kMiB;
// The address space the heap takes at once: untouched, it costs no memory.
// A request that needs more grows the heap as usual beyond it.
constexpr std::size_t kHeapReserve = 1024 * kMiB;
// Huge pages are asked for the first part of the heap only. A huge page costs
// the kernel more to fill on first touch than small pages do (on the virtual
// machines measured, far more), and past some hundred megabytes of records
// the walks gain no more from them than that: a request of a chain's size
// goes on in small pages there.
constexpr std::size_t kHugeHeap = 128 * kMiB;
// Blocks up to this size (the allocator's upper bound) come from the heap
// once the reserve is used up; larger ones are mapped on their own.
constexpr int kMapThreshold = 32 * 1024 * 1024;
// What was freed is kept unless the free top of the heap passes this: above
// the reserve, so that the reserve is never handed back.
constexpr int kTrimThreshold = 1536 * 1024 * 1024;
// The allocator's own padding of a heap's growth, set again once the reserve
// is taken.
constexpr int kDefaultTopPad = 128 * 1024;

std::uintptr_t alignUp(std::uintptr_t address, std::size_t to)
{
    return (address + to - 1) / to * to;
}

} // namespace

void prepareHeapForReports()
{
    // One heap for every thread (a request runs two or three): each thread's
    // own arena would be mapped in small pages, and handed back in part.
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, kMapThreshold);
    mallopt(M_TRIM_THRESHOLD, kTrimThreshold);
    // The heap grows once by the reserve: one allocation larger than its
    // free top, freed again, leaves the reserve as the top of the heap.
    mallopt(M_TOP_PAD, static_cast<int>(kHeapReserve));
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // Kept in a volatile so that the pair is not left out as having no effect.
    void* volatile probe = std::malloc(4 * kMiB);
    std::free(probe);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));
    mallopt(M_TOP_PAD, kDefaultTopPad);
    const std::uintptr_t from = alignUp(before, kHugePage);
    const std::uintptr_t to = std::min(after, from + kHugeHeap);
    if (to > from)
        // Refused where the system allows no huge pages: small pages then.
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

void* mapBlock(std::size_t bytes)
{
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block == MAP_FAILED ? nullptr : block;
}

void unmapBlock(void* block, std::size_t bytes)
{
    munmap(block, bytes);
}

#else

void prepareHeapForReports() {}

void* mapBlock(std::size_t bytes)
{
    return ::operator new(bytes, std::nothrow);
}

void unmapBlock(void* block, std::size_t)
{
    ::operator delete(block);
}

#endif

} // namespace presenze
