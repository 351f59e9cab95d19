#include "data/HotelFile.h"

#include "data/DataError.h"
#include "data/JetCache.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>

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
        checkSqliteLength(file);
        return Database(file, Database::Mode::ReadOnly);
    case FileFormat::Jet:
        return Database(jetCopy(file), Database::Mode::ReadOnly, displayName(file));
    case FileFormat::Empty:
        throw DataError("File illeggibile: il file \xE8 vuoto", displayName(file));
    case FileFormat::Unknown:
        break;
    }
    throw DataError("File illeggibile: non \xE8 un database riconosciuto", displayName(file));
}

} // namespace presenze
