#include "Cases.h"

#include "BenchData.h"
#include "common/Clock.h"
#include "common/Interaction.h"
#include "common/ReportContext.h"
#include "common/ReportFigures.h"
#include "common/ReportFile.h"
#include "common/Selection.h"
#include "data/ContentHash.h"
#include "data/DataFolder.h"
#include "data/JetCache.h"
#include "indicators/ComputeIndicators.h"
#include "output/CsvExport.h"
#include "output/IndicatorCsv.h"
#include "output/IndicatorTable.h"
#include "output/PrintOutput.h"
#include "output/WorkbookExport.h"
#include "render/ReportPdf.h"
#include "request/PrintRequest.h"

#include <QGuiApplication>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace presenze::bench {
namespace {

// Counts presences, not arrivals; warnings are not shown.
class SilentInteraction final : public Interaction {
public:
    int ask(std::string_view, std::string_view, bool) override { return AnswerYes; }
    void warn(std::string_view, std::string_view) override {}
};

// A 12-month report of every booking kind, written into the group's folder
// as "fd" + tag.
// With `figures`, the request keeps its figures there too.
void printYear(const std::filesystem::path& data, ReportKind kind, bool summary,
               const std::string& tag, ReportFigures* figures = nullptr)
{
    Selection selection;
    selection.kind = BookingKind::All;
    selection.summary = summary;
    const FixedClock clock(DateTime{Date{2026, 12, 8}, 14, 0});
    SilentInteraction ui;
    ReportContext context{DataFolder(data), tag, clock, ui};
    context.figures = figures;
    runPrintRequest(kind, benchYear(), selection, context);
}

Work report(ReportKind kind, bool summary, std::string tag)
{
    return [=](const std::filesystem::path& data) { printYear(data, kind, summary, tag); };
}

// The CSV export of the L Type 2 report (detail, presences).
void exportCsv(const std::filesystem::path& data, const std::string& tag)
{
    ConvertiXLS(DataFolder(data), reportFileName(tag), tag);
}

// The report printed on one of the group's destinations: "Aghi Reception"
// (raw, to a file of the folder) or "PDF Ufficio" (the system printer's
// pages as a PDF, drawn by Qt offscreen).
void printOn(const std::filesystem::path& data, const std::string& tag,
             const std::string& destination)
{
    PrintChoices choices;
    choices.destination = destination;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "presenze-bench";
    char* argv[] = {name, nullptr};
    QGuiApplication qt(argc, argv);
    printReport(
        DataFolder(data), tag, 1, choices, data / "doc" / (tag + ".pdf"),
        [](const PrintJob& job, const std::filesystem::path& file) { writeReportPdf(job, file); });
}

// The L Type 2 report (detail, presences) with its figures, then the
// workbook of them: what the print menu's "Excel" and `--xlsx` cost.
void writeYearWorkbook(const std::filesystem::path& data, const std::string& tag)
{
    ReportFigures figures;
    printYear(data, ReportKind::Type2, false, tag, &figures);
    writeWorkbook(figures, data / workbookFileName(tag));
}

// `presenze-cli kpi --compare --csv` over the year, both kinds: the
// indicators of every hotel and month against last year, the table and the
// CSV.
void yearIndicators(const std::filesystem::path& data)
{
    IndicatorRequest request;
    request.period.months = benchYear();
    request.kind = BookingKind::All;
    request.compare = true;
    const Indicators kpi = computeIndicators(DataFolder(data), request, [](std::string_view) {});
    // The program writes the table on the terminal; here it is only made.
    if (indicatorTable(kpi).empty())
        throw std::runtime_error("tabella degli indicatori vuota");
    writeIndicatorCsv(kpi, data / "b7-kpi.csv");
}

double workbookMegabytes(const std::filesystem::path& data, const std::string& tag)
{
    return static_cast<double>(std::filesystem::file_size(data / workbookFileName(tag))) / 1e6;
}

// The data files a report of the year reads.
const std::vector<std::string> kYearFiles = {"AnagraficaHotels.mdb", "Scheda_Prenotazione.mdb",
                                             "Camere_Prenotazione.mdb", "TipiCamere.mdb"};

// What framing every read with the hash of the file costs: each file a
// report reads hashed twice, before and after (a report reads each once).
void hashYearFiles(const std::filesystem::path& data)
{
    for (const auto& name : kYearFiles)
        for (int pass = 0; pass < 2; ++pass)
            if (!contentHash(data / name))
                throw std::runtime_error("file non leggibile: " + name);
}

double yearFilesMegabytes(const std::filesystem::path& data)
{
    double bytes = 0;
    for (const auto& name : kYearFiles)
        bytes += 2 * static_cast<double>(std::filesystem::file_size(data / name));
    return bytes / 1e6;
}

// The report's size in MB, for the export's throughput.
double reportMegabytes(const std::filesystem::path& data, const std::string& tag)
{
    return static_cast<double>(std::filesystem::file_size(data / reportFileName(tag))) / 1e6;
}

} // namespace

