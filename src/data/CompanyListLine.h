#pragma once
// One line of the company list file "ElencoDitte.txt": the company code
// right-aligned in 6 characters, one blank, the name ("    45 BIANCHI SNC").
// The company list builder and the demo generator write it; the reports read
// its name (Type 1's "Elenco specifico") or its code (Type 2's filter). Texts
// are Windows-1252.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace presenze {

// The widest code a line can carry.
inline constexpr std::size_t kCompanyCodeWidth = 6;

// "    45 BIANCHI SNC": the code right-aligned in 6 characters, a blank, the
// name. A longer code is written whole (the line then fails
// fitsCompanyListLine).
std::string companyListLine(std::int64_t code, std::string_view name);

struct CompanyListEntry {
    // The first 6 characters without the blanks around them, when they are
    // all digits (at least one).
    std::optional<std::int64_t> code;
    // What follows the 7th character, without the blanks around it.
    std::string name;
};

// A line as the reports read it; any text gives an entry (a line too short
// for a name gives an empty one).
CompanyListEntry parseCompanyListLine(std::string_view line);

// True when a line keeps the format: a code of at most 6 characters, then
// the blank (a longer code would be misread as part of the name).
bool fitsCompanyListLine(std::string_view line);

} // namespace presenze
