// The Excel workbook read back from its XML: the heading of "Dati", the cell
// types (counts and days as numbers, names as text, no formula anywhere) and
// each company's month sums against the report's own tables.

#include "output/WorkbookExport.h"

#include "common/KV7Routine.h"
#include "common/ReportFile.h"
#include "data/Dates.h"
#include "data/Text1252.h"
#include "data/TextLines.h"
#include "request/PrintRequest.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <deque>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <regex>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

std::string unzip(const fs::path& xlsx, const std::string& entry)
{
    return test::runTool("unzip", {"-p", xlsx.string(), entry}).output;
}

std::string unescapeXml(std::string text)
{
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [from, to] : entities)
        for (std::size_t at; (at = text.find(from)) != std::string::npos;)
            text.replace(at, std::strlen(from), to);
    return text;
}

// A sheet's XML and the workbook's shared strings its text cells point to.
struct SheetXml {
    std::string xml;
    std::shared_ptr<const std::vector<std::string>> strings;
};

// A cell as the sheet's XML holds it: a text (inline or shared) or a number.
struct Cell {
    bool isText = false;
    std::string text; // UTF-8
    double number = 0;
};
using Row = std::map<std::string, Cell>; // by column letters

// A text cell's text; an empty text leaves no cell at all.
std::string textOf(const Row& row, const std::string& column)
{
    const auto it = row.find(column);
    if (it == row.end())
        return {};
    EXPECT_TRUE(it->second.isText) << column;
    return it->second.text;
}

// The text between `open` (from `at`) and `close`; npos-safe.
std::string between(const std::string& xml, std::size_t at, const std::string& open,
                    const std::string& close)
{
    const std::size_t from = xml.find(open, at);
    if (from == std::string::npos)
        return {};
    const std::size_t begin = from + open.size();
    return xml.substr(begin, xml.find(close, begin) - begin);
}

std::vector<Row> sheetRows(const SheetXml& sheet)
{
    const std::string& xml = sheet.xml;
    std::vector<Row> rows;
    for (std::size_t r = xml.find("<row "); r != std::string::npos; r = xml.find("<row ", r + 1)) {
        const std::size_t rowEnd = xml.find("</row>", r);
        Row& out = rows.emplace_back();
        for (std::size_t c = xml.find("<c r=\"", r); c < rowEnd; c = xml.find("<c r=\"", c + 1)) {
            const std::size_t tagEnd = xml.find('>', c);
            const std::string tag = xml.substr(c, tagEnd - c);
            const std::string ref = between(tag, 0, "r=\"", "\"");
            const std::string content =
                tag.back() == '/' ? std::string() : between(xml, tagEnd, ">", "</c>");
            Cell value;
            value.isText = tag.find(" t=\"") != std::string::npos;
            if (value.isText && tag.find("t=\"s\"") != std::string::npos) {
                value.text = sheet.strings->at(std::stoul(between(content, 0, "<v>", "</v>")));
            } else if (value.isText) {
                EXPECT_NE(tag.find("t=\"inlineStr\""), std::string::npos) << tag;
                value.text = unescapeXml(between(content, content.find("<t"), ">", "</t>"));
            } else if (content.find("<v>") != std::string::npos) {
                value.number = std::stod(between(content, 0, "<v>", "</v>"));
            }
            out[ref.substr(0, ref.find_first_of("0123456789"))] = value;
        }
    }
    return rows;
}

// The shared strings of a workbook, by their place.
std::shared_ptr<const std::vector<std::string>> sharedStrings(const fs::path& xlsx)
{
    const std::string xml = unzip(xlsx, "xl/sharedStrings.xml");
    auto strings = std::make_shared<std::vector<std::string>>();
    for (std::size_t at = xml.find("<si>"); at != std::string::npos; at = xml.find("<si>", at + 1))
        strings->push_back(unescapeXml(between(xml, xml.find("<t", at), ">", "</t>")));
    return strings;
}

