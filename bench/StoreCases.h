#pragma once
// The chain's server in the benchmarks: a group synchronised into a private
// PostgreSQL server, and the 12-month reports read back from it, to set
// against the same reports from the folder.

#include "Cases.h"

#include <string>
#include <vector>

namespace presenze::bench {

// The cases of one size on the server that `conninfo` names.
std::vector<BenchCase> storeCases(const std::string& size, const std::string& conninfo);

} // namespace presenze::bench
