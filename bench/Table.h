#pragma once
// The one table the benchmarks print, as Markdown so that it can go into
// docs/benchmarks.md as it is: case, data size, runs, median time, peak
// memory, and one ratio column per baseline that some case is set against.

#include <string>
#include <vector>

namespace presenze::bench {

struct CaseResult {
    std::string name;
    std::string size;
    std::string baseline;               // non-empty for a baseline
    std::vector<std::string> compareTo; // baselines of this case
    std::vector<double> seconds;        // the timed runs
    long peakKb = 0;                    // highest of the runs
    std::string error;                  // non-empty: the case could not run
    double count = 0;                   // handled by one run, in `unit` (0: not counted)
    std::string unit;
};

double median(std::vector<double> values);

// Baselines named by the cases, in the order they are first named.
std::vector<std::string> baselineColumns(const std::vector<CaseResult>& results);

// The median of the case against the median of the named baseline run on the
// same size; nothing when either is missing or failed.
std::string ratioCell(const CaseResult& result, const std::string& baseline,
                      const std::vector<CaseResult>& results);

// The count per second of the median run ("1,234,000 rows/s"); "-" when the
// case is not counted.
std::string throughputCell(const CaseResult& result);

// The table, followed by one line per case that could not run.
std::string formatTable(const std::vector<CaseResult>& results);

} // namespace presenze::bench
