// presenze-cli: the reports of Presenze without a window, on the same core.

#include "ChartOutput.h"
#include "ConsoleInteraction.h"
#include "PdfOutput.h"
#include "cli/CommandLine.h"
#include "common/KV7Routine.h"
#include "common/ReportFile.h"
#include "common/Station.h"
#include "data/BookingSource.h"
#include "data/CacheFolder.h"
#include "data/DataError.h"
#include "data/ProtectedFiles.h"
#include "data/Records.h"
#include "data/Text1252.h"
#include "demo/DemoData.h"
#include "indicators/ComputeIndicators.h"
#include "istat/IstatCsv.h"
#include "istat/IstatText.h"
#include "istat/IstatWorkbook.h"
#include "istat/MovimentoClienti.h"
#include "output/ArchiveCopy.h"
#include "output/CsvExport.h"
#include "output/IndicatorCsv.h"
#include "output/IndicatorTable.h"
#include "output/IndicatorWorkbook.h"
#include "output/PrintOutput.h"
#include "output/WorkbookExport.h"
#include "request/PrintRequest.h"
#include "request/ReportOptions.h"
#include "store/GroupName.h"
#include "store/PickupOutput.h"
#include "store/StoreIndicators.h"
#include "store/StoreSource.h"
#include "store/StoreSync.h"

#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace presenze;

