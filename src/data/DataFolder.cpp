#include "data/DataFolder.h"

#include "data/DataError.h"
#include "data/ProtectedFiles.h"
#include "data/SystemErrors.h"
#include "data/Text1252.h"

#include <cerrno>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace presenze {
namespace fs = std::filesystem;

namespace {

// The Windows-1252 form of a name found on disk; nullopt when the name is not
// UTF-8 or holds a character Windows-1252 lacks (such a name can never be the
// one asked for, even though it would read back with "?" in its place).
std::optional<std::string> nameOnDisk(const fs::path& entry)
{
    const std::string utf8 = entry.filename().string();
    std::string text = utf8ToCp1252(utf8);
    if (cp1252ToUtf8(text) != utf8)
        return std::nullopt;
    return text;
}

} // namespace

DataFolder::DataFolder(fs::path dir) : m_dir(std::move(dir)) {}

fs::path DataFolder::pathOf(std::string_view name) const
{
    return m_dir / fs::path(cp1252ToUtf8(name));
}

std::optional<fs::path> DataFolder::find(std::string_view name) const
{
    std::error_code ec;
    const fs::path exact = pathOf(name);
    if (fs::is_regular_file(exact, ec))
        return exact;
    const std::string wanted = upperCp1252(name);
    for (fs::directory_iterator it(m_dir, ec), end; !ec && it != end; it.increment(ec)) {
        const auto candidate = nameOnDisk(it->path());
        if (candidate && upperCp1252(*candidate) == wanted && it->is_regular_file(ec))
            return it->path();
    }
    return std::nullopt;
}

fs::path DataFolder::locate(std::string_view name) const
{
    if (auto found = find(name))
        return *found;
    throw DataError("File non trovato nella cartella dei dati " + displayName(m_dir), name);
}

fs::path DataFolder::target(std::string_view name) const
{
    if (auto found = find(name))
        return *found;
    return pathOf(name);
}

std::vector<std::string> DataFolder::namesEndingWith(std::string_view suffix) const
{
    std::vector<std::string> names;
    const std::string tail = upperCp1252(suffix);
    std::error_code ec;
    for (fs::directory_iterator it(m_dir, ec), end; !ec && it != end; it.increment(ec)) {
        const auto name = nameOnDisk(it->path());
        if (!name)
            continue;
        const std::string folded = upperCp1252(*name);
        if (folded.size() >= tail.size() &&
            folded.compare(folded.size() - tail.size(), tail.size(), tail) == 0)
            names.push_back(*name);
    }
    return names;
}

fs::path DataFolder::subfolder(std::string_view name) const
{
    const fs::path folder = pathOf(name);
    struct stat data {};
    if (::stat(m_dir.c_str(), &data) != 0)
        throw DataError("Impossibile creare la cartella: " + systemErrorText(errno),
                        displayName(folder));
    if (::mkdir(folder.c_str(), 0700) == 0) {
        // The group first: a change of owner may clear the set-group-ID bit.
        [[maybe_unused]] const int grouped = ::chown(folder.c_str(), -1, data.st_gid);
        ::chmod(folder.c_str(), data.st_mode & 07777);
    } else if (errno != EEXIST) {
        throw DataError("Impossibile creare la cartella: " + systemErrorText(errno),
                        displayName(folder));
    }
    if (!liesInside(folder, m_dir))
        throw DataError("La cartella " + std::string(name) +
                            " porta fuori dalla cartella dei dati (\xE8 un collegamento): non "
                            "viene usata",
                        displayName(resolvedPath(folder)));
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        throw DataError("Impossibile usare la cartella " + std::string(name) +
                            ": al suo posto c'\xE8 un file",
                        displayName(folder));
    return folder;
}

std::string displayName(const fs::path& path)
{
    return utf8ToCp1252(path.string());
}

} // namespace presenze
