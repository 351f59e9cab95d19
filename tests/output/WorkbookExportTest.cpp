// The Excel workbook read back from its XML: the heading of "Dati", the cell
// types (counts and days as numbers, names as text, no formula anywhere) and
// each company's month sums against the report's own tables.

#include "output/WorkbookExport.h"

#include "common/KV7Routine.h"
#include "common/ReportFile.h"
#include "data/Text1252.h"
#include "data/TextLines.h"
#include "request/PrintRequest.h"
#include "support/TestSupport.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <regex>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

std::string unzip(const fs::path& xlsx, const std::string& entry)
{
    const std::string command = "unzip -p '" + xlsx.string() + "' '" + entry + "'";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    std::string out;
    char buffer[65536];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    if (pipe)
        ::pclose(pipe);
    return out;
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

// A cell as the sheet's XML holds it: a text (inline or shared) or a number.
struct Cell {
    bool isText = false;
    std::string text; // UTF-8
    double number = 0;
};
using Row = std::map<char, Cell>; // by column letter (A..K is all "Dati" uses)

// A text cell's text; an empty text leaves no cell at all.
std::string textOf(const Row& row, char column)
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

std::vector<Row> sheetRows(const std::string& xml)
{
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
            if (value.isText) {
                EXPECT_NE(tag.find("t=\"inlineStr\""), std::string::npos) << tag;
                value.text = unescapeXml(between(content, content.find("<t"), ">", "</t>"));
            } else if (content.find("<v>") != std::string::npos) {
                value.number = std::stod(between(content, 0, "<v>", "</v>"));
            }
            out[ref[ref.find_first_of("0123456789") - 1]] = value;
        }
    }
    return rows;
}

// The workbook's sheets by name, with their XML.
std::map<std::string, std::string> sheets(const fs::path& xlsx)
{
    const std::string book = unzip(xlsx, "xl/workbook.xml");
    std::map<std::string, std::string> out;
    const std::regex sheet(R"x(<sheet name="([^"]+)" sheetId="(\d+)")x");
    for (std::sregex_iterator s(book.begin(), book.end(), sheet), end; s != end; ++s)
        out[(*s)[1]] = unzip(xlsx, "xl/worksheets/sheet" + std::string((*s)[2]) + ".xml");
    return out;
}

// Four counts per company line: the report's own, or the sums of "Dati".
struct Line {
    std::string name; // as the report writes it
    std::array<long, 4> counts{};
    bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Line& l)
{
    return os << l.name << " " << l.counts[0] << "/" << l.counts[1] << "/" << l.counts[2] << "/"
              << l.counts[3];
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
    std::string last;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const Row& row = rows[r];
        const std::string key =
            textOf(row, 'A') + "|" + std::to_string(row.at('B').number) + "|" + textOf(row, 'C');
        if (lines.empty() || key != last) {
            std::string name = reportText(utf8ToCp1252(textOf(row, 'C')));
            if (type1)
                name = std::string(trimBlanks(std::string_view(name).substr(0, 30)));
            lines.push_back({name});
            last = key;
        }
        for (int i = 0; i < 4; ++i)
            lines.back().counts[static_cast<std::size_t>(i)] +=
                static_cast<long>(row.at(static_cast<char>('E' + i)).number);
    }
    return lines;
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
};

} // namespace

TEST(WorkbookExport, DataSheetHoldsTheReportsFiguresAsNumbersAndNamesAsText)
{
    FillCalendarTables();
    const Case cases[] = {
        {"Type 2, hotel", false, ReportKind::Type2, 2, 2},
        {"Type 2, names", true, ReportKind::Type2, 2, 3},
        {"Type 1, hotel", false, ReportKind::Type1, 1, 3},
        {"Type 1, names", true, ReportKind::Type1, 2, 2},
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
        for (const auto& [name, xml] : all) {
            names.push_back(name);
            EXPECT_EQ(xml.find("<f>"), std::string::npos) << name << " holds a formula";
            EXPECT_EQ(xml.find("<f "), std::string::npos) << name << " holds a formula";
        }
        std::vector<std::string> expectedSheets = {"Dati"};
        for (int m = c.firstMonth; m <= c.lastMonth; ++m)
            expectedSheets.push_back("2024-0" + std::to_string(m));
        std::sort(expectedSheets.begin(), expectedSheets.end());
        EXPECT_EQ(names, expectedSheets);

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
            const Cell& cell = rows[0].at(static_cast<char>('A' + i));
            EXPECT_TRUE(cell.isText);
            EXPECT_EQ(cell.text, heading[i]);
        }
        bool formulaLike = false;
        for (std::size_t r = 1; r < rows.size(); ++r) {
            const Row& row = rows[r];
            for (char col : std::string("AK"))
                EXPECT_TRUE(row.at(col).isText) << "row " << r << " column " << col;
            for (char col : std::string("BDEFGHJ"))
                EXPECT_FALSE(row.at(col).isText) << "row " << r << " column " << col;
            EXPECT_EQ(row.count('I') == 1, c.kind == ReportKind::Type2) << "row " << r;
            formulaLike = formulaLike || textOf(row, 'C') == "=HYPERLINK(\"x\",\"y\")";
            EXPECT_EQ(row.at('K').text, "presenze");
        }
        EXPECT_EQ(formulaLike, c.renamed);

        const std::string text = test::readFile(report);
        if (c.kind == ReportKind::Type2)
            EXPECT_EQ(dataSums(rows, false), closingTableLines(text));
        else
            EXPECT_EQ(dataSums(rows, true), companyTableLines(text));
    }
}

