#include "BenchData.h"

#include "data/DataError.h"
#include "data/JetCache.h"
#include "data/Sqlite.h"

#include <cstdlib>
#include <fstream>

namespace presenze::bench {
namespace fs = std::filesystem;

namespace {

GroupOptions yearOf(int hotels, int companies, std::int64_t lines, std::uint32_t seed)
{
    GroupOptions group;
    group.hotels = hotels;
    group.companies = companies;
    group.roomLines = lines;
    group.reference = Date{2026, 1, 1};
    group.monthsBefore = 0;
    group.monthsAfter = 11;
    group.seed = seed;
    group.archivedSeason.clear();
    group.companyListSize = 50;
    return group;
}

constexpr const char* kReadyStamp = "bench-ready.txt";

} // namespace

std::vector<BenchSize> benchSizes(std::uint32_t seed, bool withXl)
{
    // L has last year too, as an archived season of the same size, for the
    // indicators' comparison.
    GroupOptions large = yearOf(20, 2000, 200000, seed);
    large.archivedSeason = "2025";
    large.archivedYear = 2025;
    large.archivedRoomLines = large.roomLines;
    std::vector<BenchSize> sizes = {
        {"S", yearOf(1, 150, 2000, seed)},
        {"M", yearOf(8, 600, 30000, seed)},
        {"L", large},
    };
    if (withXl)
        sizes.push_back({"XL", yearOf(40, 4000, 1000000, seed)});
    return sizes;
}

MonthRange benchYear()
{
    return MonthRange{1, 2026, 12, 2026};
}

fs::path defaultCacheRoot()
{
    if (const char* env = std::getenv("PRESENZE_BENCH_CACHE"); env && *env)
        return env;
    return fs::temp_directory_path() / "presenze-bench";
}

fs::path defaultFixtures()
{
    if (const char* env = std::getenv("PRESENZE_FIXTURES"); env && *env)
        return env;
    return PRESENZE_BENCH_FIXTURES_DIR;
}

std::vector<AccessFixture> accessFixtures()
{
    return {{"nwind", "jet3_nwind.mdb"}, {"types", "jet4_types.mdb"}};
}

FreshJetCache::FreshJetCache()
{
    std::string pattern = (fs::temp_directory_path() / "presenze-bench-jet-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw DataError("Impossibile creare una cartella temporanea");
    m_folder = pattern;
    ::setenv("PRESENZE_CACHE_DIR", m_folder.c_str(), 1);
}

FreshJetCache::~FreshJetCache()
{
    ::unsetenv("PRESENZE_CACHE_DIR");
    std::error_code ec;
    fs::remove_all(m_folder, ec);
}

std::int64_t accessRows(const fs::path& accessFile)
{
    const FreshJetCache cache;
    const Database copy(jetCopy(accessFile), Database::Mode::ReadOnly);
    std::vector<std::string> tables;
    Statement list = copy.prepare("SELECT DISTINCT tbl FROM _jet_columns");
    while (list.step())
        tables.emplace_back(list.utf8(0));
    std::int64_t rows = 0;
    for (const auto& table : tables) {
        std::string quoted = "\"";
        for (const char c : table)
            quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        Statement count = copy.prepare("SELECT count(*) FROM " + quoted + "\"");
        count.step();
        rows += count.integer(0);
    }
    return rows;
}

fs::path groupFolder(const BenchSize& size, const fs::path& cacheRoot)
{
    std::string name = size.name + "-seed" + std::to_string(size.group.seed) + "-v" +
                       std::to_string(kGroupGeneratorVersion);
    if (!size.group.archivedSeason.empty())
        name += "-archive" + size.group.archivedSeason;
    return cacheRoot / name;
}

bool groupReady(const fs::path& folder)
{
    return fs::exists(folder / kReadyStamp);
}

void generateGroup(const BenchSize& size, const fs::path& folder)
{
    fs::path partial = folder;
    partial += ".partial";
    fs::remove_all(partial);
    fs::create_directories(partial);
    const GroupSummary summary = writeGroup(partial, size.group);
    {
        std::ofstream stamp(partial / kReadyStamp);
        stamp << "hotels " << summary.hotels << "\ncompanies " << summary.companies
              << "\nbooking headers " << summary.headers << "\nroom lines " << summary.roomLines
              << "\n";
    }
    fs::remove_all(folder);
    fs::rename(partial, folder);
}

} // namespace presenze::bench
