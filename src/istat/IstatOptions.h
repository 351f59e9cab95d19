#pragma once
// What `presenze-cli istat` asks for: one calendar month, the hotels, the
// season and where the CSV and the workbook go. The command line (src/cli)
// fills it.

#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace presenze {

struct IstatOptions {
    int month = 1;
    int year = 1996;
    std::optional<std::set<std::int64_t>> hotels; // nullopt: every hotel
    std::string season;                           // Windows-1252; empty: the current one
    std::optional<std::string> dataDir;           // as given (UTF-8 path)
    std::optional<std::string> station;           // Windows-1252
    std::optional<std::string> csv;               // the files to write (UTF-8 paths as given)
    std::optional<std::string> xlsx;
};

} // namespace presenze
