#pragma once
// What a report builder works with besides the selection: the data folder,
// the station tag, the clock of the title lines and the person to ask.

#include "data/DataFolder.h"
#include "desk/Clock.h"
#include "desk/Interaction.h"

#include <string>

namespace presenze {

struct ReportContext {
    DataFolder folder;
    std::string stationTag; // Windows-1252, already checked
    const Clock& clock;
    Interaction& ui;
};

} // namespace presenze
