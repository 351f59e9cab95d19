#pragma once
// The data folder: the hotel data files, the company list and every file a
// station writes (report file, working database, CSV) lie together in it.
// Names are bare names matched without regard to case, so "TIPICAMERE.MDB"
// finds TipiCamere.mdb. Like every core text they are Windows-1252; on disk
// they are spelt in UTF-8. A file whose name is not UTF-8, or holds a
// character that Windows-1252 lacks, answers to no name (it would otherwise
// read back with "?" in its place and answer to a name that is not its own).

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

// Told while a read waits for a data file that another program is writing
// to be still (data/FileWatch.h): called with the text to show every tenth
// of a second or so, then once with an empty text when the wait is over.
// Returns false to cancel the wait.
using WaitNotice = std::function<bool(std::string_view text)>;

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

    // The folder `name` inside the data folder, made when missing with the
    // data folder's own permission bits and group (every user of a shared
    // folder may then write in it, whatever the umask of the one who made
    // it). Raises DataError naming it when it cannot be made, is no folder,
    // or leads out of the data folder (a symbolic link to another place).
    std::filesystem::path subfolder(std::string_view name) const;

    // Who is told of the reads that wait (nobody by default); copies of the
    // folder tell the same.
    void setWaitNotice(WaitNotice notice) { m_notice = std::move(notice); }
    const WaitNotice& waitNotice() const { return m_notice; }

private:
    std::filesystem::path pathOf(std::string_view name) const;

    std::filesystem::path m_dir;
    WaitNotice m_notice;
};

// A name as shown in messages (Windows-1252, like every core text).
std::string displayName(const std::filesystem::path& path);

} // namespace presenze
