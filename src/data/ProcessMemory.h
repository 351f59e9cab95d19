#pragma once
// How the process's memory serves a report: a request makes arrays of some
// megabytes for every month (the rows of the month, the keys of their sort,
// the tally) and frees them before the next month makes them again. Left to
// itself the allocator maps each such array on its own and hands it back to
// the system when it is freed, so that every month the kernel fills the
// same memory anew, page by page (4 KiB), as it is first touched: tens of
// thousands of page faults a request.

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

namespace presenze {

// Called once, at the start of a program that runs reports and ends, before
// its threads: the heap takes its room at once and keeps what is freed for
// the next month, and its first part is filled in huge pages (2 MiB) where
// the system lets a program ask for them (transparent huge pages "madvise" or
// "always"). Elsewhere than on Linux with the GNU C library it does nothing.
void prepareHeapForReports();

// Memory mapped for a block of its own and handed back to the system when
// freed (null when the system has none to give).
void* mapBlock(std::size_t bytes);
void unmapBlock(void* block, std::size_t bytes);

// An allocator for the large arrays made once a request and freed soon after
// (the keys of a sort, an order of places): arrays of some megabytes are
// mapped on their own and handed back as the step ends, so that they leave
// no room in the heap that the arrays made after them do not fit; smaller
// ones come from the heap as usual.
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
