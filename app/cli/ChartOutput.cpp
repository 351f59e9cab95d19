#include "ChartOutput.h"

#include "data/DataFolder.h"

#ifdef PRESENZE_CHARTS
#include "gui/charts/OccupancyChart.h"

#include <QGuiApplication>
#endif

namespace presenze {

std::optional<std::string> writeOccupancyChart(const ReportFigures& figures,
                                               const std::filesystem::path& file)
{
#ifdef PRESENZE_CHARTS
    if (figures.months().empty())
        return std::string("Nessun mese da disegnare");
    static char name[] = "presenze-cli";
    static char platformOption[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, platformOption, platform, nullptr};
    int argc = 3;
    // Qt's own notes (no runtime folder, and the like) are not the user's
    // business; a failure is told below.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const QGuiApplication app(argc, argv);
    if (!saveOccupancyChart(figures, figures.months().back(), file))
        return "Impossibile scrivere il grafico: " + displayName(file);
    return std::nullopt;
#else
    (void)figures;
    (void)file;
    return std::string("Grafici non disponibili: programma costruito senza Qt");
#endif
}

} // namespace presenze
