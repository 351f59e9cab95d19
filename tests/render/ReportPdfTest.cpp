// The page layout of system prints: the widest lines of both report types
// fit a page in either orientation at the largest font size the rule allows,
// frames are drawn as frames, and nothing is ever cut.

#include "render/ReportPdf.h"

#include "common/ReportFile.h"
#include "data/TextLines.h"
#include "output/LineConversion.h"
#include "output/PageLayout.h"
#include "support/TestSupport.h"

#include <QGuiApplication>
#include <QtTest>
#include <algorithm>
#include <fstream>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

// The widest line of an expected report.
std::string widestLine(const char* expected)
{
    const auto lines = readReportLines(test::fixturesDir() / "expected" / expected);
    return *std::max_element(lines.begin(), lines.end(),
                             [](const auto& a, const auto& b) { return a.size() < b.size(); });
}

// Everything but blanks, as pdftotext or Converti2 gives it (UTF-8).
std::string ink(std::string_view text)
{
    std::string out;
    for (const char c : text)
        if (c != ' ' && c != '\n' && c != '\r' && c != '\f')
            out += c;
    return out;
}

// The dark pixels of a grey picture (PGM) as pdftoppm draws a page.
std::size_t inkPixels(const fs::path& picture)
{
    std::ifstream in(picture, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, depth = 0;
    in >> magic >> width >> height >> depth;
    in.get();
    std::string pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), '\xFF');
    in.read(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<std::size_t>(std::count_if(
        pixels.begin(), pixels.end(), [](char p) { return static_cast<unsigned char>(p) < 128; }));
}

// The print settings of the demo's "PDF Ufficio" (8 points compressed, 11
// normal), and a configured size of 0.
PrintJob job(bool landscape, bool compressed, int pageLength, const char* compresso)
{
    PrintJob j;
    j.settings = decodePrintSettings(compresso, "");
    j.landscape = landscape;
    j.compressed = compressed;
    j.pageLength = pageLength;
    j.font = "Courier New";
    return j;
}

} // namespace

class ReportPdfTest : public QObject {
    Q_OBJECT
private slots:
    void theWidestLinesFitAtTheLargestSize_data();
    void theWidestLinesFitAtTheLargestSize();
    void longerLinesWrapAndNothingIsCut();
    void everyPageHasItsMonthsHeadingAndItsNumber();
};

void ReportPdfTest::theWidestLinesFitAtTheLargestSize_data()
{
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<bool>("compressed");
    QTest::addColumn<int>("pageLength");
    QTest::addColumn<QString>("compresso");
    const QString demo = QStringLiteral("008000000000000001011");
    QTest::newRow("portrait, normal") << false << false << 62 << demo;
    QTest::newRow("portrait, compressed") << false << true << 84 << demo;
    QTest::newRow("landscape, normal") << true << false << 62 << demo;
    QTest::newRow("landscape, compressed") << true << true << 84 << demo;
    QTest::newRow("size 0 counts as 10")
        << true << false << 40 << QStringLiteral("000000000000000001");
    QTest::newRow("a small size stays")
        << true << false << 40 << QStringLiteral("000000000000000001007");
}

void ReportPdfTest::theWidestLinesFitAtTheLargestSize()
{
    QFETCH(bool, landscape);
    QFETCH(bool, compressed);
    QFETCH(int, pageLength);
    QFETCH(QString, compresso);
    PrintJob j = job(landscape, compressed, pageLength, compresso.toLatin1().constData());
    const std::vector<std::string> widest = {widestLine("t1-detail-all-topacs-jan-mar2024"),
                                             widestLine("t2-edge-detail-all-feb2024")};
    const double configured = j.settings.bodyFontSize(compressed);

    const PdfPageSetup setup = pdfPageSetup(j);
    QVERIFY(setup.fits);
    QVERIFY(setup.bodySize <= configured);
    QVERIFY(setup.bodySize >= kSmallestFontSize);
    QVERIFY(kReportColumns * setup.columnWidth <= setup.width);
    QVERIFY(setup.headerHeight + (pageLength + kFootLines) * setup.lineHeight <=
            setup.height + 1e-6);
    // The largest such size: below the configured one a limit is reached.
    if (setup.bodySize < configured - 0.1) {
        const double more = (setup.bodySize + 0.1) / setup.bodySize;
        QVERIFY2(kReportColumns * setup.columnWidth * more > setup.width ||
                     setup.headerHeight + (pageLength + kFootLines) * (setup.bodySize + 0.1) >
                         setup.height,
                 qPrintable(QString::number(setup.bodySize)));
    } else {
        QCOMPARE(setup.bodySize, configured);
    }
    // The frames are drawn with a font that has them.
    QCOMPARE(setup.family, QStringLiteral("DejaVu Sans Mono"));

    // A page of the widest lines, every character on it.
    std::vector<std::string> page;
    for (int i = 0; i < pageLength; ++i)
        page.push_back(widest[static_cast<std::size_t>(i) % 2]);
    j.lines = page;
    test::TempDir dir;
    writeReportPdf(j, dir / "pagina.pdf");
    const auto text = test::runTool("pdftotext", {(dir / "pagina.pdf").string(), "-"});
    if (!text.started())
        QSKIP("pdftotext is not installed");
    std::string drawn;
    for (const auto& line : page)
        drawn += ink(Converti2(line));
    QVERIFY(ink(text.output) == drawn + "Pagina1di1");
    // One sheet, unless a line wider than the sheet took two printed lines.
    const auto sheets = std::count(text.output.begin(), text.output.end(), '\f');
    if (widest[1].size() <= static_cast<std::size_t>(setup.columns))
        QCOMPARE(sheets, std::ptrdiff_t(1));
    else
        QVERIFY(sheets <= 2);
}

