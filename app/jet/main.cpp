// presenze-jet ACCESS_FILE SQLITE_FILE [ACCESS_FILE SQLITE_FILE ...]
// Helper process of Presenze: copies the tables of each Access file into a
// new SQLite file, pair after pair, and writes the number of each pair
// copied (1, 2, ...) on a line of stdout. Exit status 0 when all are
// copied; otherwise it stops at the first that fails, the reason on stderr.
// It runs libmdb over files that may be damaged, so it keeps its own damage
// small: bounded memory, no core files.

#include "jet/JetReader.h"

#include <iostream>
#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__)
#define PRESENZE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PRESENZE_ASAN 1
#endif
#endif

#ifdef PRESENZE_ASAN
// Under the address sanitizer the address space cannot be capped (its shadow
// memory alone reserves terabytes, and the helper could not even start): the
// sanitizer's own limits bound the helper's memory instead.
extern "C" const char* __asan_default_options()
{
    // Full stacks for allocations, so that the one leak below is told by
    // the function that made it.
    return "hard_rss_limit_mb=2048:max_allocation_size_mb=1024:allocator_may_return_null=1:"
           "fast_unwind_on_malloc=0:print_suppressions=0";
}

// libmdb leaves the texts of a damaged catalog's properties behind
// (mdb_kkd_to_props); the helper ends right after, so that leak alone is
// not reported.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:mdb_kkd_to_props\n";
}
#endif

namespace {

#ifdef PRESENZE_ASAN
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

void limitResources()
{
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    if (kSanitized)
        return;
    rlimit memory{};
    constexpr rlim_t kMemory = rlim_t(2) << 30; // 2 GiB of address space
    if (::getrlimit(RLIMIT_AS, &memory) == 0 &&
        (memory.rlim_cur == RLIM_INFINITY || memory.rlim_cur > kMemory)) {
        memory.rlim_cur = kMemory;
        ::setrlimit(RLIMIT_AS, &memory);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc % 2 == 0) {
        std::cerr << "Uso: presenze-jet FILE_ACCESS FILE_SQLITE [FILE_ACCESS FILE_SQLITE ...]\n";
        return 2;
    }
    limitResources();
    for (int pair = 1; 2 * pair < argc; ++pair) {
        const std::string error = presenze::convertJetToSqlite(argv[2 * pair - 1], argv[2 * pair]);
        if (!error.empty()) {
            std::cerr << error << "\n";
            return 1;
        }
        std::cout << pair << std::endl;
    }
    return 0;
}
