#pragma once
// Text forms of the Access values that SQLite has no exact type for. The
// Access reader stores them this way in its SQLite copy (see JetCache.h).

#include <cstdint>
#include <optional>
#include <string>

namespace presenze {

// An Access date: days since 30/12/1899, the fraction being the time of day
// (for days before 1899 the fraction still counts forward from midnight), as
// "YYYY-MM-DD hh:mm:ss", seconds rounded. nullopt for a value outside the
// years 100 to 9999 that Access allows, or not a number.
std::optional<std::string> jetDateText(double days);

// A replication id (16 bytes, GUID layout) as "{XXXXXXXX-XXXX-XXXX-XXXXXXXXXXXXXXXX}".
std::string jetGuidText(const unsigned char* bytes);

} // namespace presenze
