#include "ServerAndDrawing.h"

#include "ChartOutput.h"
#include "store/StoreIndicators.h"
#include "store/StoreSource.h"

namespace presenze {

std::unique_ptr<BookingSource> ServerAndDrawing::group(const SourceOptions& source) const
{
    if (!source.conninfo || !source.group)
        return nullptr;
    return std::make_unique<StoreSource>(storeAddress(*source.conninfo), *source.group);
}

Indicators ServerAndDrawing::chainIndicators(const SourceOptions& source, const DataFolder& station,
                                             const IndicatorRequest& request,
                                             const WarningSink& warn) const
{
    return computeChainIndicators(storeAddress(source.conninfo.value()), station, request, warn);
}

std::optional<std::string> ServerAndDrawing::occupancyChart(const ReportFigures& figures,
                                                            const std::filesystem::path& file) const
{
    return writeOccupancyChart(figures, file);
}

std::optional<std::string> ServerAndDrawing::indicatorChart(const Indicators& indicators,
                                                            const std::filesystem::path& file) const
{
    return writeIndicatorChart(indicators, file);
}

} // namespace presenze