std::vector<BenchCase> reportCases(const std::string& size)
{
    const std::vector<std::string> type1Baselines = {"floor", "sql", "literal"};
    const std::vector<std::string> type2Baselines = {"floor"};
    std::vector<BenchCase> cases;
    if (size != "XL") {
        // Also the yardstick of the indicators, which read as much.
        cases.push_back({"T1 summary, 12 months",
                         size,
                         "T1 summary",
                         type1Baselines,
                         {},
                         report(ReportKind::Type1, true, "b1")});
    }
    cases.push_back({"T1 detail, 12 months",
                     size,
                     "",
                     type1Baselines,
                     {},
                     report(ReportKind::Type1, false, "b2")});
    cases.push_back({"T2 detail (presences), 12 months",
                     size,
                     "",
                     type2Baselines,
                     {},
                     report(ReportKind::Type2, false, "b3")});
    if (size != "XL") {
        cases.push_back({"T2 totals, 12 months",
                         size,
                         "",
                         type2Baselines,
                         {},
                         report(ReportKind::Type2, true, "b4")});
    }
    // The outputs of the longest report of the size, whose peak memory must
    // not grow with it: the report is written untimed first.
    const auto megabytes = [](const std::filesystem::path& data) {
        return reportMegabytes(data, "b5");
    };
    cases.push_back({"CSV export of T2 detail",
                     size,
                     "",
                     {},
                     report(ReportKind::Type2, false, "b5"),
                     [](const std::filesystem::path& data) { exportCsv(data, "b5"); },
                     megabytes,
                     "MB"});
    cases.push_back(
        {"raw print of T2 detail",
         size,
         "",
         {},
         report(ReportKind::Type2, false, "b5"),
         [](const std::filesystem::path& data) { printOn(data, "b5", "Aghi Reception"); },
         megabytes,
         "MB"});
    cases.push_back({"PDF of T2 detail",
                     size,
                     "",
                     {},
                     report(ReportKind::Type2, false, "b5"),
                     [](const std::filesystem::path& data) { printOn(data, "b5", "PDF Ufficio"); },
                     megabytes,
                     "MB",
                     size == "XL" ? 1 : 0});
    if (size == "L")
        cases.push_back({"kpi --compare, 12 months", size, "", {"T1 summary"}, {}, yearIndicators});
    if (size == "L")
        cases.push_back({"hashes framing the reads of a report",
                         size,
                         "",
                         {},
                         {},
                         hashYearFiles,
                         yearFilesMegabytes,
                         "MB"});
    if (size == "L")
        cases.push_back(
            {"T2 detail with its Excel workbook, 12 months",
             size,
             "",
             type2Baselines,
             {},
             [](const std::filesystem::path& data) { writeYearWorkbook(data, "b6"); },
             [](const std::filesystem::path& data) { return workbookMegabytes(data, "b6"); },
             "MB"});
    return cases;
}

BenchCase accessImportCase(const std::string& size, const std::filesystem::path& accessFile)
{
    BenchCase c{"Access import (SQLite copy)", size, "", {"mdb-export"}, {}, {}};
    c.run = [accessFile](const std::filesystem::path&) {
        const FreshJetCache cache;
        jetCopy(accessFile);
    };
    c.count = [accessFile](const std::filesystem::path&) {
        return static_cast<double>(accessRows(accessFile));
    };
    c.unit = "rows";
    return c;
}

} // namespace presenze::bench
