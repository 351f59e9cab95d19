#pragma once
// The company list file "ElencoDitte.txt" as the company list builder writes
// it: one line per company, its code right-aligned in 6 characters, one
// blank and its name, lines ended by CR LF. Texts are Windows-1252.

#include "data/DataFolder.h"
#include "data/Records.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

// The widest code a line can carry.
inline constexpr std::size_t kCompanyCodeWidth = 6;

// "    45 BIANCHI SNC": the code right-aligned in 6 characters, a blank, the name.
std::string companyListItem(std::int64_t codice, std::string_view name);

// True when an item keeps the line format: a code of at most 6 characters,
// then the blank (a longer code would be misread as part of the name).
bool fitsCompanyList(std::string_view item);

// The search text of the builder: upper case, apostrophes turned into the
// acute accent, blanks trimmed.
std::string companySearchText(std::string_view typed);

// The candidate items: companies with a positive code (of `hotel` when
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
