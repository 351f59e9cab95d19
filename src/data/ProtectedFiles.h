#pragma once
// The files that nothing the program writes may replace, and the checks of a
// file the user names for an output (a workbook, a chart).
//
// Data files: the databases of the data folder (names ending in .mdb or
// .accdb, other than the stations' working databases) and its settings
// files (ElencoDitte.txt, FontStp.txt, SeparatoreXLS.txt), and, wherever it
// lies, any file that opens as an SQLite or Access database. Their
// companions count as data files: the "-wal", "-shm" and "-journal" files of
// SQLite and the lock files of Access (.ldb, .laccdb); replacing a
// write-ahead log loses committed bookings.
//
// Station files: what the stations write into the data folder, named after
// their tag (any tag): "fd" + tag (the report file and its .csv, .xlsx, .pdf),
// "Vallomir" + tag + ".mdb", "e-mail" + tag + ".txt".

#include "data/DataFolder.h"

#include <filesystem>
#include <initializer_list>
#include <string_view>

namespace presenze {

// By name alone (Windows-1252, without regard to case).
bool isDataFileName(std::string_view name);
bool isCompanionFileName(std::string_view name);
bool isStationFileName(std::string_view name);

// A data file or a companion of one, by name or, for an existing file, by
// its first bytes.
bool isProtectedDataFile(const std::filesystem::path& file);

// The path with links resolved as far as it exists (the rest as written).
std::filesystem::path resolvedPath(const std::filesystem::path& path);
// True when the resolved path is the folder or lies under it.
bool liesInside(const std::filesystem::path& path, const std::filesystem::path& folder);

// True when the name ends with one of the extensions (".xlsx"), without
// regard to case.
bool hasExtension(const std::filesystem::path& file, std::initializer_list<std::string_view> kinds);

// Raises DataError (Italian, naming the file) when a file the user named for
// an output may not be written: a data file or a companion of one, a station
// file of the data folder, or something that is not a file (a folder, a
// device, a named pipe, a socket). A symbolic link may be named: the new
// file replaces the link, never what it points to.
void checkUserOutput(const std::filesystem::path& file, const DataFolder& folder);

} // namespace presenze
