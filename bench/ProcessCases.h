#pragma once
// The year of the check: the reports as whole `presenze-cli` processes
// (program start included) on groups generated for June 2024 to May 2025,
// set against two other programs answering the same question over the same
// rows: one `sqlite3` process summing the persons and rooms of each month's
// room lines (the floor), and an in-memory DuckDB computing the month tally
// (its load and its query apart). See bench/README.md.

#include "BenchData.h"
#include "Cases.h"

#include <filesystem>
#include <string>
#include <vector>

namespace presenze::bench {

// "L 2024-25" (20 hotels, 2,000 companies, 200,000 room lines) and, when
// asked for, "XXL 2024-25" (200 hotels, 20,000 companies, 2,000,000).
std::vector<BenchSize> checkSizes(std::uint32_t seed, bool withXxl);

// The programs the cases run.
struct Programs {
    std::filesystem::path cli;    // presenze-cli, beside presenze-bench
    std::filesystem::path duckdb; // the folder of month-tally.mjs and its node_modules
};
Programs findPrograms();

// The cases of one of those sizes; a baseline whose program is missing is
// left out with a word on stderr.
std::vector<BenchCase> checkCases(const BenchSize& size, const Programs& programs);

// The Access year: the 12-month Type 1 detail report of 2024 over a copy of
// the fixtures' Access group (`folder`, see bench/README.md), each run with
// an empty cache of Access copies, against mdb-export of its two booking
// tables; `size` names the group in the table.
std::vector<BenchCase> accessYearCases(const std::string& size, const Programs& programs);

} // namespace presenze::bench
