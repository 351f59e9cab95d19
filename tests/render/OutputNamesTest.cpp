// Company names as booking channels type them, through every output of a
// real report: the report line, the CSV, the raw print, the preview and the
// PDF of the system printer (read back with pdftotext).

#include "common/ReportFile.h"
#include "data/DataFolder.h"
#include "data/Text1252.h"
#include "output/CsvExport.h"
#include "output/PrintOutput.h"
#include "output/RawPrint.h"
#include "output/ReportPreview.h"
#include "render/ReportPdf.h"
#include "support/HotelFolder.h"
#include "support/TestSupport.h"

#include <QtTest>
#include <algorithm>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

struct NameCase {
    const char* fixtureName; // a company of the fixture, renamed
    const char* typed;       // UTF-8, as the data holds it
    const char* line;        // Windows-1252, the report line and the print
    const char* csv;         // Windows-1252, the CSV line
};

const NameCase kNames[] = {
    {"CONTI TRAVEL SERVICE", "=HYPERLINK(\"x\",\"y\")", "=HYPERLINK(\"x\",\"y\")",
     "\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\""},
    {"ESPOSITO VIAGGI E TURISMO", "@SUM(1+1)", "@SUM(1+1)", "'@SUM(1+1)"},
    {"FERRARI & FIGLI SNC", "\"SOLE\" VIAGGI; CITT\u00C0", "\"SOLE\" VIAGGI; CITT\xE0",
     "\"\"\"SOLE\"\" VIAGGI; CITT\xE0\""},
    {"GALLO CONGRESSI", "D\u00B4ANGELO CAFF\u00C8 UNIVERSIT\u00C0",
     "D'ANGELO CAFF\xE8 UNIVERSIT\xE0", "D'ANGELO CAFF\xE8 UNIVERSIT\xE0"},
};

bool hasLine(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

} // namespace

class OutputNamesTest : public QObject {
    Q_OBJECT
private slots:
    void everyOutputShowsTheNameAsTheDataHoldsIt();
};

void OutputNamesTest::everyOutputShowsTheNameAsTheDataHoldsIt()
{
    test::TempDir dir;
    test::copyFixture("hotel", dir.path());
    for (const auto& c : kNames)
        test::runSql(dir / "Scheda_Prenotazione.mdb",
                     "UPDATE Scheda_Prenotazione SET Ditta = '" + std::string(c.typed) +
                         "' WHERE Ditta = '" + c.fixtureName + "';");
    test::HotelFolder(dir.path())
        .destination("Aghi", 2, "aghi.prn")
        .destination("PDF Ufficio", 3, "nomi.pdf")
        .printSettings(2, "000000000000000000027069", "")
        .printSettings(3, "008000000000000001010", "")
        .counters();
    const auto run = test::runProgram("presenze-cli", {"report", "--type", "2", "--from", "02/2024",
                                                       "--detail", "--kind", "all", "--data-dir",
                                                       dir.path().string(), "--station", "7"});
    QVERIFY2(run.status == 0, run.err.c_str());
    const DataFolder folder(dir.path());

    const auto report = readReportLines(dir / "fd7");
    ConvertiXLS(folder, "fd7", "7");
    const auto csv = readReportLines(dir / "fd7.csv");
    PrintChoices choices;
    choices.destination = "Aghi";
    const std::string raw = rawPrintBytes(preparePrint(folder, "7", 1, choices).job);
    ReportPreview preview(dir / "fd7");
    const std::string shown = preview.readChunk(1u << 30);
    choices.destination = "PDF Ufficio";
    printReport(folder, "7", 1, choices, {},
                [](const PrintJob& job, const fs::path& file) { writeReportPdf(job, file); });
    const auto pdf = test::runTool("pdftotext", {(dir / "nomi.pdf").string(), "-"});

    for (const auto& c : kNames) {
        const std::string line = c.line;
        QVERIFY2(hasLine(report, line), c.typed);
        QVERIFY2(hasLine(csv, c.csv), c.typed);
        QVERIFY2(raw.find("\r\n" + line + "\r\n") != std::string::npos, c.typed);
        QVERIFY2(shown.find("\r\n" + cp1252ToUtf8(line) + "\r\n") != std::string::npos, c.typed);
        if (pdf.started())
            QVERIFY2(pdf.output.find("\n" + cp1252ToUtf8(line) + "\n") != std::string::npos,
                     c.typed);
    }
    if (!pdf.started())
        QSKIP("pdftotext is not installed");
}

QTEST_MAIN(OutputNamesTest)
#include "OutputNamesTest.moc"
