#pragma once
// The data folder: the hotel data files, the company list and every file a
// station writes (report file, working database, CSV) lie together in it.
// Names are bare names matched without regard to case, so "TIPICAMERE.MDB"
// finds TipiCamere.mdb. Like every core text they are Windows-1252; on disk
// they are spelt in UTF-8. A file whose name is not UTF-8, or holds a
// character that Windows-1252 lacks, answers to no name (it would otherwise
// read back with "?" in its place and answer to a name that is not its own).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

class DataFolder {
public:
    explicit DataFolder(std::filesystem::path dir = std::filesystem::current_path());

    const std::filesystem::path& dir() const { return m_dir; }

    // The existing file of that name (exact name first, then any case variant).
    std::optional<std::filesystem::path> find(std::string_view name) const;
    // As find(), but a missing file raises DataError "File non trovato".
    std::filesystem::path locate(std::string_view name) const;
    // Where to write a file of that name: the existing case variant, or a new
    // file with the name as given.
    std::filesystem::path target(std::string_view name) const;
    bool exists(std::string_view name) const { return find(name).has_value(); }

    // Names of the folder's files ending with suffix (without regard to case),
    // in the order the directory lists them, in Windows-1252.
    std::vector<std::string> namesEndingWith(std::string_view suffix) const;

private:
    std::filesystem::path pathOf(std::string_view name) const;

    std::filesystem::path m_dir;
};

// A name as shown in messages (Windows-1252, like every core text).
std::string displayName(const std::filesystem::path& path);

} // namespace presenze