// The workbook's sheets by name, with their XML.
std::map<std::string, SheetXml> sheets(const fs::path& xlsx)
{
    const std::string book = unzip(xlsx, "xl/workbook.xml");
    const auto strings = sharedStrings(xlsx);
    std::map<std::string, SheetXml> out;
    const std::regex sheet(R"x(<sheet name="([^"]+)" sheetId="(\d+)")x");
    for (std::sregex_iterator s(book.begin(), book.end(), sheet), end; s != end; ++s)
        out[(*s)[1]] = {unzip(xlsx, "xl/worksheets/sheet" + std::string((*s)[2]) + ".xml"),
                        strings};
    return out;
}

// Four counts per company line: the report's own, or the sums of "Dati".
struct Line {
    std::string name; // as the report writes it
    std::array<long, 4> counts{};
    long amount = 0; // Type 2: the closing table's whole amount
    bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Line& l)
{
    return os << l.name << " " << l.counts[0] << "/" << l.counts[1] << "/" << l.counts[2] << "/"
              << l.counts[3] << " " << l.amount;
}

// A sum of amounts of four decimals, rounded once to a whole number, ties to even.
long roundedAmount(double sum)
{
    const long long units = std::llround(sum * 10000);
    long long whole = units / 10000, rest = units % 10000;
    if (rest < 0)
        rest += 10000, --whole;
    if (rest > 5000 || (rest == 5000 && whole % 2 != 0))
        ++whole;
    return static_cast<long>(whole);
}

std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> out(1);
    for (char c : line)
        if (c == '\xB3')
            out.emplace_back();
        else
            out.back().push_back(c);
    return out;
}

// Type 2: the lines of the closing tables ("¦ " + name, then the counts).
std::vector<Line> closingTableLines(const std::string& report)
{
    std::vector<Line> lines;
    for (const std::string& text : splitLines(report)) {
        if (text.rfind("\xA6 ", 0) != 0)
            continue;
        const auto f = fields(text);
        if (f.size() < 6) // the heading, "¦    Hotel / Agenzia ¦Pres.Con¦..."
            continue;
        Line line{std::string(trimBlanks(std::string_view(f[0]).substr(2)))};
        for (int i = 0; i < 4; ++i)
            line.counts[static_cast<std::size_t>(i)] =
                std::stol(f[static_cast<std::size_t>(i) + 1]);
        line.amount = std::stol(f[5]);
        lines.push_back(line);
    }
    return lines;
}

// Type 1: the company lines of the company tables (Pr.C., Ca.C., Pr.O.,
// Ca.O.), without the hotel lines, the heading and the totals.
std::vector<Line> companyTableLines(const std::string& report)
{
    std::vector<Line> lines;
    for (const std::string& text : splitLines(report)) {
        const auto f = fields(text);
        if (f.size() != 15 || f[2].find_first_of("0123456789") == std::string::npos)
            continue;
        const std::string name(trimBlanks(f[1]));
        if (name == "Totali")
            continue;
        // Pr.C., Ca.C., Pr.O., Ca.O. as the Dati columns: PrC, PrO, CaC, CaO.
        lines.push_back(
            {name, {std::stol(f[2]), std::stol(f[4]), std::stol(f[3]), std::stol(f[5])}});
    }
    return lines;
}

// The sums of "Dati" over each run of rows of one month, hotel and company,
// with the name as the report writes it.
std::vector<Line> dataSums(const std::vector<Row>& rows, bool type1)
{
    std::vector<Line> lines;
    std::vector<double> amounts;
    std::string last;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const Row& row = rows[r];
        const std::string key = std::to_string(row.at("A").number) + "|" +
                                std::to_string(row.at("B").number) + "|" + textOf(row, "C");
        if (lines.empty() || key != last) {
            std::string name = reportText(utf8ToCp1252(textOf(row, "C")));
            if (type1)
                name = std::string(trimBlanks(std::string_view(name).substr(0, 30)));
            lines.push_back({name});
            amounts.push_back(0);
            last = key;
        }
        for (int i = 0; i < 4; ++i)
            lines.back().counts[static_cast<std::size_t>(i)] +=
                static_cast<long>(row.at(std::string(1, static_cast<char>('E' + i))).number);
        if (!type1)
            amounts.back() += row.at("I").number;
    }
    for (std::size_t i = 0; i < lines.size(); ++i)
        lines[i].amount = roundedAmount(amounts[i]);
    return lines;
}

