#include "data/ProtectedFiles.h"

#include "data/DataError.h"
#include "data/HotelFile.h"
#include "data/Schema.h"
#include "data/Text1252.h"

#include <sys/stat.h>

namespace presenze {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSqliteCompanions[] = {"-wal", "-shm", "-journal"};
constexpr std::string_view kAccessLocks[] = {".ldb", ".laccdb"};

bool endsWithText(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() &&
           equalText(text.substr(text.size() - suffix.size()), suffix);
}

std::string nameOf(const fs::path& file)
{
    return utf8ToCp1252(file.filename().string());
}

// The database a "-wal", "-shm" or "-journal" file goes with; empty for
// any other name.
fs::path companionBase(const fs::path& file)
{
    const std::string name = file.filename().string();
    for (const std::string_view suffix : kSqliteCompanions) {
        if (name.size() > suffix.size() && endsWithText(name, suffix))
            return file.parent_path() / name.substr(0, name.size() - suffix.size());
    }
    return {};
}

bool opensAsDatabase(const fs::path& file)
{
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(file, ec)))
        return false;
    const FileFormat format = detectFormat(file);
    return format == FileFormat::Sqlite || format == FileFormat::Jet;
}

[[noreturn]] void refuse(const fs::path& file, const std::string& reason)
{
    throw DataError("Il file indicato " + reason + ": scegliere un altro nome", displayName(file));
}

} // namespace

bool isDataFileName(std::string_view name)
{
    if (endsWithText(name, ".mdb") || endsWithText(name, ".accdb"))
        return !startsWithText(name, "Vallomir");
    for (const std::string_view settings : schema::kSettingsFiles)
        if (equalText(name, settings))
            return true;
    return false;
}

bool isCompanionFileName(std::string_view name)
{
    for (const std::string_view lock : kAccessLocks)
        if (endsWithText(name, lock))
            return true;
    for (const std::string_view suffix : kSqliteCompanions) {
        if (name.size() > suffix.size() && endsWithText(name, suffix)) {
            const std::string_view base = name.substr(0, name.size() - suffix.size());
            return endsWithText(base, ".mdb") || endsWithText(base, ".accdb");
        }
    }
    return false;
}

bool isStationFileName(std::string_view name)
{
    return startsWithText(name, "fd") ||
           (startsWithText(name, "Vallomir") && endsWithText(name, ".mdb")) ||
           (startsWithText(name, "e-mail") && endsWithText(name, ".txt"));
}

bool isProtectedDataFile(const fs::path& file)
{
    const std::string name = nameOf(file);
    if (isDataFileName(name) || isCompanionFileName(name))
        return true;
    if (opensAsDatabase(file))
        return true;
    const fs::path base = companionBase(file);
    return !base.empty() && opensAsDatabase(base);
}

fs::path resolvedPath(const fs::path& path)
{
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    if (ec)
        absolute = path;
    fs::path resolved = fs::weakly_canonical(absolute, ec);
    return ec ? absolute.lexically_normal() : resolved;
}

bool liesInside(const fs::path& path, const fs::path& folder)
{
    const fs::path inside = resolvedPath(path).lexically_relative(resolvedPath(folder));
    return !inside.empty() && (inside == "." || *inside.begin() != "..");
}

bool hasExtension(const fs::path& file, std::initializer_list<std::string_view> kinds)
{
    const std::string name = nameOf(file);
    for (const std::string_view kind : kinds)
        if (name.size() > kind.size() && endsWithText(name, kind))
            return true;
    return false;
}

void checkUserOutput(const fs::path& file, const DataFolder& folder)
{
    struct stat st {};
    if (::lstat(file.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            refuse(file, "\xE8 una cartella");
        if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
            refuse(file, "\xE8 un dispositivo");
        if (S_ISFIFO(st.st_mode))
            refuse(file, "\xE8 una pipe con nome (FIFO)");
        if (S_ISSOCK(st.st_mode))
            refuse(file, "\xE8 un socket");
    }
    const std::string name = nameOf(file);
    // The file itself is not resolved: a link is replaced where it lies.
    const bool inDataFolder =
        resolvedPath(file.parent_path().empty() ? fs::path(".") : file.parent_path()) ==
        resolvedPath(folder.dir());
    if (inDataFolder && isStationFileName(name))
        refuse(file, "\xE8 un file che il programma scrive per una postazione (stampa, "
                     "archivio, posta, database di lavoro)");
    if (isCompanionFileName(name) || (!isDataFileName(name) && !companionBase(file).empty() &&
                                      opensAsDatabase(companionBase(file))))
        refuse(file, "accompagna un file dei dati (-wal, -shm, -journal, .ldb, .laccdb), che "
                     "perderebbe le sue modifiche");
    if (isDataFileName(name) || opensAsDatabase(file))
        refuse(file, "\xE8 un file dei dati, che verrebbe sostituito");
}

} // namespace presenze
