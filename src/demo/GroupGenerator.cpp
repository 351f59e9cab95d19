#include "demo/GroupGenerator.h"

#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/Schema.h"
#include "data/SystemErrors.h"
#include "data/Text1252.h"
#include "demo/CompanyFiles.h"
#include "demo/HotelFiles.h"
#include "demo/NewDataFile.h"
#include "demo/PrinterFiles.h"
#include "demo/Seasons.h"
#include "demo/SeededRandom.h"

#include <algorithm>

namespace presenze {
namespace {

namespace fs = std::filesystem;
using namespace demo;

// The smallest hotel of a group.
constexpr int kFewestRooms = 12;

long serialOf(int year, int month, int day)
{
    return Date{year, month, day}.toSerial();
}

// The first day of the month `offset` months away from (year, month).
Date monthStart(int year, int month, int offset)
{
    int index = year * 12 + (month - 1) + offset;
    return Date{index / 12, index % 12 + 1, 1};
}

[[noreturn]] void writeFailed(const fs::path& file, const std::error_code& ec)
{
    throw DataError("Impossibile scrivere il file: " + systemErrorText(ec), displayName(file));
}

} // namespace

GroupSummary writeGroup(const std::filesystem::path& dir, const GroupOptions& group)
{
    if (group.hotels < 1 || group.companies < 0 || group.roomLines < 0 ||
        group.archivedRoomLines < 0 || group.monthsBefore < 0 || group.monthsAfter < 0 ||
        !group.reference.isValid())
        throw DataError("Parametri non validi per i dati generati.");
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec)
        writeFailed(dir, ec);

    const auto hotels = makeHotels(group);
    const auto companies = makeCompanies(group);
    writeRegistry(dir, hotels);
    writeCompanies(dir, companies);

    SeasonPlan current;
    current.firstArrival =
        monthStart(group.reference.year, group.reference.month, -group.monthsBefore).toSerial();
    current.lastArrival =
        monthStart(group.reference.year, group.reference.month, group.monthsAfter + 1).toSerial() -
        1;
    current.lines = group.roomLines;
    current.referenceFirst = serialOf(group.reference.year, group.reference.month, 1);
    current.referenceLast =
        monthStart(group.reference.year, group.reference.month, 1).toSerial() - 1;

    SeasonPlan archived;
    archived.prefix = group.archivedSeason;
    archived.firstArrival = serialOf(group.archivedYear, 1, 1);
    archived.lastArrival = serialOf(group.archivedYear, 12, 31);
    archived.lines = group.archivedSeason.empty() ? 0 : group.archivedRoomLines;
    // Every stay of an archived season is past: no month of its own.
    archived.referenceFirst = archived.lastArrival + 1;
    archived.referenceLast = archived.lastArrival + 1;

    const SeededRandom currentDraws = SeededRandom::stream(group.seed, "season");
    const SeededRandom archivedDraws = SeededRandom::stream(group.seed, "archive");
    std::vector<int> rooms = roomsNeeded(current, hotels, companies, currentDraws);
    const std::vector<int> archivedRooms = roomsNeeded(archived, hotels, companies, archivedDraws);
    for (std::size_t i = 0; i < rooms.size(); ++i)
        rooms[i] = std::max({rooms[i], archivedRooms[i], kFewestRooms});

    GroupSummary summary;
    summary.hotels = group.hotels;
    summary.companies = group.companies;
    summary.hotelRooms = rooms;
    writeRoomTypes(dir, rooms);
    writeBeds(dir, rooms);
    ReferenceCounts counts;
    const auto r = writeSeason(dir, current, hotels, companies, currentDraws, rooms, &counts);
    summary.headers = r.headers;
    summary.roomLines = r.lines;
    if (!group.archivedSeason.empty()) {
        const auto a = writeSeason(dir, archived, hotels, companies, archivedDraws, rooms, nullptr);
        summary.archivedHeaders = a.headers;
        summary.archivedRoomLines = a.lines;
    }
    writePrinters(dir);
    writeCounters(dir, group.hotels);
    summary.listed = writeCompanyList(dir, companies, counts, group.companyListSize);
    writeTextFile(dir, schema::kCsvSettingsFile, ";\r\n,\r\n\x80\r\n");
    writeTextFile(dir, schema::kFontFile, "Courier New\r\n");
    return summary;
}

} // namespace presenze
