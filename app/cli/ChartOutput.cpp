#include "ChartOutput.h"

#include "OffscreenQt.h"
#include "data/DataError.h"
#include "render/OccupancyChart.h"

namespace presenze {

std::optional<std::string> writeOccupancyChart(const ReportFigures& figures,
                                               const std::filesystem::path& file)
{
    if (figures.months().empty())
        return std::string("Nessun mese da disegnare");
    const OffscreenQt qt;
    try {
        saveOccupancyChart(figures, figures.months().back(), file);
    } catch (const DataError& e) {
        return "Impossibile scrivere il grafico: " + std::string(e.what());
    }
    return std::nullopt;
}

} // namespace presenze
