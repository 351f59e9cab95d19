// presenze-cli: the reports of Presenze without a window, on the same core.

#include "ChartOutput.h"
#include "ConsoleInteraction.h"
#include "common/KV7Routine.h"
#include "common/ReportFile.h"
#include "common/Station.h"
#include "data/DataError.h"
#include "data/Records.h"
#include "data/Text1252.h"
#include "demo/DemoData.h"
#include "output/ArchiveCopy.h"
#include "output/CsvExport.h"
#include "output/OutputCommandLine.h"
#include "output/PrintOutput.h"
#include "output/WorkbookExport.h"
#include "request/CommandLine.h"
#include "request/PrintRequest.h"

#include <charconv>
#include <iostream>
#include <string>
#include <vector>

using namespace presenze;

namespace {

constexpr const char* kUsage =
    "Uso: presenze-cli COMANDO [OPZIONI]\n"
    "\n"
    "Comandi:\n"
    "  report --type 1|2 --from MM/AAAA [--to MM/AAAA]\n"
    "         [--data-dir CARTELLA] [--station SIGLA]\n"
    "         [--kind confirmed|optional|all] [--hotels 1,3,5] [--detail]\n"
    "         [--company NOME] [--company-list] [--group-top-acs]\n"
    "         [--arrivals] [--season PREFISSO] [--now \"GG/MM/AAAA hh:mm\"]\n"
    "         [--xlsx FILE.xlsx] [--chart FILE.png|FILE.svg]\n"
    "      Scrive il file di stampa \"fd\" + sigla nella cartella dei dati;\n"
    "      con --xlsx anche la cartella di Excel dei suoi dati, con --chart il\n"
    "      grafico dell'occupazione dell'ultimo mese (percorsi relativi alla\n"
    "      cartella corrente).\n"
    "  csv [--data-dir CARTELLA] [--station SIGLA]\n"
    "      Converte il file di stampa in \"fd\" + sigla + \".csv\".\n"
    "  print --destination NOME [--printer DISPOSITIVO] [--compressed]\n"
    "        [--landscape] [--duplex] [--data-dir CARTELLA] [--station SIGLA]\n"
    "      Stampa il file di stampa sulla destinazione di \"Stampanti.mdb\".\n"
    "  demo CARTELLA [--seed N] [--date GG/MM/AAAA]\n"
    "      Crea una cartella di dati dimostrativi (12 hotel).\n"
    "\n"
    "Opzioni generali:\n"
    "  --help      mostra questo aiuto\n"
    "  --version   mostra la versione\n"
    "\n"
    "La sigla di postazione predefinita \xC3\xA8 il valore di PCLocal.\n";

int usageError(const std::string& message)
{
    std::cerr << "presenze-cli: " << message << "\n"
              << "Usare \"presenze-cli --help\" per l'elenco dei comandi.\n";
    return 2;
}

// The station tag and the data folder of a command.
struct OutputPlace {
    std::string tag;
    DataFolder folder;
};

template <typename Options> OutputPlace outputPlace(const Options& o)
{
    const std::string tag = o.station ? *o.station : stationTagFromEnvironment();
    checkStationTag(tag);
    DataFolder folder(o.dataDir ? std::filesystem::path(*o.dataDir)
                                : std::filesystem::current_path());
    if (!std::filesystem::is_directory(folder.dir()))
        throw DataError("Cartella dei dati non trovata: " + displayName(folder.dir()));
    return {tag, std::move(folder)};
}

int runReport(const std::vector<std::string>& args)
{
    ParseResult parsed = parseReportOptions(args);
    if (!parsed.options)
        return usageError(parsed.error);
    ReportOptions& o = *parsed.options;
    try {
        const auto [tag, folder] = outputPlace(o);
        if (auto problem = checkTickedHotels(o.selection, readHotelRegistry(folder)))
            return usageError(*problem);
        FillCalendarTables();
        o.selection.companyList = ReadCompanyList(folder);
        SystemClock systemClock;
        FixedClock fixedClock(o.now.value_or(DateTime{}));
        const Clock& clock = o.now ? static_cast<const Clock&>(fixedClock) : systemClock;
        ConsoleInteraction ui(o.arrivals);
        ReportContext context{folder, tag, clock, ui};
        ReportFigures figures;
        if (o.xlsx || o.chart)
            context.figures = &figures;
        const auto path = runPrintRequest(o.kind, o.range, o.selection, context);
        std::cout << path.string() << "\n";
        if (o.xlsx) {
            const std::filesystem::path workbook = std::filesystem::absolute(*o.xlsx);
            writeWorkbook(figures, workbook);
            std::cout << workbook.string() << "\n";
        }
        if (o.chart) {
            const std::filesystem::path chart = std::filesystem::absolute(*o.chart);
            if (const auto problem = writeOccupancyChart(figures, chart)) {
                printError(*problem);
                return 1;
            }
            std::cout << chart.string() << "\n";
        }
        return 0;
    } catch (const DataError& e) {
        printError(e.what());
        return 1;
    }
}

int runCsv(const std::vector<std::string>& args)
{
    const OutputParseResult parsed = parseCsvOptions(args);
    if (!parsed.options)
        return usageError(parsed.error);
    try {
        const OutputPlace place = outputPlace(*parsed.options);
        const auto path = ConvertiXLS(place.folder, reportFileName(place.tag), place.tag);
        std::cout << path.string() << "\n";
        return 0;
    } catch (const DataError& e) {
        printError(e.what());
        return 1;
    }
}

int runPrint(const std::vector<std::string>& args)
{
    const OutputParseResult parsed = parsePrintOptions(args);
    if (!parsed.options)
        return usageError(parsed.error);
    const OutputOptions& o = *parsed.options;
    try {
        const OutputPlace place = outputPlace(o);
        const std::string archive = archiveCopyName(place.tag, SystemClock().now());
        const auto defaultPdf = place.folder.dir() / cp1252ToUtf8(archiveSibling(archive, ".pdf"));
        const PrintOutcome outcome = printReport(
            place.folder, place.tag, SelectedHotel > 0 ? SelectedHotel : 1, o.choices, defaultPdf);
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
    } catch (const DataError& e) {
        printError(e.what());
        return 1;
    }
}

int runDemo(const std::vector<std::string>& args)
{
    if (args.empty())
        return usageError("Indicare la cartella da creare: presenze-cli demo CARTELLA");
    DemoOptions options;
    options.reference = SystemClock().now().date;
    std::string dir;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--seed" && i + 1 < args.size()) {
            const std::string& v = args[++i];
            const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), options.seed);
            if (ec != std::errc() || end != v.data() + v.size())
                return usageError("Seme non valido: " + v);
        } else if (a == "--date" && i + 1 < args.size()) {
            const auto date = Date::parseDisplay(args[++i]);
            if (!date)
                return usageError("Data non valida: " + args[i] + " (formato GG/MM/AAAA)");
            options.reference = *date;
        } else if (a.rfind("--", 0) == 0 || !dir.empty()) {
            return usageError("Argomento non riconosciuto: " + a);
        } else {
            dir = a;
        }
    }
    try {
        writeDemoData(dir, options);
        std::cout << "Dati dimostrativi scritti in " << dir << "\n";
        return 0;
    } catch (const DataError& e) {
        printError(e.what());
        return 1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return usageError("Manca il comando.");
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "--version") {
        std::cout << "presenze-cli " << PRESENZE_VERSION << "\n";
        return 0;
    }
    try {
        if (command == "report")
            return runReport(args);
        if (command == "demo")
            return runDemo(args);
        if (command == "csv")
            return runCsv(args);
        if (command == "print")
            return runPrint(args);
    } catch (const std::exception& e) {
        std::cerr << "presenze-cli: errore imprevisto: " << e.what() << "\n";
        return 1;
    }
    return usageError("Comando sconosciuto: " + command);
}
