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

namespace presenze::bench
{

using Work = std::function<void(const std::filesystem::path& dataFolder)>;

struct BenchCase {
    std::string name;
    std::string size;                   // the group it runs on: "S", "M", "L", "XL"
    std::string baseline;               // non-empty: this case is that baseline
    std::vector<std::string> compareTo; // baselines to give the ratio to
    Work setup;                         // untimed, once, in its own process (may be empty)
    Work run;                           // timed
};

// The program's own work on a group of that size: 12-month Type 1 and Type 2
// reports, the CSV export.
std::vector<BenchCase> reportCases(const std::string& size);

} // namespace presenze::bench
