#pragma once
// Baselines: the questions the report cases answer, answered in other ways
// (a plain scan, one SQL query, the tally done look-up by look-up, another
// reader of the Access files), so that the report cases can be given as
// ratios measured side by side. See bench/README.md.

#include "Cases.h"

namespace presenze::bench {

// The baselines that run on a group of that size (each carries its baseline
// name in BenchCase::baseline).
std::vector<BenchCase> baselineCases(const std::string& size);

// mdb-tables and then mdb-export of every table of the Access file, each
// table into a file, as the import case's baseline; `size` names the file.
BenchCase mdbExportCase(const std::string& size, const std::filesystem::path& accessFile);

} // namespace presenze::bench
