#pragma once
// What the folder commands ask of the chain's server and of the drawing when
// their options name them (--source, --chart). presenze-cli links neither:
// it hands such a command to presenze-cli-full, whose ServerAndDrawing
// answers (see FolderCommands.h).

#include "data/BookingSource.h"
#include "data/DataFolder.h"
#include "data/Records.h"
#include "indicators/IndicatorRequest.h"
#include "indicators/Indicators.h"
#include "request/ReportOptions.h"
#include "store/StoreOptions.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace presenze {

class ReportFigures;

class CommandExtras {
public:
    virtual ~CommandExtras() = default;

    // The group on the server that `source` names; null without a group.
    virtual std::unique_ptr<BookingSource> group(const SourceOptions& source) const = 0;
    // The indicators of every group of the server `source` names.
    virtual Indicators chainIndicators(const SourceOptions& source, const DataFolder& station,
                                       const IndicatorRequest& request,
                                       const WarningSink& warn) const = 0;
    // The charts: nullopt when written, else why not (Windows-1252).
    virtual std::optional<std::string> occupancyChart(const ReportFigures& figures,
                                                      const std::filesystem::path& file) const = 0;
    virtual std::optional<std::string> indicatorChart(const Indicators& indicators,
                                                      const std::filesystem::path& file) const = 0;
};

} // namespace presenze