// The company lines of a month sheet with their "Totale" (column AI), in
// the order of the sheet: Dati's columns PrC, PrO, CaC (CON), CaO (OPZ).
std::vector<Line> monthSheetTotals(const std::vector<Row>& rows, bool type1)
{
    const std::map<std::string, std::size_t> columns = {
        {"PrC", 0}, {"PrO", 1}, {type1 ? "CaC" : "CON", 2}, {type1 ? "CaO" : "OPZ", 3}};
    std::vector<Line> lines;
    for (std::size_t r = 2; r < rows.size(); ++r) {
        const auto it = columns.find(textOf(rows[r], "C"));
        if (it == columns.end())
            continue;
        std::string name = reportText(utf8ToCp1252(textOf(rows[r], "B")));
        if (type1)
            name = std::string(trimBlanks(std::string_view(name).substr(0, 30)));
        if (it->second == 0)
            lines.push_back({name});
        lines.back().counts[it->second] = static_cast<long>(rows[r].at("AI").number);
    }
    return lines;
}

// The report's text of each month, from its title line to the next.
std::vector<std::string> monthTexts(const std::string& report)
{
    std::vector<std::string> months;
    const std::string title = "Stampa Presenze per Ditta / Hotel (";
    for (std::size_t at = report.find(title); at != std::string::npos;) {
        const std::size_t next = report.find(title, at + 1);
        months.push_back(report.substr(at, next == std::string::npos ? next : next - at));
        at = next;
    }
    return months;
}

// The hotel fixture with some companies renamed to what a spreadsheet might
// take for a formula, and to quoted and accented names.
void renameCompanies(const fs::path& dir)
{
    test::runSql(dir / "Scheda_Prenotazione.mdb",
                 "UPDATE Scheda_Prenotazione SET Ditta = CASE NumeroPrenotazione % 5 "
                 "WHEN 1 THEN '=HYPERLINK(\"x\",\"y\")' WHEN 2 THEN '@SUM(1+1)' "
                 "WHEN 3 THEN '\"SOLE\" VIAGGI; CITT\xC3\x80' "
                 "WHEN 4 THEN 'D\xC2\xB4"
                 "ANGELO CAFF\xC3\x88 UNIVERSIT\xC3\x80' "
                 "ELSE Ditta END;");
}

struct Case {
    const char* what;
    bool renamed;
    ReportKind kind;
    int firstMonth, lastMonth;
    std::vector<int> withoutData = {}; // months of 2024 with no figure
};

// Excel's day of the first of a month of 2024.
double firstOfMonth2024(int month)
{
    constexpr std::array<int, 7> kSerials = {0, 45292, 45323, 45352, 45383, 45413, 45444};
    return kSerials.at(static_cast<std::size_t>(month));
}

// The figures of the Type 2 detail report of `firstMonth` to `lastMonth`
// 2024 over the folder `dir`, every booking kind; `answers` to its questions.
ReportFigures type2Figures(const fs::path& dir, int firstMonth, int lastMonth,
                           std::deque<int> answers = {})
{
    Selection selection;
    selection.kind = BookingKind::All;
    selection.summary = false;
    const FixedClock clock = test::fixedClock();
    test::ScriptedInteraction ui;
    ui.answers = std::move(answers);
    ReportFigures figures;
    ReportContext context{DataFolder(dir), "5", clock, ui};
    context.figures = &figures;
    runPrintRequest(ReportKind::Type2, {firstMonth, 2024, lastMonth, 2024}, selection, context);
    return figures;
}

} // namespace

