#pragma once
// The chain's server (libpq) and the drawing (Qt Gui, offscreen) as the
// folder commands of presenze-cli-full see them.

#include "CommandExtras.h"

namespace presenze {

class ServerAndDrawing final : public CommandExtras {
public:
    std::unique_ptr<BookingSource> group(const SourceOptions& source) const override;
    Indicators chainIndicators(const SourceOptions& source, const DataFolder& station,
                               const IndicatorRequest& request,
                               const WarningSink& warn) const override;
    std::optional<std::string> occupancyChart(const ReportFigures& figures,
                                              const std::filesystem::path& file) const override;
    std::optional<std::string> indicatorChart(const Indicators& indicators,
                                              const std::filesystem::path& file) const override;
};

} // namespace presenze
