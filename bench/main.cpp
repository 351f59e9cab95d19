// presenze-bench: times the reports on generated hotel groups and prints one
// table. See bench/README.md.

#include "Baselines.h"
#include "BenchData.h"
#include "Cases.h"
#include "Measure.h"
#include "OutputCases.h"
#include "ProcessCases.h"
#include "StoreCases.h"
#include "Table.h"
#include "common/KV7Routine.h"
#include "support/PrivatePostgres.h"

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <sys/utsname.h>
#include <thread>

using namespace presenze;
using namespace presenze::bench;

namespace {

constexpr const char* kUsage =
    "Usage: presenze-bench [--xl] [--xxl] [--runs N] [--sizes S,M,L,XL] [--only TEXT]\n"
    "                      [--seed N] [--cache DIR] [--fixtures DIR] [--timeout SECONDS]\n"
    "\n"
    "  --xl        also run on XL (40 hotels, 1,000,000 room lines)\n"
    "  --xxl       also run the year of the check on XXL 2024-25 (200 hotels,\n"
    "              2,000,000 room lines)\n"
    "  --runs N    timed runs per case (default 5; 3 on XL and on the year of the\n"
    "              check), after one untimed run\n"
    "  --sizes     only these sizes (Access: the Access import on the fixtures)\n"
    "  --only      only cases whose name contains TEXT\n"
    "  --seed      seed of the generated groups (default 1)\n"
    "  --cache     where generated groups are kept (default $PRESENZE_BENCH_CACHE,\n"
    "              else presenze-bench in the temporary folder)\n"
    "  --fixtures  the shared test data, whose jet/ folder holds the Access files\n"
    "              (default $PRESENZE_FIXTURES, else the one found at build time)\n"
    "  --timeout   longest run allowed in seconds (default 1800)\n";

struct Options {
    bool xl = false;
    bool xxl = false;
    int runs = 5;
    std::vector<std::string> sizes;
    std::string only;
    std::uint32_t seed = 1;
    std::filesystem::path cache = defaultCacheRoot();
    int timeout = 1800;
    std::filesystem::path fixtures = defaultFixtures();
};

template <typename T> bool parseNumber(const std::string& text, T& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

std::vector<std::string> splitList(const std::string& text)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        if (comma > start)
            items.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return items;
}

bool parseOptions(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--xl")
            o.xl = true;
        else if (a == "--xxl")
            o.xxl = true;
        else if (a == "--runs" && hasValue && parseNumber(argv[i + 1], o.runs) && o.runs > 0)
            ++i;
        else if (a == "--sizes" && hasValue)
            o.sizes = splitList(argv[++i]);
        else if (a == "--only" && hasValue)
            o.only = argv[++i];
        else if (a == "--seed" && hasValue && parseNumber(argv[i + 1], o.seed))
            ++i;
        else if (a == "--cache" && hasValue)
            o.cache = argv[++i];
        else if (a == "--fixtures" && hasValue)
            o.fixtures = argv[++i];
        else if (a == "--timeout" && hasValue && parseNumber(argv[i + 1], o.timeout) &&
                 o.timeout > 0)
            ++i;
        else
            return false;
    }
    return true;
}

std::string machine()
{
    std::string cpu = "unknown CPU";
    std::ifstream info("/proc/cpuinfo");
    for (std::string line; std::getline(info, line);) {
        if (line.rfind("model name", 0) == 0) {
            cpu = line.substr(line.find(':') + 2);
            break;
        }
    }
    struct utsname u {};
    ::uname(&u);
    return cpu + ", " + std::to_string(std::thread::hardware_concurrency()) + " cores, " +
           u.sysname + " " + u.release;
}

bool wanted(const std::string& size, const Options& o)
{
    return o.sizes.empty() || std::find(o.sizes.begin(), o.sizes.end(), size) != o.sizes.end();
}

// One run of a case: its own wall time, or the time it tells of itself.
Run runOnce(const BenchCase& c, const std::filesystem::path& data, const Options& o)
{
    if (!c.timed)
        return runInChild([&] { c.run(data); }, o.timeout);
    Run run = runFigureInChild([&] { return c.timed(data); }, o.timeout);
    run.seconds = run.value;
    return run;
}

// Times the cases of one group: an untimed first run of each (which also
// tells whether the case can run at all; cases of a single run have none),
// then the timed runs (at most `maxRuns`, when not 0), taking the cases in
// turn so that a drift of the machine touches them all alike.
void runCases(std::vector<BenchCase> cases, const std::string& group,
              const std::filesystem::path& data, const Options& o, std::vector<CaseResult>& results,
              int maxRuns = 0)
{
    std::erase_if(cases, [&](const BenchCase& c) {
        return !o.only.empty() && c.name.find(o.only) == std::string::npos;
    });
    const std::size_t first = results.size();
    for (const auto& c : cases) {
        CaseResult r{c.name, c.size, c.baseline, c.compareTo, {}, 0, {}, 0, c.unit};
        std::cerr << group << ": " << c.name << " ..." << std::flush;
        if (c.setup) {
            const Run setup = runInChild([&] { c.setup(data); }, o.timeout);
            if (!setup.ok)
                r.error = setup.error;
        }
        // A case of a single run is long enough not to need a warm-up.
        if (r.error.empty() && c.maxRuns != 1) {
            const Run warm = runOnce(c, data, o);
            if (!warm.ok)
                r.error = warm.error;
        }
        if (r.error.empty() && c.count) {
            const Run count = runFigureInChild([&] { return c.count(data); }, o.timeout);
            if (count.ok)
                r.count = count.value;
        }
        std::cerr << (r.error.empty() ? " ok\n" : " non disponibile\n");
        results.push_back(std::move(r));
    }
    const int runs = maxRuns > 0 ? std::min(o.runs, maxRuns) : o.runs;
    for (int n = 0; n < runs; ++n) {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            CaseResult& r = results[first + i];
            if (!r.error.empty() || (cases[i].maxRuns > 0 && n >= cases[i].maxRuns))
                continue;
            const Run run = runOnce(cases[i], data, o);
            if (!run.ok) {
                r.error = run.error;
                continue;
            }
            r.seconds.push_back(run.seconds);
            r.peakKb = std::max(r.peakKb, run.peakKb);
        }
        std::cerr << group << ": run " << n + 1 << " of " << runs << " done\n";
    }
}

