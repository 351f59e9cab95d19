#pragma once
// The Type 2 report's company filter: the codes of the saved company list.

#include "data/DataFolder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace presenze {

// The company codes of "ElencoDitte.txt", in file order: the first 6
// characters of every line, without blanks around them. Only codes made of
// digits count; blank and other codes are skipped. An empty result (no file,
// an unreadable file, or no usable code) leaves the report unrestricted.
std::vector<std::int64_t> FiltroDitte(const DataFolder& folder);
// The same over the lines of the file, already read.
std::vector<std::int64_t> companyCodes(const std::vector<std::string>& lines);

} // namespace presenze
