#pragma once
// A data file of the group being written: a fresh SQLite file beside its
// place, renamed over it when finished, removed when abandoned.

#include "data/AtomicFile.h"
#include "data/Sqlite.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace presenze::demo {

class NewDataFile {
public:
    NewDataFile(const std::filesystem::path& dir, std::string_view name);

    const Database& db() const { return *m_db; }

    void finish();

private:
    AtomicFile m_file; // first, so that the database is closed before it goes
    std::optional<Database> m_db;
};

// A small text file of the data folder, replaced whole.
void writeTextFile(const std::filesystem::path& dir, std::string_view name, std::string_view bytes);

} // namespace presenze::demo
