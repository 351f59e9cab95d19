#include "istat/HotelBeds.h"

#include "data/AtomicFile.h"
#include "data/DataError.h"
#include "data/FileWatch.h"
#include "data/Schema.h"
#include "data/Text1252.h"

#include <charconv>
#include <fstream>

namespace presenze {
namespace {

constexpr std::size_t kLineLimit = 4096;
constexpr std::int64_t kLastHotel = 9998;
constexpr std::int64_t kMostBeds = 999999;

// Reads the next line into `line`; false at the end of the file. A line over
// the limit is refused before it is held whole.
bool nextLine(std::istream& in, std::string& line, std::size_t number, std::string_view file)
{
    line.clear();
    std::streambuf* buffer = in.rdbuf();
    int c = buffer->sbumpc();
    if (c == std::char_traits<char>::eof())
        return false;
    for (; c != std::char_traits<char>::eof(); c = buffer->sbumpc()) {
        if (c == '\n')
            break;
        if (c == '\r') {
            if (buffer->sgetc() == '\n')
                buffer->sbumpc();
            break;
        }
        if (line.size() == kLineLimit)
            throw DataError("Riga " + std::to_string(number) + " troppo lunga (oltre " +
                                std::to_string(kLineLimit) + " caratteri)",
                            file);
        line += static_cast<char>(c);
    }
    return true;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// A whole number of digits only, from 0 to `most`.
std::optional<std::int64_t> count(std::string_view text, std::int64_t most)
{
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.front() == '-' || ec != std::errc() ||
        end != text.data() + text.size() || value > most)
        return std::nullopt;
    return value;
}

// "hotel beds" with blanks around and between; nullopt when it does not read so.
std::optional<std::pair<std::int64_t, std::int64_t>> bedsLine(std::string_view line)
{
    std::size_t start = 0;
    while (start < line.size() && isBlank(line[start]))
        ++start;
    std::size_t gap = start;
    while (gap < line.size() && !isBlank(line[gap]))
        ++gap;
    std::size_t second = gap;
    while (second < line.size() && isBlank(line[second]))
        ++second;
    std::size_t end = second;
    while (end < line.size() && !isBlank(line[end]))
        ++end;
    for (std::size_t i = end; i < line.size(); ++i)
        if (!isBlank(line[i]))
            return std::nullopt;
    const auto hotel = count(line.substr(start, gap - start), kLastHotel);
    const auto beds = count(line.substr(second, end - second), kMostBeds);
    if (!hotel || *hotel < 1 || !beds)
        return std::nullopt;
    return std::pair(*hotel, *beds);
}

} // namespace

HotelBeds parseHotelBeds(std::istream& in, std::string_view shownName)
{
    HotelBeds beds;
    std::string line;
    for (std::size_t number = 1; nextLine(in, line, number, shownName); ++number) {
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        const auto entry = bedsLine(line);
        const std::string where = "Riga " + std::to_string(number);
        if (!entry)
            throw DataError(where + " non valida: \"" + line.substr(0, 60) +
                                "\" (attesi il numero dell'hotel, uno spazio e i letti)",
                            shownName);
        if (!beds.emplace(entry->first, entry->second).second)
            throw DataError(where + ": l'hotel " + std::to_string(entry->first) +
                                " \xE8 gi\xE0 indicato in una riga precedente",
                            shownName);
    }
    if (in.bad())
        throw DataError("Impossibile leggere il file", shownName);
    return beds;
}

std::optional<HotelBeds> readHotelBeds(const DataFolder& folder)
{
    const auto path = folder.find(schema::kBedsFile);
    if (!path)
        return std::nullopt;
    const std::string shown = displayName(*path);
    return readSteadily(*path, [&] {
        std::ifstream in(*path, std::ios::binary);
        if (!in)
            throw DataError("Impossibile leggere il file", shown);
        return parseHotelBeds(in, shown);
    });
}

void writeHotelBeds(const DataFolder& folder, const HotelBeds& beds)
{
    std::string content;
    for (const auto& [hotel, count] : beds) {
        if (hotel < 1 || hotel > kLastHotel || count < 0 || count > kMostBeds)
            throw DataError("Letti non validi per l'hotel " + std::to_string(hotel),
                            displayName(folder.target(schema::kBedsFile)));
        content += std::to_string(hotel) + " " + std::to_string(count) + "\r\n";
    }
    writeFileAtomically(folder.target(schema::kBedsFile), content);
}

} // namespace presenze
