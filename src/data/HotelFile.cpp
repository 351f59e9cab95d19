#include "data/HotelFile.h"

#include "data/DataError.h"
#include "data/JetCache.h"
#include "data/PrivateFolder.h"
#include "data/Schema.h"
#include "data/Text1252.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace presenze {

FileFormat detectFormat(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::array<char, 32> head{};
    in.read(head.data(), head.size());
    const auto got = in.gcount();
    if (got == 0)
        return FileFormat::Empty;
    if (got >= 16 && std::memcmp(head.data(), "SQLite format 3\0", 16) == 0)
        return FileFormat::Sqlite;
    if (got >= 19 && head[0] == 0 && head[1] == 1 && head[2] == 0 && head[3] == 0 &&
        (std::memcmp(head.data() + 4, "Standard Jet DB", 15) == 0 ||
         std::memcmp(head.data() + 4, "Standard ACE DB", 15) == 0))
        return FileFormat::Jet;
    return FileFormat::Unknown;
}

namespace {
namespace fs = std::filesystem;

std::uint32_t bigEndian(const unsigned char* p, int bytes)
{
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | p[i];
    return value;
}

// SQLite reads the missing pages of a file cut short as pages of zeros, so a
// truncated table reads back as rows without values instead of failing. The
// header says how long the file must be: a shorter one is refused here.
void checkSqliteLength(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::array<unsigned char, 100> header{};
    in.read(reinterpret_cast<char*>(header.data()), header.size());
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(file, ec);
    if (!in || ec)
        throw DataError("File illeggibile: il file \xE8 troncato", displayName(file));
    std::uint32_t pageSize = bigEndian(header.data() + 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0)
        throw DataError("File illeggibile: intestazione del database non valida",
                        displayName(file));
    // The page count of the header holds when it was written together with
    // the change counter (offsets 92 and 24).
    const std::uint32_t pages = bigEndian(header.data() + 28, 4);
    const bool countHolds =
        pages != 0 && bigEndian(header.data() + 92, 4) == bigEndian(header.data() + 24, 4);
    if (bytes % pageSize != 0 || (countHolds && bytes < std::uintmax_t(pages) * pageSize))
        throw DataError("File illeggibile: il file \xE8 troncato o danneggiato", displayName(file));
}

fs::path besideFile(const fs::path& file, std::string_view suffix)
{
    return fs::path(file.string() + std::string(suffix));
}

bool hasChangesInWal(const fs::path& file)
{
    std::error_code ec;
    const auto size = fs::file_size(besideFile(file, "-wal"), ec);
    return !ec && size > 0;
}

// What SQLite's locks on a file (byte-range locks from 1 GiB on) tell about
// the programs that use it; this program takes none.
class SqliteLocks {
public:
    explicit SqliteLocks(const fs::path& file) : m_fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~SqliteLocks()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SqliteLocks(const SqliteLocks&) = delete;
    SqliteLocks& operator=(const SqliteLocks&) = delete;

    // A change is under way (the reserved lock).
    bool changing() const { return held(kPendingByte + 1, 1); }
    // Pages are being written into the file (the pending or the exclusive
    // lock): what is there may not be committed yet.
    bool writing() const { return held(kPendingByte, 1) || held(kPendingByte + 2, 510); }

private:
    static constexpr off_t kPendingByte = 0x40000000;

    // True when another process holds a lock that a shared lock on the
    // range would wait for.
    bool held(off_t start, off_t length) const
    {
        struct flock lock {};
        lock.l_type = F_RDLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = start;
        lock.l_len = length;
        return m_fd >= 0 && ::fcntl(m_fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    }

    int m_fd;
};

// A rollback journal with a header holds the pages a change is replacing.
bool hasJournal(const fs::path& file)
{
    char first = 0;
    std::ifstream journal(besideFile(file, "-journal"), std::ios::binary);
    return journal && journal.get(first) && first != 0;
}

// Waits as long as SQLite would for a writer to finish.
void waitWhileWritten(const SqliteLocks& locks, const fs::path& file)
{
    constexpr auto kStep = std::chrono::milliseconds(20);
    constexpr int kSteps = 100;
    for (int step = 0; locks.writing(); ++step) {
        if (step == kSteps)
            throw DataError(kFileInUse, displayName(file));
        std::this_thread::sleep_for(kStep);
    }
}

void copyOrFail(const fs::path& from, const fs::path& to)
{
    std::error_code ec;
    fs::copy_file(from, to, ec);
    if (ec)
        throw DataError("File illeggibile: impossibile copiarlo in una cartella privata (" +
                            utf8ToCp1252(ec.message()) + ")",
                        displayName(from));
}

// The file and its WAL file copied into a private folder, the committed
// changes of the WAL written into the copy there, and the copy opened. The
// folder goes when this returns: the open copy is read until it is closed.
Database openWalSnapshot(const fs::path& file)
{
    const PrivateFolder folder;
    const fs::path copy = folder.path() / "copia.db";
    copyOrFail(file, copy);
    copyOrFail(besideFile(file, "-wal"), besideFile(copy, "-wal"));
    {
        const Database merge(copy, Database::Mode::ReadWrite, displayName(file));
        merge.exec("PRAGMA journal_mode=DELETE");
    }
    return Database(copy, Database::Mode::Immutable, displayName(file));
}

Database openSqliteFile(const fs::path& file)
{
    checkSqliteLength(file);
    if (hasChangesInWal(file))
        return openWalSnapshot(file);
    const SqliteLocks locks(file);
    // A journal that no change holds is what a change cut short left: the
    // file may hold half of it.
    if (hasJournal(file) && !locks.changing())
        throw DataError(kInterruptedTransaction, displayName(file));
    waitWhileWritten(locks, file);
    return Database(file, Database::Mode::Immutable);
}

} // namespace

Database openHotelFile(const DataFolder& folder, std::string_view name)
{
    return openHotelFile(folder.locate(name));
}

Database openHotelFile(const std::filesystem::path& file)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        throw DataError("File non trovato", displayName(file));
    switch (detectFormat(file)) {
    case FileFormat::Sqlite:
        return openSqliteFile(file);
    case FileFormat::Jet:
        return Database(jetCopy(file), Database::Mode::ReadOnly, displayName(file));
    case FileFormat::Empty:
        throw DataError("File illeggibile: il file \xE8 vuoto", displayName(file));
    case FileFormat::Unknown:
        break;
    }
    throw DataError("File illeggibile: non \xE8 un database riconosciuto", displayName(file));
}

void prepareHotelFiles(const DataFolder& folder, const std::vector<std::string>& names)
{
    std::vector<fs::path> accessFiles;
    for (const std::string& name : names)
        if (const auto file = folder.find(name); file && detectFormat(*file) == FileFormat::Jet)
            accessFiles.push_back(*file);
    prepareJetCopies(accessFiles);
}

} // namespace presenze
