#pragma once
// The generated groups the benchmarks run on, and their cache: a group is
// written once per size, seed and generator version into a folder under the
// system's temporary folder, and reused by later runs.

#include "data/GroupGenerator.h"
#include "desk/PrintRequest.h"

#include <filesystem>
#include <string>
#include <vector>

namespace presenze::bench
{

struct BenchSize {
    std::string name; // "S", "M", "L", "XL"
    GroupOptions group;
};

// S (1 hotel, 2,000 room lines), M (8 hotels, 30,000), L (20 hotels, 2,000
// companies, 200,000), XL (40 hotels, 1,000,000; only when asked for). Every
// size covers the same calendar year, benchYear().
std::vector<BenchSize> benchSizes(std::uint32_t seed, bool withXl);

// The months the generated bookings arrive in.
MonthRange benchYear();

// Where the group of that size lives in the cache (named by size, seed and
// generator version), whether it is complete there, and its generation (into
// a side folder renamed into place when complete).
std::filesystem::path groupFolder(const BenchSize& size, const std::filesystem::path& cacheRoot);
bool groupReady(const std::filesystem::path& folder);
void generateGroup(const BenchSize& size, const std::filesystem::path& folder);

// $PRESENZE_BENCH_CACHE, or "presenze-bench" in the temporary folder.
std::filesystem::path defaultCacheRoot();

} // namespace presenze::bench
