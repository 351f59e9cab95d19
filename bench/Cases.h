#pragma once
// What the benchmarks time. A case is one piece of work on one generated
// group; a baseline is a case like any other, marked with a baseline name.
// A case lists the baselines it is set against (compareTo), and the table
// gives the ratio of the two medians measured in the same run, on the same
// group.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace presenze::bench {

using Work = std::function<void(const std::filesystem::path& dataFolder)>;
// How much one run handles (rows read, bytes written), for the throughput.
using Count = std::function<double(const std::filesystem::path& dataFolder)>;

struct BenchCase {
    std::string name;
    std::string size;                   // the group it runs on: "S", "M", "L", "XL"
    std::string baseline;               // non-empty: this case is that baseline
    std::vector<std::string> compareTo; // baselines to give the ratio to
    Work setup;                         // untimed, once, in its own process (may be empty)
    Work run;                           // timed
    Count count = {};                   // untimed, once, after the first run (may be empty)
    std::string unit = {};              // of the count: "rows", "MB"
    int maxRuns = 0;                    // fewer timed runs than asked for (0: as asked)
    // Instead of `run`: work that times itself and returns its seconds (the
    // part of another program's run that the case is about).
    Count timed = {};
};

// The program's own work on a group of that size: 12-month Type 1 and Type 2
// reports, the CSV export.
std::vector<BenchCase> reportCases(const std::string& size);

// An Access file of the fixtures read into its SQLite copy, as a report does
// the first time it meets the file; `size` names the file in the table.
BenchCase accessImportCase(const std::string& size, const std::filesystem::path& accessFile);

} // namespace presenze::bench
