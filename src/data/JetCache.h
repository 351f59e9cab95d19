#pragma once
// Access files are read by libmdb in a separate process (the helper program
// presenze-jet), with a time limit: libmdb makes no safety promise on
// malformed files, so a crash or a hang there only makes that file
// unreadable. The helper writes an SQLite copy of every table:
//   - rows in the file's scan order (rowid = scan order),
//   - numbers (Byte, Integer, Long, Boolean) as INTEGER, Single/Double as REAL,
//   - currency as exact decimal TEXT with four decimals ("12.7500"),
//   - text and memo as UTF-8 TEXT, dates as TEXT "YYYY-MM-DD hh:mm:ss",
//   - a table _jet_columns(tbl, ord, name, type) with the Access column types.
// Copies are cached in a station-private folder keyed by the file's path,
// size and modification time, so a long report reads each file once.

#include <filesystem>

namespace presenze {

// The SQLite copy of an Access file. Raises DataError "File illeggibile" when
// the file cannot be read.
std::filesystem::path jetCopy(const std::filesystem::path& accessFile);

} // namespace presenze
