#pragma once
// A generated hotel group: every data file of a data folder, in SQLite
// format, with realistic bookings. The demo folder and the benchmark groups
// are made by writeGroup. The same GroupOptions gives the same bytes.
//
// What a group holds:
//   - AnagraficaHotels: hotels 1..n without gaps, names of 15 to 30
//     characters; hotel 1 carries the installation's option letters.
//   - DitteAbituali: the regular companies, codes 1..m, some with apostrophes
//     and accented letters.
//   - the current season's booking headers and room lines, arriving from the
//     first day of `monthsBefore` months before the reference month to the
//     last day of `monthsAfter` months after it; an archived season under its
//     prefix. Kinds C, D and O; tags in comments and notes; nationalities
//     ("I", blank and foreign); stays that cross months; prices per tariff
//     period. Booking numbers run per hotel, so a number recurs in several
//     hotels; every room line shares number, hotel and kind with its header.
//   - TipiCamere: "C" rows sized so that no night is overbooked, and other
//     room types that do not count; LettiHotel.txt, the beds of those rooms.
//   - Stampanti / SetStampa for hotel 1 (a Windows-mode destination, a raw
//     destination writing to a file of the data folder, a PDF destination),
//     Contatori, ElencoDitte.txt (companies that have bookings in the
//     reference month), SeparatoreXLS.txt and FontStp.txt.

#include "data/Dates.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace presenze {

struct GroupOptions {
    int hotels = 12;
    int companies = 400;
    std::int64_t roomLines = 4000; // room lines of the current season, exactly
    Date reference;                // the reference ("current") month
    int monthsBefore = 6;
    int monthsAfter = 6;
    std::uint32_t seed = 1;

    // The archived season: files named with this prefix, arrivals in the
    // calendar year `archivedYear`. An empty prefix writes no archive.
    std::string archivedSeason = "2025";
    int archivedYear = 2025;
    std::int64_t archivedRoomLines = 1500;

    int companyListSize = 12; // lines of ElencoDitte.txt
};

// What writeGroup wrote.
struct GroupSummary {
    int hotels = 0;
    int companies = 0;
    std::int64_t headers = 0;
    std::int64_t roomLines = 0;
    std::int64_t archivedHeaders = 0;
    std::int64_t archivedRoomLines = 0;
    std::vector<int> hotelRooms;     // rooms of type "C", hotel k at index k - 1
    std::vector<std::string> listed; // names of ElencoDitte.txt, in file order
};

// Writes the group's files into dir (created when missing), each one first
// under a temporary name and then renamed over any file of the same name.
// Other files of the folder are left alone. Raises DataError.
GroupSummary writeGroup(const std::filesystem::path& dir, const GroupOptions& group);

// Raised whenever a change to the generator changes the data it writes, so
// that folders generated earlier (the benchmarks keep theirs) are not reused.
inline constexpr int kGroupGeneratorVersion = 2;

// Name of the file the raw print destination writes to (in the data folder).
inline constexpr const char* kRawPrintFile = "StampaAghi.prn";

} // namespace presenze