TEST(WorkbookExport, DataSheetHoldsTheReportsFiguresAsNumbersAndNamesAsText)
{
    FillCalendarTables();
    const Case cases[] = {
        {"Type 2, hotel", false, ReportKind::Type2, 2, 2},
        {"Type 2, names", true, ReportKind::Type2, 2, 3},
        {"Type 1, hotel", false, ReportKind::Type1, 1, 3},
        {"Type 1, names", true, ReportKind::Type1, 2, 2},
        {"Type 2, months without data", false, ReportKind::Type2, 4, 6, {5, 6}},
        {"Type 1, a month without data", false, ReportKind::Type1, 4, 5, {5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        test::copyFixture("hotel", dir.path());
        if (c.renamed)
            renameCompanies(dir.path());
        Selection selection;
        selection.kind = BookingKind::All;
        selection.summary = false;
        const FixedClock clock = test::fixedClock();
        test::ScriptedInteraction ui;
        ReportFigures figures;
        ReportContext context{DataFolder(dir.path()), "5", clock, ui};
        context.figures = &figures;
        const auto report =
            runPrintRequest(c.kind, {c.firstMonth, 2024, c.lastMonth, 2024}, selection, context);
        const fs::path xlsx = dir / "fd5.xlsx";
        writeWorkbook(figures, xlsx);

        const auto all = sheets(xlsx);
        std::vector<std::string> names;
        for (const auto& [name, sheet] : all) {
            names.push_back(name);
            const std::string& xml = sheet.xml;
            EXPECT_EQ(xml.find("<f>"), std::string::npos) << name << " holds a formula";
            EXPECT_EQ(xml.find("<f "), std::string::npos) << name << " holds a formula";
            // Landscape, one page wide, the heading rows on every page.
            EXPECT_NE(xml.find("orientation=\"landscape\""), std::string::npos) << name;
            EXPECT_NE(xml.find("fitToPage=\"1\""), std::string::npos) << name;
        }
        const std::string book = unzip(xlsx, "xl/workbook.xml");
        std::size_t printTitles = 0;
        for (std::size_t at = book.find("_xlnm.Print_Titles"); at != std::string::npos;
             at = book.find("_xlnm.Print_Titles", at + 1))
            ++printTitles;
        EXPECT_EQ(printTitles, all.size());
        // "Dati" first, the months with figures, "Mesi senza dati" last.
        EXPECT_EQ(between(book, 0, "<sheet name=\"", "\""), "Dati");
        std::vector<std::string> expectedSheets = {"Dati"};
        for (int m = c.firstMonth; m <= c.lastMonth; ++m)
            if (std::find(c.withoutData.begin(), c.withoutData.end(), m) == c.withoutData.end())
                expectedSheets.push_back("2024-0" + std::to_string(m));
        if (!c.withoutData.empty()) {
            expectedSheets.push_back("Mesi senza dati");
            EXPECT_NE(book.rfind("<sheet name=\"Mesi senza dati\""), std::string::npos);
            EXPECT_GT(book.rfind("<sheet name=\"Mesi senza dati\""),
                      book.rfind("<sheet name=\"2024"));
            const auto listed = sheetRows(all.at("Mesi senza dati"));
            ASSERT_EQ(listed.size(), c.withoutData.size() + 1);
            for (std::size_t i = 0; i < c.withoutData.size(); ++i)
                EXPECT_EQ(listed[i + 1].at("A").number, firstOfMonth2024(c.withoutData[i]));
        }
        std::sort(expectedSheets.begin(), expectedSheets.end());
        EXPECT_EQ(names, expectedSheets);
        EXPECT_NE(unzip(xlsx, "xl/styles.xml").find("formatCode=\"mm/yyyy\""), std::string::npos);

        const auto rows = sheetRows(all.at("Dati"));
        ASSERT_GT(rows.size(), 10u);
        const char* heading[] = {"Mese",
                                 "Hotel",
                                 "Ditta",
                                 "Giorno",
                                 "PresenzeConfermate",
                                 "PresenzeOpzionate",
                                 "CamereConfermate",
                                 "CamereOpzionate",
                                 "Importo",
                                 "NelMese",
                                 "Conteggio"};
        ASSERT_EQ(rows[0].size(), 11u);
        for (int i = 0; i < 11; ++i) {
            const Cell& cell = rows[0].at(std::string(1, static_cast<char>('A' + i)));
            EXPECT_TRUE(cell.isText);
            EXPECT_EQ(cell.text, heading[i]);
        }
        bool formulaLike = false;
        std::array<double, 4> inMonths{}; // the counts of the months' own days
        for (std::size_t r = 1; r < rows.size(); ++r) {
            const Row& row = rows[r];
            EXPECT_TRUE(row.at("K").isText) << "row " << r;
            for (const char* col : {"A", "B", "D", "E", "F", "G", "H", "J"})
                EXPECT_FALSE(row.at(col).isText) << "row " << r << " column " << col;
            // Mese: the first of the month of the day.
            const double mese = row.at("A").number, giorno = row.at("D").number;
            EXPECT_TRUE(giorno >= mese && giorno < mese + 31) << "row " << r;
            bool first = false;
            for (int m = c.firstMonth; m <= c.lastMonth; ++m)
                first = first || mese == firstOfMonth2024(m);
            EXPECT_TRUE(first) << "row " << r;
            EXPECT_EQ(row.count("I") == 1, c.kind == ReportKind::Type2) << "row " << r;
            formulaLike = formulaLike || textOf(row, "C") == "=HYPERLINK(\"x\",\"y\")";
            EXPECT_EQ(row.at("K").text, "presenze");
            for (std::size_t i = 0; i < 4; ++i)
                if (row.at("J").number == 1)
                    inMonths[i] += row.at(std::string(1, static_cast<char>('E' + i))).number;
        }
        EXPECT_EQ(formulaLike, c.renamed);

        const std::string text = test::readFile(report);
        const bool type1 = c.kind == ReportKind::Type1;
        if (type1)
            EXPECT_EQ(dataSums(rows, true), companyTableLines(text));
        else
            EXPECT_EQ(dataSums(rows, false), closingTableLines(text));

        // The month sheets' "Totale" counts each night once: the months' own
        // days; a month of 31 days shows the report's company table.
        std::array<double, 4> totals{};
        const auto months = monthTexts(text);
        for (int m = c.firstMonth; m <= c.lastMonth; ++m) {
            const auto sheet = all.find("2024-0" + std::to_string(m));
            if (sheet == all.end())
                continue;
            const auto lines = monthSheetTotals(sheetRows(sheet->second), type1);
            for (const Line& line : lines)
                for (std::size_t i = 0; i < 4; ++i)
                    totals[i] += static_cast<double>(line.counts[i]);
            if (type1 && Date::daysInMonth(2024, m) == 31) {
                auto expected =
                    companyTableLines(months.at(static_cast<std::size_t>(m - c.firstMonth)));
                EXPECT_EQ(lines, expected) << "2024-0" << m;
            }
        }
        EXPECT_EQ(totals, inMonths);
    }
}

TEST(WorkbookExport, DataGoesOnInFurtherSheetsAndDaysAfterTheMonthAreMarked)
{
    FillCalendarTables();
    test::TempDir dir;
    test::copyFixture("hotel", dir.path());
    const ReportFigures figures = type2Figures(dir.path(), 2, 2, {AnswerNo}); // by arrivals
    writeWorkbook(figures, dir / "fd5.xlsx", 40);

    const auto all = sheets(dir / "fd5.xlsx");
    std::size_t rows = 0, nextMonth = 0;
    for (const auto& [name, xml] : all) {
        if (name.rfind("Dati", 0) != 0)
            continue;
        const auto sheet = sheetRows(xml);
        ASSERT_LE(sheet.size(), 40u) << name;
        EXPECT_EQ(sheet[0].at("A").text, "Mese") << name;
        for (std::size_t r = 1; r < sheet.size(); ++r) {
            ++rows;
            // 2024 is a leap year: days 30 and 31 are 1 and 2 March.
            const auto day = static_cast<long>(sheet[r].at("D").number) - 45322; // 31/01/2024
            EXPECT_EQ(sheet[r].at("J").number, day <= 29 ? 1 : 0) << name << " row " << r;
            nextMonth += day > 29;
            EXPECT_EQ(sheet[r].at("K").text, "arrivi");
        }
    }
    std::size_t expected = 0;
    for (const MonthFigures& month : figures.months())
        expected += month.days.size();
    EXPECT_EQ(rows, expected);
    EXPECT_GT(nextMonth, 0u);
    EXPECT_GE(all.size(), 3u); // "Dati", "Dati 2"... and the month
    EXPECT_TRUE(all.count("Dati 2"));
    // The month's sheet stops within the rows and says where the rest is.
    const auto month = sheetRows(all.at("2024-02"));
    ASSERT_LE(month.size(), 40u);
    EXPECT_NE(month.back().at("B").text.find("\"Dati\""), std::string::npos);
}

TEST(WorkbookExport, TheCommandLineWritesTheWorkbookAndTheChartInTheCurrentFolder)
{
    test::TempDir dir;
    test::copyFixture("hotel", dir / "dati");
    fs::create_directory(dir / "uscita");
    std::vector<std::string> args = {
        "report",    "--type", "2",      "--from",     "02/2024",
        "--detail",  "--kind", "all",    "--data-dir", (dir / "dati").string(),
        "--station", "4",      "--xlsx", "dati.xlsx"};
    std::string out =
        (dir / "dati" / "fd4").string() + "\n" + (dir / "uscita" / "dati.xlsx").string() + "\n";
    args.insert(args.end(), {"--chart", "occ.png"});
    out += (dir / "uscita" / "occ.png").string() + "\n";
    const auto run = test::runProgram("presenze-cli", args, dir / "uscita");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, out);
    EXPECT_EQ(run.err, "");
    const auto rows = sheetRows(sheets(dir / "uscita" / "dati.xlsx").at("Dati"));
    EXPECT_GT(rows.size(), 100u);
    const std::string png = test::readFile(dir / "uscita" / "occ.png");
    EXPECT_EQ(png.substr(0, 4), "\x89PNG");
    EXPECT_GT(png.size(), 20000u);

    // A folder that is not there: the report stands, the workbook fails.
    const auto missing =
        test::runProgram("presenze-cli",
                         {"report", "--type", "1", "--from", "02/2024", "--data-dir",
                          (dir / "dati").string(), "--station", "4", "--xlsx", "nessuna/dati.xlsx"},
                         dir / "uscita");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("dati.xlsx"), std::string::npos) << missing.err;
}