void runSize(const BenchSize& size, const std::filesystem::path& data, const Options& o,
             const std::string& server, std::vector<CaseResult>& results)
{
    std::vector<BenchCase> cases = reportCases(size.name);
    if (!server.empty())
        for (auto& c : storeCases(size.name, server))
            cases.push_back(std::move(c));
    for (auto& b : baselineCases(size.name))
        cases.push_back(std::move(b));
    runCases(std::move(cases), size.name, data, o, results, size.name == "XL" ? 3 : 0);
}

// The group of that size from the cache, generated first when missing;
// nothing when it cannot be made.
std::optional<std::filesystem::path> groupOf(const BenchSize& size, const Options& o)
{
    const auto data = groupFolder(size, o.cache);
    if (groupReady(data))
        return data;
    std::cerr << "Generating " << size.name << " (" << size.group.hotels << " hotels, "
              << size.group.roomLines << " room lines) into " << data.string() << " ..."
              << std::flush;
    const Run made = runInChild([&] { generateGroup(size, data); }, o.timeout);
    if (!made.ok) {
        std::cerr << " failed: " << made.error << "\n";
        return std::nullopt;
    }
    std::cerr << " " << made.seconds << " s, " << made.peakKb / 1024 << " MB\n";
    return data;
}

// The Access year on a copy of the fixtures' Access group (the report is
// written into its folder), made anew in the cache root.
void runAccessYear(const Options& o, std::vector<CaseResult>& results)
{
    const std::filesystem::path source = o.fixtures / "hotel-jet";
    if (!std::filesystem::exists(source)) {
        std::cerr << "Access: " << source.string() << " not found\n";
        return;
    }
    const std::filesystem::path copy = o.cache / "Access hotel-jet";
    std::filesystem::remove_all(copy);
    std::filesystem::create_directories(copy);
    std::filesystem::copy(source, copy, std::filesystem::copy_options::recursive);
    runCases(accessYearCases("hotel-jet", findPrograms()), "Access", copy, o, results, 5);
}

// The Access import against mdb-export, on the fixture files.
void runAccess(const Options& o, std::vector<CaseResult>& results)
{
    const std::filesystem::path folder = o.fixtures / "jet";
    // Samples without a stated licence are not in the repository; they join
    // when PRESENZE_EXTRA_FIXTURES names the folder that holds them.
    const char* extra = std::getenv("PRESENZE_EXTRA_FIXTURES");
    std::vector<BenchCase> cases;
    for (const auto& [label, file] : accessFixtures()) {
        std::filesystem::path path = folder / file;
        if (!std::filesystem::exists(path) && extra && *extra)
            path = std::filesystem::path(extra) / file;
        if (!std::filesystem::exists(path)) {
            std::cerr << "Access: " << file << " not found (PRESENZE_EXTRA_FIXTURES)\n";
            continue;
        }
        cases.push_back(accessImportCase(label, path));
        cases.push_back(mdbExportCase(label, path));
    }
    runCases(std::move(cases), "Access", folder, o, results);
    runAccessYear(o, results);
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!parseOptions(argc, argv, o)) {
        std::cerr << kUsage;
        return 2;
    }
    FillCalendarTables();
    // The store's cases run on a private server, when PostgreSQL is there.
    test::PrivatePostgres postgres;
    std::string server;
    if (const std::string problem = postgres.start(); problem.empty())
        server = postgres.conninfo();
    else
        std::cerr << "Server PostgreSQL non disponibile, casi del server esclusi: " << problem
                  << "\n";
    std::vector<CaseResult> results;
    const bool xlNamed = std::find(o.sizes.begin(), o.sizes.end(), "XL") != o.sizes.end();
    for (const auto& size : benchSizes(o.seed, o.xl || xlNamed)) {
        if (!wanted(size.name, o))
            continue;
        const auto data = groupOf(size, o);
        if (!data)
            return 1;
        runSize(size, *data, o, server, results);
    }
    // The year of the check, as whole processes.
    const Programs programs = findPrograms();
    const bool xxlNamed = std::find(o.sizes.begin(), o.sizes.end(), "XXL 2024-25") != o.sizes.end();
    for (const auto& size : checkSizes(o.seed, o.xxl || xxlNamed)) {
        if (!wanted(size.name, o))
            continue;
        const auto data = groupOf(size, o);
        if (!data)
            return 1;
        std::vector<BenchCase> cases = checkCases(size, programs);
        for (auto& c : outputCases(size, programs))
            cases.push_back(std::move(c));
        runCases(std::move(cases), size.name, *data, o, results, 3);
    }
    if (wanted("Access", o))
        runAccess(o, results);
    std::cout << "Machine: " << machine() << "\n"
              << "Median of the timed runs; peak memory = highest resident set of a run; "
                 "x baseline = median / median of that baseline on the same size.\n\n"
              << formatTable(results);
    return 0;
}
