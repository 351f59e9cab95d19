#include "data/ProcessMemory.h"

#include <cstdint>
#include <cstdlib>
#include <new>

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
// A request that needs more grows the heap as usual beyond it, in small
// pages.
constexpr std::size_t kHeapReserve = 1024 * kMiB;
// Blocks up to this size come from the heap; larger ones are mapped on their
// own (their owners ask for huge pages), so that the large arrays of one
// month, freed, never leave holes in the heap that the next month's arrays
// do not fit.
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

std::uintptr_t alignDown(std::uintptr_t address, std::size_t to)
{
    return address / to * to;
}

void advise(std::uintptr_t from, std::uintptr_t to)
{
    from = alignUp(from, kHugePage);
    to = alignDown(to, kHugePage);
    if (to > from)
        // Refused where the system allows no huge pages: small pages then.
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

} // namespace

void prepareHeapForReports()
{
    // One heap for every thread (a request runs two or three): each thread's
    // own arena would be mapped in small pages.
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
    advise(before, after);
}

void adviseHugePages(const void* data, std::size_t bytes)
{
    if (bytes >= kHugePage)
        advise(reinterpret_cast<std::uintptr_t>(data),
               reinterpret_cast<std::uintptr_t>(data) + bytes);
}

// A block is mapped at a huge page's boundary and in whole huge pages, so
// that none of it is left to small pages.
void* mapBlock(std::size_t bytes)
{
    const std::size_t size = alignUp(bytes, kHugePage);
    void* mapped =
        mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t block = alignUp(start, kHugePage);
    if (block > start)
        munmap(mapped, block - start);
    if (const std::uintptr_t end = start + size + kHugePage; end > block + size)
        munmap(reinterpret_cast<void*>(block + size), end - block - size);
    advise(block, block + size);
    return reinterpret_cast<void*>(block);
}

void unmapBlock(void* block, std::size_t bytes)
{
    munmap(block, alignUp(bytes, kHugePage));
}

#else

void prepareHeapForReports() {}

void adviseHugePages(const void*, std::size_t) {}

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
