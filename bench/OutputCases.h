#pragma once
// What a user waits for at the end of a request, as whole `presenze-cli`
// processes on the groups of the year of the check: the 12-month Type 2
// detail report alone (the baseline "report"), the same report with its
// Excel workbook (`--xlsx`), and `presenze-cli print` of that report on the
// group's PDF destination. See bench/README.md.

#include "BenchData.h"
#include "Cases.h"
#include "ProcessCases.h"

#include <vector>

namespace presenze::bench {

std::vector<BenchCase> outputCases(const BenchSize& size, const Programs& programs);

} // namespace presenze::bench
