#include "FolderCommands.h"

#include "CommandSupport.h"
#include "ConsoleInteraction.h"
#include "common/KV7Routine.h"
#include "common/ReportFile.h"
#include "data/HotelFile.h"
#include "data/Records.h"
#include "data/Schema.h"
#include "data/Text1252.h"
#include "demo/DemoData.h"
#include "indicators/ComputeIndicators.h"
#include "istat/IstatCsv.h"
#include "istat/IstatText.h"
#include "istat/IstatWorkbook.h"
#include "istat/MovimentoClienti.h"
#include "output/CsvExport.h"
#include "output/IndicatorCsv.h"
#include "output/IndicatorTable.h"
#include "output/IndicatorWorkbook.h"
#include "output/WorkbookExport.h"
#include "request/PrintRequest.h"

#include <iostream>

namespace presenze {
namespace {

// The data files a request over these seasons reads: their Access copies
// are made together, ahead of the request.
void prepareSeasonFiles(const DataFolder& folder, const std::vector<std::string>& seasons)
{
    std::vector<std::string> names{std::string(schema::kRegistryFile),
                                   std::string(schema::kRoomTypesFile)};
    for (const std::string& season : seasons) {
        names.push_back(schema::headersFile(season));
        names.push_back(schema::roomsFile(season));
    }
    prepareHotelFiles(folder, names);
}

int runReport(ReportOptions o, const SourceOptions& source, const Clock& running,
              const CommandExtras& extras)
{
    const auto [tag, folder] = outputPlace(o);
    const auto workbook = userOutput(o.xlsx, folder);
    const auto chart = userOutput(o.chart, folder);
    // The hotels' data: the group on the server, or the folder's files.
    const auto store = extras.group(source);
    const FolderSource files(folder);
    const BookingSource& data = store ? *store : static_cast<const BookingSource&>(files);
    if (!store)
        prepareSeasonFiles(folder, {o.selection.season});
    if (auto problem = checkTickedHotels(o.selection, data.hotelRegistry()))
        return usageError(*problem, "report");
    FillCalendarTables();
    o.selection.companyList = CompanyListOf(data.companyListLines());
    const CommandClock clock(o.now, running);
    ConsoleInteraction ui;
    ReportContext context{folder, tag, clock, ui};
    context.source = store.get();
    ReportFigures figures;
    if (workbook || chart)
        context.figures = &figures;
    const auto path = runPrintRequest(o.kind, o.range, o.selection, context);
    std::cout << path.string() << "\n";
    writeNamed(workbook, [&figures](const std::filesystem::path& file) {
        if (const std::string note = writeWorkbook(figures, file); !note.empty())
            printError("Avviso: " + note);
    });
    return drawNamed(chart, [&](const auto& file) { return extras.occupancyChart(figures, file); })
               ? 0
               : 1;
}

int runKpi(IndicatorOptions o, const SourceOptions& source, const Clock& running,
           const CommandExtras& extras)
{
    const auto [tag, folder] = outputPlace(o);
    // The group on the server, every group of the server, or the folder.
    const auto store = extras.group(source);
    const bool chain = source.conninfo && !store;
    // Indicators read one season, or every season of the folder.
    if (!source.conninfo)
        prepareSeasonFiles(folder, o.request.season ? std::vector{*o.request.season}
                                                    : FolderSource(folder).seasons());
    if (!chain) {
        Selection ticked;
        ticked.tickedHotels = o.request.hotels;
        const auto registry = store ? store->hotelRegistry() : readHotelRegistry(folder);
        if (auto problem = checkTickedHotels(ticked, registry))
            return usageError(*problem, "kpi");
    }
    const auto csv = userOutput(o.csv, folder);
    const auto workbook = userOutput(o.xlsx, folder);
    const auto chart = userOutput(o.chart, folder);
    o.request.period.today = CommandClock(o.now, running).now().date;
    WarningsShown warnings;
    const WarningSink warn = [&warnings](std::string_view text) { warnings(text); };
    const Indicators indicators = chain ? extras.chainIndicators(source, folder, o.request, warn)
                                        : computeIndicators(folder, o.request, warn, store.get());
    warnings.finish();
    std::cout << cp1252ToUtf8(indicatorTable(indicators));
    writeNamed(csv, [&indicators](const auto& file) { writeIndicatorCsv(indicators, file); });
    writeNamed(workbook,
               [&indicators](const auto& file) { writeIndicatorWorkbook(indicators, file); });
    return drawNamed(chart,
                     [&](const auto& file) { return extras.indicatorChart(indicators, file); })
               ? 0
               : 1;
}

int runCsv(const OutputOptions& o)
{
    const OutputPlace place = outputPlace(o);
    const auto path = ConvertiXLS(place.folder, reportFileName(place.tag), place.tag);
    std::cout << path.string() << "\n";
    return 0;
}

int runIstat(const IstatOptions& o, const SourceOptions& source, const CommandExtras& extras)
{
    const auto [tag, folder] = outputPlace(o);
    const auto store = extras.group(source);
    if (!store)
        prepareSeasonFiles(folder, {o.season});
    Selection ticked;
    ticked.tickedHotels = o.hotels;
    if (auto problem =
            checkTickedHotels(ticked, store ? store->hotelRegistry() : readHotelRegistry(folder)))
        return usageError(*problem, "istat");
    const auto csv = userOutput(o.csv, folder);
    const auto xlsx = userOutput(o.xlsx, folder);
    const MonthMovement month =
        MovimentoClienti(folder, o.month, o.year, o.hotels, o.season, store.get());
    for (const std::string& line : movementText(month))
        std::cout << cp1252ToUtf8(line) << "\n";
    if (csv) {
        writeMovementCsv(month, *csv);
        std::cout << "\nCSV scritto: " << csv->string() << "\n";
    }
    if (xlsx) {
        writeMovementWorkbook(month, *xlsx);
        std::cout << (csv ? "" : "\n") << "Cartella di Excel scritta: " << xlsx->string() << "\n";
    }
    return 0;
}

int runDemo(const DemoRequest& demo, const Clock& clock)
{
    DemoOptions options = demo.options;
    options.reference = demo.date.value_or(clock.now().date);
    writeDemoData(demo.dir, options);
    std::cout << "Dati dimostrativi scritti in " << demo.dir << "\n";
    return 0;
}

} // namespace

bool isFolderCommand(const CommandRequest& request)
{
    if (request.source.conninfo)
        return false;
    switch (request.command) {
    case Command::Report:
        return !request.report.chart;
    case Command::Kpi:
        return !request.kpi.chart;
    case Command::Csv:
    case Command::Istat:
    case Command::Demo:
        return true;
    case Command::Print:
    case Command::Sync:
    case Command::Pickup:
        break;
    }
    return false;
}

int runFolderCommand(const CommandRequest& request, const Clock& clock, const CommandExtras& extras)
{
    // The Access copies of the commands that read data files.
    std::optional<RunCacheFolder> cache;
    openAccessCopies(request, cache);
    switch (request.command) {
    case Command::Report:
        return runReport(request.report, request.source, clock, extras);
    case Command::Kpi:
        return runKpi(request.kpi, request.source, clock, extras);
    case Command::Csv:
        return runCsv(request.output);
    case Command::Istat:
        return runIstat(request.istat, request.source, extras);
    case Command::Demo:
        return runDemo(request.demo, clock);
    case Command::Print:
    case Command::Sync:
    case Command::Pickup:
        break;
    }
    return 1;
}

} // namespace presenze
