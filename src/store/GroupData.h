#pragma once
// Everything a group's folder holds for the reports, read as the reports
// read it: the booking headers and room lines of the current season and of
// every archived season, the hotel registry, the room types, the regular
// companies and the lines of ElencoDitte.txt. This is what a sync writes.

#include "data/BookingSource.h"
#include "data/Records.h"

#include <string>
#include <vector>

namespace presenze {

struct SeasonData {
    std::string prefix; // empty for the current season
    std::vector<BookingHeader> headers;
    std::vector<RoomLine> lines; // every line with real dates
};

struct GroupData {
    std::vector<SeasonData> seasons; // in the order the folder lists them
    std::vector<HotelRecord> registry;
    std::vector<RoomTypeRecord> roomTypes;
    std::vector<CompanyRecord> companies;
    std::vector<std::string> companyListLines;

    const SeasonData* currentSeason() const;
};

// Reads the whole of a source; a file that cannot be read, or is missing
// (but for ElencoDitte.txt, which may be), raises DataError; a room line
// left out for a bad date goes to `warn`.
GroupData readGroupData(const BookingSource& source, const WarningSink& warn);

} // namespace presenze
