#include "Baselines.h"

namespace presenze::bench
{

// Baselines are added here, one routine each, named as the report cases
// refer to them: "floor" (one scan of the room lines of the year, summing
// persons and rooms), "sql" (the Type 1 month totals as one SQLite query
// expanding the nights), "literal" (the tally as four look-ups per night in
// an unindexed table; S and M only), "mdb-export" (the Debian tool over the
// largest Access file, against the import case).
std::vector<BenchCase> baselineCases(const std::string& size)
{
    return {};
}

} // namespace presenze::bench
