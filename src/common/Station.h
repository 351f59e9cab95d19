#pragma once
// The station tag: the value of PCLocal, appended to the names of the files a
// station writes into the shared data folder ("fd7", "Vallomir7.mdb"). The tag
// is used as text, so "07" names fd07 everywhere.

#include <string>
#include <string_view>

namespace presenze {

// PCLocal, or empty when unset.
std::string stationTagFromEnvironment();

// Raises DataError when the tag could name a file outside the data folder
// (a path separator, "..", a control character).
void checkStationTag(std::string_view tag);

} // namespace presenze