TEST(WorkbookExport, DataGoesOnInFurtherSheetsAndDaysAfterTheMonthAreMarked)
{
    FillCalendarTables();
    test::TempDir dir;
    test::copyFixture("hotel", dir.path());
    Selection selection;
    selection.kind = BookingKind::All;
    selection.summary = false;
    const FixedClock clock = test::fixedClock();
    test::ScriptedInteraction ui;
    ui.answers = {AnswerNo}; // by arrivals
    ReportFigures figures;
    ReportContext context{DataFolder(dir.path()), "5", clock, ui};
    context.figures = &figures;
    runPrintRequest(ReportKind::Type2, {2, 2024, 2, 2024}, selection, context);
    writeWorkbook(figures, dir / "fd5.xlsx", 40);

    const auto all = sheets(dir / "fd5.xlsx");
    std::size_t rows = 0, nextMonth = 0;
    for (const auto& [name, xml] : all) {
        if (name.rfind("Dati", 0) != 0)
            continue;
        const auto sheet = sheetRows(xml);
        ASSERT_LE(sheet.size(), 40u) << name;
        EXPECT_EQ(sheet[0].at('A').text, "Mese") << name;
        for (std::size_t r = 1; r < sheet.size(); ++r) {
            ++rows;
            // 2024 is a leap year: days 30 and 31 are 1 and 2 March.
            const auto day = static_cast<long>(sheet[r].at('D').number) - 45322; // 31/01/2024
            EXPECT_EQ(sheet[r].at('J').number, day <= 29 ? 1 : 0) << name << " row " << r;
            nextMonth += day > 29;
            EXPECT_EQ(sheet[r].at('K').text, "arrivi");
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
    EXPECT_NE(month.back().at('B').text.find("\"Dati\""), std::string::npos);
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
#ifdef PRESENZE_CHARTS
    args.insert(args.end(), {"--chart", "occ.png"});
    out += (dir / "uscita" / "occ.png").string() + "\n";
#endif
    const auto run = test::runProgram("presenze-cli", args, dir / "uscita");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, out);
    EXPECT_EQ(run.err, "");
    const auto rows = sheetRows(sheets(dir / "uscita" / "dati.xlsx").at("Dati"));
    EXPECT_GT(rows.size(), 100u);
#ifdef PRESENZE_CHARTS
    const std::string png = test::readFile(dir / "uscita" / "occ.png");
    EXPECT_EQ(png.substr(0, 4), "\x89PNG");
    EXPECT_GT(png.size(), 20000u);
#endif

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
    Selection selection;
    selection.kind = BookingKind::All;
    selection.summary = false;
    const FixedClock clock = test::fixedClock();
    test::ScriptedInteraction ui;
    ReportFigures figures;
    ReportContext context{DataFolder(dir.path()), "5", clock, ui};
    context.figures = &figures;
    runPrintRequest(ReportKind::Type2, {2, 2024, 2, 2024}, selection, context);
    const std::string note = writeWorkbook(figures, dir / "fd5.xlsx");
    EXPECT_NE(note.find("32767 caratteri"), std::string::npos) << note;
    std::size_t cut = 0;
    for (const Row& row : sheetRows(sheets(dir / "fd5.xlsx").at("Dati"))) {
        const std::string name = textOf(row, 'C');
        EXPECT_LE(name.size(), 32767u);
        cut += name == std::string(32767, 'A');
    }
    EXPECT_GT(cut, 0u);
}
