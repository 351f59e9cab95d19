#include "data/HotelFile.h"

#include "data/DataError.h"
#include "data/JetCache.h"

#include <array>
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
