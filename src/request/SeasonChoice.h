#pragma once
// The archived seasons. Bookings of past seasons live in copies of the two
// booking files whose names carry a prefix ("2024Scheda_Prenotazione.mdb");
// the "Stagione" menu lists the prefixes found in the data folder and lets
// the user pick one. The empty prefix is the current season. Texts are
// Windows-1252.

#include "data/DataFolder.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

// The prefixes of the folder's "*SCHEDA_PRENOTAZIONE.MDB" files (matched
// without regard to case), in the order the directory lists them; the
// current season's own file gives the empty prefix.
std::vector<std::string> archivedSeasons(const DataFolder& folder);

// The first question: the listing of the seasons and how to answer.
std::string seasonPrompt(const std::vector<std::string>& seasons);
// The question asked again after a season that has no booking files: it
// says so, and lists the seasons again.
std::string missingSeasonPrompt(std::string_view season, const std::vector<std::string>& seasons);

// True when the season's booking header file is in the folder. A prefix that
// could name a file outside the folder (a path separator, a control
// character) never exists.
bool seasonExists(const DataFolder& folder, std::string_view season);

// Asks with a prompt and a proposed answer; nullopt when cancelled.
using SeasonQuestion =
    std::function<std::optional<std::string>(std::string_view prompt, std::string_view proposed)>;

// The season choice: asks with the listing, then again with the missing
// season's question (proposing the rejected answer) until an existing season
// is given. Answers
// are trimmed of blanks; Cancel means the current season. When even the
// current season's file is missing, Cancel keeps `current` and stops asking.
std::string chooseSeason(const DataFolder& folder, std::string_view current,
                         const SeasonQuestion& ask);
// The same choice among the seasons another source of the hotels' data holds
// (BookingSource::seasons): a season is there when the list has it, written
// in any case; the answer is the list's own spelling.
std::string chooseSeason(const std::vector<std::string>& seasons, std::string_view current,
                         const SeasonQuestion& ask);

} // namespace presenze