TEST(WorkbookExport, ANameLongerThanACellIsCutAndSaidOnce)
{
    FillCalendarTables();
    test::TempDir dir;
    test::copyFixture("hotel", dir.path());
    test::runSql(dir / "Scheda_Prenotazione.mdb",
                 "UPDATE Scheda_Prenotazione SET Ditta = replace(hex(zeroblob(20000)), '0', 'A') "
                 "WHERE NumeroPrenotazione % 3 = 0;");
    const ReportFigures figures = type2Figures(dir.path(), 2, 2);
    const std::string note = writeWorkbook(figures, dir / "fd5.xlsx");
    EXPECT_NE(note.find("32767 caratteri"), std::string::npos) << note;
    std::size_t cut = 0;
    for (const Row& row : sheetRows(sheets(dir / "fd5.xlsx").at("Dati"))) {
        const std::string name = textOf(row, "C");
        EXPECT_LE(name.size(), 32767u);
        cut += name == std::string(32767, 'A');
    }
    EXPECT_GT(cut, 0u);
}

TEST(WorkbookExport, ACancelledWorkbookLeavesNoFile)
{
    FillCalendarTables();
    test::TempDir dir;
    test::copyFixture("hotel", dir.path());
    const ReportFigures figures = type2Figures(dir.path(), 2, 3);
    test::writeFile(dir / "fd5.xlsx", "PRIMA");
    std::vector<fs::path> before;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        before.push_back(entry.path());
    std::uint64_t total = 0;
    EXPECT_THROW(writeWorkbook(figures, dir / "fd5.xlsx", kSheetRows,
                               [&](std::uint64_t, std::uint64_t of) {
                                   total = of;
                                   return false;
                               }),
                 WorkCancelled);
    EXPECT_GT(total, 0u);
    std::vector<fs::path> after;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        after.push_back(entry.path());
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
    EXPECT_EQ(test::readFile(dir / "fd5.xlsx"), "PRIMA");
}