void ReportPdfTest::longerLinesWrapAndNothingIsCut()
{
    PrintJob j = job(false, false, 60, "008000000000000001011");
    j.destination = "PDF Ufficio \xE8";
    const std::string name(150, 'N');
    j.lines = {name + "FINE", "\x0C", "dopo"};
    test::TempDir dir;
    writeReportPdf(j, dir / "lunga.pdf");
    const auto text = test::runTool("pdftotext", {(dir / "lunga.pdf").string(), "-"});
    if (!text.started())
        QSKIP("pdftotext is not installed");
    const auto lines = splitLines(text.output);
    // The long line goes on at the start of the next printed line.
    const auto first = std::find_if(lines.begin(), lines.end(),
                                    [](const auto& l) { return l.rfind("NNN", 0) == 0; });
    QVERIFY(first != lines.end());
    QVERIFY(first->size() >= kReportColumns && first->size() < name.size());
    QVERIFY(ink(text.output) == name + "FINE" + "Pagina1di2" + "dopo" + "Pagina2di2");
    QCOMPARE(std::count(text.output.begin(), text.output.end(), '\f'), std::ptrdiff_t(2));
    // The file's own page count and title, and a font a reader can draw.
    const auto info = test::runTool("pdfinfo", {(dir / "lunga.pdf").string()});
    QVERIFY(info.succeeded());
    QVERIFY(info.output.find("Pages:           2\n") != std::string::npos);
    QVERIFY(info.output.find("Title:           Presenze - PDF Ufficio \xC3\xA8\n") !=
            std::string::npos);
    QVERIFY2(info.errorOutput.empty(), info.errorOutput.c_str());
    const auto drawn =
        test::runTool("pdftoppm", {"-f", "2", "-l", "2", "-r", "72", "-gray",
                                   (dir / "lunga.pdf").string(), (dir / "pagina").string()});
    QVERIFY2(drawn.succeeded() && drawn.errorOutput.empty(), drawn.errorOutput.c_str());
    QVERIFY(inkPixels(dir / "pagina-2.pgm") > 20); // "dopo" and the page number
}

void ReportPdfTest::everyPageHasItsMonthsHeadingAndItsNumber()
{
    for (const char* report : {"t2-detail-all-feb2024", "t1-detail-all-topacs-jan-mar2024"}) {
        PrintJob j = job(false, false, 60, "008000000000000001011");
        j.lines = PrintLines::fromFile(test::fixturesDir() / "expected" / report);
        test::TempDir dir;
        writeReportPdf(j, dir / "lunga.pdf");
        const auto text =
            test::runTool("pdftotext", {"-layout", (dir / "lunga.pdf").string(), "-"});
        if (!text.started())
            QSKIP("pdftotext is not installed");
        std::vector<std::string> pages;
        for (std::size_t at = 0, end; (end = text.output.find('\f', at)) != std::string::npos;
             at = end + 1)
            pages.push_back(text.output.substr(at, end - at));
        QVERIFY2(pages.size() > 4, report);
        // Blanks aside: pdftotext spaces the columns its own way.
        const std::string of = "di" + std::to_string(pages.size());
        for (std::size_t p = 0; p < pages.size(); ++p) {
            const std::string page = ink(pages[p]);
            QVERIFY2(page.find("StampaPresenzeperDitta/Hotel(") != std::string::npos,
                     qPrintable(QString::fromStdString(pages[p])));
            QVERIFY(page.find("Hotel\u250201\u250202\u2502") != std::string::npos);
            QVERIFY(page.find("\u2502Gio\u2502") != std::string::npos);
            QVERIFY2(page.find("Pagina" + std::to_string(p + 1) + of) != std::string::npos,
                     qPrintable(QString::fromStdString(pages[p])));
        }
    }
}

QTEST_MAIN(ReportPdfTest)
#include "ReportPdfTest.moc"
