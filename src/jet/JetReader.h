#pragma once
// Reading an Access (Jet 3, Jet 4, ACE) file with libmdb into an SQLite copy.
// This runs only inside the helper program presenze-jet: libmdb makes no
// safety promise on malformed files, so the main programs never load it.
// The layout of the copy is described in JetCache.h.

#include <filesystem>
#include <string>

namespace presenze {

// Converts every table of the Access file into a new SQLite file at output.
// Returns an empty string on success, otherwise an error text (UTF-8).
std::string convertJetToSqlite(const std::filesystem::path& accessFile,
                               const std::filesystem::path& output);

} // namespace presenze
