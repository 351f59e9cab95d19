#pragma once
// What a report builder works with besides the selection: the data folder,
// the station tag, the clock of the title lines, the person to ask and, while
// a print request runs, the booking data it has already read; and, when
// asked for, where the figures of the report go.

#include "common/Clock.h"
#include "common/Interaction.h"
#include "data/DataFolder.h"

#include <string>

namespace presenze {

class BookingCache;
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
    // Set by whoever wants the workbook or the charts: the builders record
    // each month's figures there as they write it.
    ReportFigures* figures = nullptr;
};

} // namespace presenze
