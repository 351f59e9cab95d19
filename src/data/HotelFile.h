#pragma once
// Opening a hotel data file. A file may be an SQLite 3 database or a real
// Access (Jet 3, Jet 4, ACE) file; the first bytes tell which. Access files
// are read through an SQLite copy (see JetCache.h), so the same queries run
// over both. Hotel data files are only ever opened read-only.

#include "data/DataFolder.h"
#include "data/Sqlite.h"

#include <filesystem>
#include <string_view>

namespace presenze {

enum class FileFormat { Sqlite, Jet, Empty, Unknown };

FileFormat detectFormat(const std::filesystem::path& file);

// Opens the data file `name` of the folder, read-only. Raises DataError for a
// missing, empty, unknown or unreadable file.
Database openHotelFile(const DataFolder& folder, std::string_view name);
Database openHotelFile(const std::filesystem::path& file);

} // namespace presenze