namespace {

int usageError(const std::string& message, const std::string& command)
{
    std::cerr << "presenze-cli: " << message << "\n";
    if (command.empty())
        std::cerr << "Usare \"presenze-cli --help\" per l'elenco dei comandi.\n";
    else
        std::cerr << "Usare \"presenze-cli " << command
                  << " --help\" per l'elenco delle opzioni.\n";
    return 2;
}

// The station tag and the data folder of a command.
struct OutputPlace {
    std::string tag;
    DataFolder folder;
};

template <typename Options> std::filesystem::path dataDirOf(const Options& o)
{
    return o.dataDir ? std::filesystem::path(*o.dataDir) : std::filesystem::current_path();
}

// The data folder of the command, for its Access copies.
std::filesystem::path commandDataDir(const CommandRequest& request)
{
    switch (request.command) {
    case Command::Report:
        return dataDirOf(request.report);
    case Command::Kpi:
        return dataDirOf(request.kpi);
    case Command::Istat:
        return dataDirOf(request.istat);
    case Command::Sync:
        return dataDirOf(request.sync);
    default:
        return dataDirOf(request.output);
    }
}

// The data folder a command reads, which must be there.
template <typename Options> DataFolder dataFolder(const Options& o)
{
    DataFolder folder(dataDirOf(o));
    if (!std::filesystem::is_directory(folder.dir()))
        throw DataError("Cartella dei dati non trovata: " + displayName(folder.dir()));
    folder.setWaitNotice(consoleWaitNotice());
    return folder;
}

template <typename Options> OutputPlace outputPlace(const Options& o)
{
    const std::string tag = o.station ? *o.station : stationTagFromEnvironment();
    checkStationTag(tag);
    return {tag, dataFolder(o)};
}

// The clock of a command: stopped at its --now when given, else the
// program's own.
class CommandClock final : public Clock {
public:
    CommandClock(const std::optional<DateTime>& at, const Clock& running)
        : m_at(at), m_running(running)
    {}
    DateTime now() const override { return m_at ? *m_at : m_running.now(); }

private:
    std::optional<DateTime> m_at;
    const Clock& m_running;
};

// A file named on the command line, checked before anything is written.
std::optional<std::filesystem::path> userOutput(const std::optional<std::string>& name,
                                                const DataFolder& folder)
{
    if (!name)
        return std::nullopt;
    const std::filesystem::path file = std::filesystem::absolute(*name);
    checkUserOutput(file, folder);
    return file;
}

int runReport(ReportOptions o, const SourceOptions& source, const Clock& running)
{
    const auto [tag, folder] = outputPlace(o);
    const auto workbook = userOutput(o.xlsx, folder);
    const auto chart = userOutput(o.chart, folder);
    // The hotels' data: the group on the server, or the folder's files.
    std::optional<StoreSource> store;
    if (source.conninfo)
        store.emplace(storeAddress(*source.conninfo), *source.group);
    const FolderSource files(folder);
    const BookingSource& data = store ? static_cast<const BookingSource&>(*store) : files;
    if (auto problem = checkTickedHotels(o.selection, data.hotelRegistry()))
        return usageError(*problem, "report");
    FillCalendarTables();
    o.selection.companyList = CompanyListOf(data.companyListLines());
    const CommandClock clock(o.now, running);
    ConsoleInteraction ui;
    ReportContext context{folder, tag, clock, ui};
    context.source = store ? &*store : nullptr;
    ReportFigures figures;
    if (workbook || chart)
        context.figures = &figures;
    const auto path = runPrintRequest(o.kind, o.range, o.selection, context);
    std::cout << path.string() << "\n";
    if (workbook) {
        if (const std::string note = writeWorkbook(figures, *workbook); !note.empty())
            printError("Avviso: " + note);
        std::cout << workbook->string() << "\n";
    }
    if (chart) {
        if (const auto problem = writeOccupancyChart(figures, *chart)) {
            printError(*problem);
            return 1;
        }
        std::cout << chart->string() << "\n";
    }
    return 0;
}

// Warnings about room lines left out, the first few of them, on stderr.
class WarningsShown {
public:
    void operator()(std::string_view text)
    {
        if (++m_count <= kShown)
            printError("Avviso: " + std::string(text));
    }
    // How many more there were.
    void finish() const
    {
        if (m_count > kShown)
            printError("Avviso: ... e altre " + std::to_string(m_count - kShown) + " righe.");
    }

private:
    static constexpr std::size_t kShown = 10;
    std::size_t m_count = 0;
};

// The group on the server that `source` names, if any.
std::unique_ptr<StoreSource> storeGroup(const SourceOptions& source)
{
    if (!source.conninfo || !source.group)
        return nullptr;
    return std::make_unique<StoreSource>(storeAddress(*source.conninfo), *source.group);
}

int runKpi(IndicatorOptions o, const SourceOptions& source, const Clock& running)
{
    const auto [tag, folder] = outputPlace(o);
    // The group on the server, every group of the server, or the folder.
    const auto store = storeGroup(source);
    const bool chain = source.conninfo && !store;
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
    const Indicators indicators =
        chain ? computeChainIndicators(storeAddress(*source.conninfo), folder, o.request, warn)
              : computeIndicators(folder, o.request, warn, store.get());
    warnings.finish();
    std::cout << cp1252ToUtf8(indicatorTable(indicators));
    if (csv) {
        writeIndicatorCsv(indicators, *csv);
        std::cout << csv->string() << "\n";
    }
    if (workbook) {
        writeIndicatorWorkbook(indicators, *workbook);
        std::cout << workbook->string() << "\n";
    }
    if (chart) {
        if (const auto problem = writeIndicatorChart(indicators, *chart)) {
            printError(*problem);
            return 1;
        }
        std::cout << chart->string() << "\n";
    }
    return 0;
}

int runCsv(const OutputOptions& o)
{
    const OutputPlace place = outputPlace(o);
    const auto path = ConvertiXLS(place.folder, reportFileName(place.tag), place.tag);
    std::cout << path.string() << "\n";
    return 0;
}

int runPrint(const OutputOptions& o, const Clock& clock)
{
    const OutputPlace place = outputPlace(o);
    const std::string archive = archiveCopyName(place.tag, clock.now());
    const auto defaultPdf = place.folder.dir() / cp1252ToUtf8(archiveSibling(archive, ".pdf"));
    PdfOutput pdf;
    const PrintOutcome outcome =
        printReport(place.folder, place.tag, kFirstHotel, o.choices, defaultPdf, pdf.renderer());
    switch (outcome.status) {
    case PrintStatus::UnknownDestination:
        printError("Destinazione di stampa non trovata in Stampanti.mdb: \"" +
                   o.choices.destination + "\"");
        return 1;
    case PrintStatus::NoReport:
        printError("File di stampa non trovato: " + reportFileName(place.tag) +
                   " (crearlo con \"presenze-cli report\")");
        return 1;
    case PrintStatus::Ready:
        break;
    }
    std::cout << cp1252ToUtf8(outcome.description) << "\n";
    return 0;
}

int runIstat(const IstatOptions& o, const SourceOptions& source)
{
    const auto [tag, folder] = outputPlace(o);
    const auto store = storeGroup(source);
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

int runSync(const SyncOptions& o, const Clock& running)
{
    const DataFolder folder = dataFolder(o);
    const std::string group = o.group ? *o.group : folderGroupName(folder);
    if (auto problem = checkGroupName(group))
        return usageError(*problem + " (indicare il gruppo con --group NOME)", "sync");
    const StoreAddress address = storeAddress(o.conninfo);
    const Date day = CommandClock(o.now, running).now().date;
    WarningsShown shown;
    const SyncSummary summary = syncFolder(
        address, group, FolderSource(folder), [&shown](std::string_view text) { shown(text); },
        day);
    shown.finish();
    std::cout << cp1252ToUtf8("Gruppo \"" + group + "\" sincronizzato sul server " +
                              address.server + ": " + std::to_string(summary.seasons) +
                              " stagioni, " + std::to_string(summary.headers) + " prenotazioni, " +
                              std::to_string(summary.lines) + " righe di camere; istantanea del " +
                              day.toDisplay() + ": " + std::to_string(summary.snapshotRows) +
                              " righe.")
              << "\n";
    return 0;
}

int runPickup(const PickupOptions& o, const Clock& running)
{
    PickupRequest request;
    request.group = o.group;
    request.days = o.days;
    request.forward = o.forward;
    request.today = CommandClock(o.now, running).now().date;
    // Outputs are checked against the current folder's files.
    const DataFolder here;
    const auto csv = userOutput(o.csv, here);
    const auto xlsx = userOutput(o.xlsx, here);
    const Pickup pickup = readPickup(storeAddress(o.conninfo), request);
    if (!csv && !xlsx)
        std::cout << cp1252ToUtf8(pickupTable(pickup));
    if (csv) {
        writePickupCsv(pickup, *csv);
        std::cout << csv->string() << "\n";
    }
    if (xlsx) {
        writePickupWorkbook(pickup, *xlsx);
        std::cout << xlsx->string() << "\n";
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

int run(const CommandLine& line, const Clock& clock)
{
    if (!line.request) {
        if (line.status != 0)
            return usageError(line.text, line.command);
        std::cout << line.text;
        return 0;
    }
    const CommandRequest& request = *line.request;
    // The Access copies of the commands that read data files.
    std::optional<RunCacheFolder> cache;
    if (request.command == Command::Report || request.command == Command::Kpi ||
        request.command == Command::Print || request.command == Command::Istat ||
        request.command == Command::Sync) {
        cache.emplace(commandDataDir(request));
        if (!cache->warning().empty())
            printError("Avviso: " + cache->warning());
    }
    switch (request.command) {
    case Command::Report:
        return runReport(request.report, request.source, clock);
    case Command::Kpi:
        return runKpi(request.kpi, request.source, clock);
    case Command::Csv:
        return runCsv(request.output);
    case Command::Print:
        return runPrint(request.output, clock);
    case Command::Istat:
        return runIstat(request.istat, request.source);
    case Command::Demo:
        return runDemo(request.demo, clock);
    case Command::Sync:
        return runSync(request.sync, clock);
    case Command::Pickup:
        return runPickup(request.pickup, clock);
    }
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const SystemClock clock;
        return run(readCommandLine({argv + 1, argv + argc}), clock);
    } catch (const DataError& e) {
        printError(e.what());
        return 1;
    } catch (const std::exception& e) {
        // Never the library's English text.
        printError("presenze-cli: " + unexpectedErrorText(e));
        return 1;
    }
}
