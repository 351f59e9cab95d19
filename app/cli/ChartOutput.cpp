#include "ChartOutput.h"

#include "OffscreenQt.h"
#include "data/DataError.h"
#include "render/IndicatorChart.h"
#include "render/OccupancyChart.h"

#include <functional>

namespace presenze {
namespace {

std::optional<std::string> drawn(const std::function<void()>& draw)
{
    const OffscreenQt qt;
    try {
        draw();
    } catch (const DataError& e) {
        return "Impossibile scrivere il grafico: " + std::string(e.what());
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> writeOccupancyChart(const ReportFigures& figures,
                                               const std::filesystem::path& file)
{
    if (figures.months().empty())
        return std::string("Nessun mese da disegnare");
    return drawn([&] { saveOccupancyChart(figures, figures.months().back(), file); });
}

std::optional<std::string> writeIndicatorChart(const Indicators& indicators,
                                               const std::filesystem::path& file)
{
    return drawn([&] { saveIndicatorChart(indicators, file); });
}

} // namespace presenze
