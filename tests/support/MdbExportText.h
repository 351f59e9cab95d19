#pragma once
// The text that mdbtools' mdb-export prints for one table of an Access file
// (with -T '%Y-%m-%d %H:%M:%S' -b strip -q '"' -d ','), rebuilt from the
// SQLite copy the Access reader makes. Comparing the two checks every value
// of the copy against an independent reader.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace presenze::test {

// The tables of a copy, in the Access file's catalog order (UTF-8 names).
std::vector<std::string> copiedTables(const std::filesystem::path& copy);

// Header line and rows, LF-ended, as mdb-export writes them. table is UTF-8.
std::string mdbExportText(const std::filesystem::path& copy, std::string_view table);

} // namespace presenze::test
