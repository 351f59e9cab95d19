#include "ChartOutput.h"

#include "OffscreenQt.h"
#include "data/DataError.h"
#include "data/DataFolder.h"

#ifdef PRESENZE_CLI_QT
#include "gui/charts/OccupancyChart.h"
#endif

namespace presenze {

std::optional<std::string> writeOccupancyChart(const ReportFigures& figures,
                                               const std::filesystem::path& file)
{
    if (!OffscreenQt::available())
        return std::string("Grafici non disponibili: programma costruito senza Qt");
    if (figures.months().empty())
        return std::string("Nessun mese da disegnare");
    const OffscreenQt qt;
#ifdef PRESENZE_CLI_QT
    try {
        saveOccupancyChart(figures, figures.months().back(), file);
    } catch (const DataError& e) {
        return "Impossibile scrivere il grafico: " + std::string(e.what());
    }
#endif
    return std::nullopt;
}

} // namespace presenze
