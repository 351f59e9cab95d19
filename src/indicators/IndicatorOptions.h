#pragma once
// What `presenze-cli kpi` asks for: the indicators' request, where the data
// lie, the clock of --forward and the files to write. The command line
// (src/cli) fills it.

#include "common/Clock.h"
#include "indicators/IndicatorRequest.h"

#include <optional>
#include <string>

namespace presenze {

struct IndicatorOptions {
    IndicatorRequest request;           // period.today is set from `now` when run
    std::optional<std::string> dataDir; // as given (UTF-8 path)
    std::optional<std::string> station; // Windows-1252
    std::optional<DateTime> now;
    std::optional<std::string> csv; // UTF-8 paths as given
    std::optional<std::string> xlsx;
    std::optional<std::string> chart; // .png or .svg
};

} // namespace presenze
