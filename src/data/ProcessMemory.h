#pragma once
// How the process's memory serves a report: a report makes arrays of tens to
// hundreds of megabytes (the room lines and headers of the request, the rows
// of each month) and walks them out of order. Left to itself the kernel fills
// memory in pages of 4 KiB as it is first touched: tens of thousands of page
// faults a request, and a miss of the processor's address cache at almost
// every line of a month's walk. Huge pages (2 MiB) are asked for where the
// system lets a program ask (transparent huge pages "madvise" or "always");
// elsewhere these calls do nothing.

#include <cstddef>
#include <new>
#include <vector>

namespace presenze {

// Called once, at the start of a program that runs reports and ends, before
// its threads: the allocator's heap, where the small and middle-sized blocks
// lie (texts, tallies, the arrays of a month), is taken at once and in huge
// pages, and what is freed stays for the next month; arrays above a few
// megabytes are mapped on their own, as before, and handed back when freed.
void prepareHeapForReports();

// Asks for the whole huge pages that lie inside the bytes, before they are
// first touched.
void adviseHugePages(const void* data, std::size_t bytes);

// The same for a vector's storage (its capacity).
template <typename T> void adviseHugePages(const std::vector<T>& storage)
{
    adviseHugePages(storage.data(), storage.capacity() * sizeof(T));
}

// Memory mapped for a block of its own and handed back to the system when
// freed (null when the system has none to give).
void* mapBlock(std::size_t bytes);
void unmapBlock(void* block, std::size_t bytes);

// An allocator for the large arrays of a step (the keys of a sort, an order
// of places): arrays of some megabytes are mapped on their own, in huge
// pages, and handed back as the step ends, so that they never leave room in
// the heap that the arrays made after them do not fit; smaller ones come from
// the heap as usual.
template <typename T> class MappedAllocator {
public:
    using value_type = T;

    MappedAllocator() = default;
    template <typename U> MappedAllocator(const MappedAllocator<U>&) noexcept {}

    T* allocate(std::size_t count)
    {
        const std::size_t bytes = count * sizeof(T);
        if (bytes < kMappedFrom)
            return std::allocator<T>().allocate(count);
        void* block = mapBlock(bytes);
        if (!block)
            throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, std::size_t count) noexcept
    {
        const std::size_t bytes = count * sizeof(T);
        if (bytes < kMappedFrom)
            std::allocator<T>().deallocate(block, count);
        else
            unmapBlock(block, bytes);
    }

    template <typename U> bool operator==(const MappedAllocator<U>&) const noexcept { return true; }

private:
    static constexpr std::size_t kMappedFrom = std::size_t{4} << 20;
};

template <typename T> using MappedVector = std::vector<T, MappedAllocator<T>>;

} // namespace presenze
