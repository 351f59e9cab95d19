#pragma once
// The generated groups the benchmarks run on, and their cache: a group is
// written once per size, seed and generator version into a folder under the
// system's temporary folder, and reused by later runs.

#include "demo/GroupGenerator.h"
#include "request/PrintRequest.h"

#include <filesystem>
#include <string>
#include <vector>

namespace presenze::bench {

struct BenchSize {
    std::string name; // "S", "M", "L", "XL"
    GroupOptions group;
};

// S (1 hotel, 2,000 room lines), M (8 hotels, 30,000), L (20 hotels, 2,000
// companies, 200,000, and an archived season "2025" of as many a year
// earlier), XL (40 hotels, 1,000,000; only when asked for). Every size covers
// the same calendar year, benchYear().
std::vector<BenchSize> benchSizes(std::uint32_t seed, bool withXl);

// The months the generated bookings arrive in.
MonthRange benchYear();

// Where the group of that size lives in the cache (named by size, seed,
// generator version and archived season), whether it is complete there, and its generation (into
// a side folder renamed into place when complete).
std::filesystem::path groupFolder(const BenchSize& size, const std::filesystem::path& cacheRoot);
bool groupReady(const std::filesystem::path& folder);
void generateGroup(const BenchSize& size, const std::filesystem::path& folder);

// $PRESENZE_BENCH_CACHE, or "presenze-bench" in the temporary folder.
std::filesystem::path defaultCacheRoot();

// The shared test data: $PRESENZE_FIXTURES, else the folder found at build
// time (the one the tests use).
std::filesystem::path defaultFixtures();

// The Access files of the import case, in the fixtures' jet/ folder, with the
// short names the table gives them: the file with the most rows, and the
// largest file (mostly empty pages).
struct AccessFixture {
    std::string label;
    std::string file;
};
std::vector<AccessFixture> accessFixtures();

// A fresh, empty cache of Access copies for the life of the object: a
// temporary folder named by $PRESENZE_CACHE_DIR, removed with everything in
// it at the end. Each run of the import case makes its copy anew in one.
class FreshJetCache {
public:
    FreshJetCache();
    ~FreshJetCache();
    FreshJetCache(const FreshJetCache&) = delete;
    FreshJetCache& operator=(const FreshJetCache&) = delete;

private:
    std::filesystem::path m_folder;
};

// The rows of every table of an Access file (read through the program's own
// reader, into a cache folder of its own that is removed again).
std::int64_t accessRows(const std::filesystem::path& accessFile);

} // namespace presenze::bench
