#pragma once
// What a report builder works with besides the selection: the data folder,
// the station tag, the clock of the title lines, the person to ask and, while
// a print request runs, the booking data it has already read; and, when
// asked for, where the figures of the report go and where the hotels' data
// come from instead of the folder's files.

#include "common/Clock.h"
#include "common/Interaction.h"
#include "data/DataFolder.h"

#include <exception>
#include <optional>
#include <string>

namespace presenze {

class BookingCache;
class BookingSource;
class ReportFigures;

struct ReportContext {
    DataFolder folder;
    std::string stationTag; // Windows-1252, already checked
    const Clock& clock;
    Interaction& ui;
    BookingCache* bookings = nullptr; // set by the print request for its months
    // Type 1: the month's tally goes into the working database. A print
    // request asks it of its last month only: each month replaces the whole
    // file, so the file it leaves is the same.
    bool keepsTally = true;
    // Type 2 without a day count in the selection: the answer "presences"
    // (true) or "arrivals" kept for the following months of the request.
    std::optional<bool> presencesForRest = std::nullopt;
    // Set by whoever wants the workbook or the charts: the builders record
    // each month's figures there as they write it.
    ReportFigures* figures = nullptr;
    // Set to read the hotels' data (bookings, registry, room types, company
    // list) from another source, such as a chain's server; the report file,
    // the working database and the print settings stay in `folder`.
    const BookingSource* source = nullptr;
};

// Raised when the person stops a print request; the report file is then left
// as it was before the request.
class RequestCancelled final : public std::exception {
public:
    const char* what() const noexcept override { return "Stampa annullata."; }
};

} // namespace presenze
