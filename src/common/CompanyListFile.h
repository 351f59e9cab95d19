#pragma once
// The company list file "ElencoDitte.txt" as the company list builder writes
// it: one line per company (data/CompanyListLine.h), lines ended by CR LF.
// Texts are Windows-1252.

#include "data/DataFolder.h"
#include "data/Records.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

// The search text of the builder: upper case, apostrophes turned into the
// acute accent, blanks trimmed.
std::string companySearchText(std::string_view typed);

// The candidate items (companyListLine): companies with a positive code (of `hotel` when
// given) whose name begins with `search` (a search text as above: its acute
// accents match an acute accent or an apostrophe of the name), in table
// order, at most `limit`. No search text offers every company.
std::vector<std::string> candidateItems(const std::vector<CompanyRecord>& companies,
                                        std::optional<std::string_view> search,
                                        std::optional<std::int64_t> hotel, std::size_t limit = 50);

// Writes the items, in order, as the lines of "ElencoDitte.txt" (replacing
// the file as a whole; an empty list writes an empty file). Raises DataError.
void writeCompanyListFile(const DataFolder& folder, const std::vector<std::string>& items);

} // namespace presenze
