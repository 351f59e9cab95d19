#include "output/CsvExport.h"

#include "common/KV7Routine.h"
#include "common/ReportFile.h"
#include "data/DataError.h"
#include "data/Text1252.h"
#include "data/TextLines.h"
#include "request/PrintRequest.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace presenze;

namespace {

std::string convert(std::string_view line, const CsvSettings& settings = {})
{
    return convertCsvLine(line, settings);
}

// The fields of a CSV line as a spreadsheet reads them: separated by ",",
// a field in double quotes may hold "," and doubled double quotes.
std::vector<std::string> csvFields(std::string_view line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
            fields.back() += line[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    EXPECT_FALSE(quoted) << line;
    return fields;
}

bool isWholeNumber(std::string_view text)
{
    text = trimBlanks(text);
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// A name field as the data had it: without the blanks around it and the "'"
// that keeps a spreadsheet from taking it for a formula.
std::string nameOf(std::string_view field)
{
    field = trimBlanks(field);
    if (field.size() > 1 && field.front() == '\'' &&
        std::string_view("=@+-").find(field[1]) != std::string_view::npos)
        field.remove_prefix(1);
    return std::string(field);
}

} // namespace

TEST(ConvertiXLS, TheCommandLineTurnsTheType2ReportIntoTheExpectedCsv)
{
    test::TempDir dir;
    std::filesystem::copy_file(test::fixturesDir() / "expected" / "t2-detail-all-feb2024",
                               dir / "fd7");
    const auto run = test::runProgram("presenze-cli",
                                      {"csv", "--data-dir", dir.path().string(), "--station", "7"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, (dir / "fd7.csv").string() + "\n");
    EXPECT_EQ(test::readFile(dir / "fd7.csv"),
              test::readFile(test::fixturesDir() / "expected" / "t2-detail-all-feb2024.csv"));
}

TEST(ConvertiXLS, NamesFromTheDataStayInOneFieldAndFiguresInTheirColumns)
{
    FillCalendarTables();
    test::TempDir dir;
    test::copyFixture("hotel", dir.path());
    const std::vector<std::string> names = {"+39 VIAGGI",
                                            "-PROMO",
                                            "ALFA-BETA, VIAGGI+VACANZE|TOUR",
                                            "@SUM(1+1)",
                                            "=HYPERLINK(\"x\",\"y\")",
                                            "\"SOLE\" VIAGGI; CITT\xC0"};
    std::string sql = "UPDATE Scheda_Prenotazione SET Ditta = CASE NumeroPrenotazione % 6";
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string quoted;
        for (const char c : cp1252ToUtf8(names[i]))
            quoted += c == '\'' ? std::string("''") : std::string(1, c);
        sql += " WHEN " + std::to_string(i) + " THEN '" + quoted + "'";
    }
    test::runSql(dir / "Scheda_Prenotazione.mdb", sql + " END;");
    Selection selection;
    selection.kind = BookingKind::All;
    selection.summary = false;
    const FixedClock clock = test::fixedClock();
    test::ScriptedInteraction ui;
    ReportContext context{DataFolder(dir.path()), "5", clock, ui};
    const auto report = runPrintRequest(ReportKind::Type2, {2, 2024, 2, 2024}, selection, context);
    const auto csv = ConvertiXLS(DataFolder(dir.path()), "fd5", "5");

    std::vector<std::string> written;
    for (const auto& name : names)
        written.push_back(reportText(name));
    const auto reportLines = readReportLines(report);
    const auto csvLines = splitLines(test::readFile(csv));
    ASSERT_EQ(reportLines.size(), csvLines.size());
    std::size_t nameLines = 0, dayLines = 0, summaryLines = 0;
    for (std::size_t i = 0; i < csvLines.size(); ++i) {
        const std::string& line = reportLines[i];
        const auto fields = csvFields(csvLines[i]);
        SCOPED_TRACE(csvLines[i]);
        if (std::find(written.begin(), written.end(), line) != written.end()) {
            ++nameLines;
            ASSERT_EQ(fields.size(), 1u);
            EXPECT_EQ(nameOf(fields[0]), line);
        } else if (line.size() > 8 && line[8] == '\xB3' && line.rfind("     ", 0) == 0 &&
                   line[5] != ' ') { // "     PrC" and the other day lines
            ++dayLines;
            ASSERT_EQ(fields.size(), 33u);
            for (std::size_t f = 1; f <= 31; ++f)
                EXPECT_TRUE(trimBlanks(fields[f]).empty() || isWholeNumber(fields[f]));
        } else if (line.rfind("\xA6", 0) == 0) {
            ASSERT_EQ(fields.size(), 8u); // the heading has the columns of its lines
            if (line.find("Hotel / Agenzia") != std::string::npos)
                continue;
            ++summaryLines;
            EXPECT_TRUE(fields[0].empty() && fields[7].empty());
            const std::string name = nameOf(fields[1]);
            EXPECT_TRUE(name.empty() ||
                        std::find(written.begin(), written.end(), name) != written.end())
                << name;
            for (std::size_t f = 2; f <= 6; ++f)
                EXPECT_TRUE(isWholeNumber(fields[f]));
        }
    }
    EXPECT_GE(nameLines, names.size());
    EXPECT_EQ(dayLines, 4 * nameLines); // "Tutte": PrC, CON, PrO, OPZ under each name
    EXPECT_GE(summaryLines, names.size());
}

TEST(ConvertiXLS, WorkedExampleWithTheDefaults)
{
    EXPECT_EQ(convert("\xB3ROSSI SPA  \xB3   1.234,50\xB3"), ",ROSSI SPA  ,  \x80"
                                                             "1234.50,");
}

TEST(ConvertiXLS, AmountsPointsAndMinusSigns)
{
    EXPECT_EQ(convert("12,5"), "\"12,5\"");  // one decimal digit: a plain comma, kept
    EXPECT_EQ(convert("x 1.234"), "x 1234"); // thousands point without decimals
    EXPECT_EQ(convert("x 3.5"), "x 3.5");    // one digit after the point: it stays
    EXPECT_EQ(convert("a -12"), "a -12");
    EXPECT_EQ(convert("a - b"), "a - b"); // a "-" of the text stays
    EXPECT_EQ(convert("a-"), "a-");       // also at the end of the line
    EXPECT_EQ(convert("a---b"), "a   b"); // a rule becomes blanks
    EXPECT_EQ(convert("a--5"), "a -5");   // but a minus sign stays
    EXPECT_EQ(convert(",12"), "\",12\""); // no digit before: a plain comma
    EXPECT_EQ(convert("1.234.567,00"), "1234567.00");
    // The currency sign takes the last blank, even far from the amount.
    EXPECT_EQ(convert("TOT 7 ab12,50"), "TOT 7\x80"
                                        "ab12.50");
    // Two amounts on one line: each takes the blank in front of it.
    EXPECT_EQ(convert(" 1,00 2,00"), "\x80"
                                     "1.00\x80"
                                     "2.00");
}

TEST(ConvertiXLS, AnAmountWithNoBlankBeforeItGetsNoCurrencySign)
{
    EXPECT_EQ(convert("1.234,50"), "1234.50");
    EXPECT_EQ(convert("\xB3"
                      "12,00\xB3"),
              ",12.00,");
}

TEST(ConvertiXLS, BoxDrawingBecomesSeparatorsOrBlanks)
{
    EXPECT_EQ(convert("\xC4\xC4\xC4"), "   ");
    EXPECT_EQ(convert("\xDA\xC2\xBF\xC3\xC5\xB4\xC0\xC1\xD9"), ",,,,, ,,,");
    EXPECT_EQ(convert("a\xB4"), "a,");        // 180 at the end of the line
    EXPECT_EQ(convert("|a+b"), "|a+b");       // characters of the text, not frames
    EXPECT_EQ(convert("\xA6 x\xA6"), ", x,"); // the closing table's broken bar
    EXPECT_EQ(convert(""), "");
}

TEST(ConvertiXLS, SettingsFileChangesSeparatorsAndSign)
{
    test::TempDir dir;
    test::writeFile(dir / "SeparatoreXLS.txt", ";\r\n,\r\n\r\n");
    const CsvSettings s = readCsvSettings(DataFolder(dir.path()));
    EXPECT_EQ(s.separator, ";");
    EXPECT_EQ(s.decimal, ",");
    EXPECT_EQ(s.currency, "");
    EXPECT_EQ(convert("\xB3ROSSI  \xB3 1.234,50\xB3", s), ";ROSSI  ; 1234,50;");

    // Lines the file does not have keep their defaults; the sign is one character.
    test::writeFile(dir / "separatorexls.txt", "\t\r\n");
    std::filesystem::remove(dir / "SeparatoreXLS.txt");
    const CsvSettings t = readCsvSettings(DataFolder(dir.path()));
    EXPECT_EQ(t.separator, "\t");
    EXPECT_EQ(t.decimal, ".");
    test::writeFile(dir / "separatorexls.txt", "::\r\n.\r\nEUR\r\n");
    EXPECT_EQ(convert("a\xB3 5,00", readCsvSettings(DataFolder(dir.path()))), "a::E5.00");
}

TEST(ConvertiXLS, FieldsASpreadsheetOpensSafely)
{
    CsvSettings semicolon;
    semicolon.separator = ";";
    semicolon.decimal = ",";
    const struct {
        const char* line;
        const CsvSettings settings;
        const char* csv;
    } cases[] = {
        {"\xB3=1+2\xB3  @A1\xB3", {}, ",'=1+2,  '@A1,"},
        {"\xB3 =SUM(A1)  \xB3", {}, ", '=SUM(A1)  ,"},
        {"a=b", {}, "a=b"}, // not first: no formula
        {"\xB3\"SOLE\" VIAGGI; CITT\xE0\xB3 12,50\xB3", semicolon,
         ";\"\"\"SOLE\"\" VIAGGI; CITT\xE0\";\x80"
         "12,50;"},
        {"x; y", semicolon, "\"x; y\""}, // the separator inside: quoted
        {"-12", {}, "-12"},              // numbers stay numbers
        {"\xB3 +5\xB3-3.5\xB3", {}, ", +5,-3.5,"},
        {"\xB3-1,50\xB3", semicolon, ";-1,50;"},
        {"\xB3+39 VIAGGI\xB3-PROMO\xB3 - \xB3", {}, ",'+39 VIAGGI,'-PROMO, '- ,"},
        {"\xB3-3.2.1\xB3+\xB3", {}, ",'-3.2.1,'+,"},
        {"ALFA-BETA, VIAGGI+VACANZE|TOUR\xB3", {}, "\"ALFA-BETA, VIAGGI+VACANZE|TOUR\","},
        {"\xBA\xC9\xCE", {}, ",,,"}, // the double-line frames separate too
    };
    for (const auto& c : cases)
        EXPECT_EQ(convert(c.line, c.settings), c.csv) << c.line;
}

TEST(ConvertiXLS, TheSettingsFileIsReadAsUtf8OrWindows1252AndOnlyItsStart)
{
    test::TempDir dir;
    const struct {
        std::string content;
        std::string separator, decimal, currency;
    } cases[] = {
        {"\xEF\xBB\xBF;\r\n,\r\n\xE2\x82\xAC\r\n", ";", ",", "\x80"}, // byte-order mark
        {";\n,\n\xE2\x82\xAC", ";", ",", "\x80"},                     // UTF-8 without it
        {";\r,\r\x80\r", ";", ",", "\x80"},                           // Windows-1252, CR ends
        {"|\r\n.\r\n$\r\nquarta riga\r\n", "|", ".", "$"},
    };
    for (const auto& c : cases) {
        test::writeFile(dir / "SeparatoreXLS.txt", c.content);
        const CsvSettings s = readCsvSettings(DataFolder(dir.path()));
        EXPECT_EQ(s.separator, c.separator) << c.content;
        EXPECT_EQ(s.decimal, c.decimal) << c.content;
        EXPECT_EQ(s.currency, c.currency) << c.content;
    }
    // A huge file: its first lines count, the rest is never read.
    test::writeFile(dir / "SeparatoreXLS.txt", ";\r\n,\r\n\r\n" + std::string(5'000'000, 'x'));
    EXPECT_EQ(readCsvSettings(DataFolder(dir.path())).separator, ";");
}

TEST(ConvertiXLS, WritesFdTagCsvWholeWhateverTheInputName)
{
    test::TempDir dir;
    test::writeFile(dir / "qualsiasi", "\xB3"
                                       "a\xB3\r\n\x0C\r\nlast");
    const auto path = ConvertiXLS(DataFolder(dir.path()), "QUALSIASI", "3");
    EXPECT_EQ(path, dir / "fd3.csv");
    EXPECT_EQ(test::readFile(path), ",a,\r\n\x0C\r\nlast\r\n");

    // The next export replaces the file.
    test::writeFile(dir / "qualsiasi", "b\r\n");
    ConvertiXLS(DataFolder(dir.path()), "qualsiasi", "3");
    EXPECT_EQ(test::readFile(path), "b\r\n");
}

TEST(ConvertiXLS, FailuresLeaveTheEarlierCsvAlone)
{
    test::TempDir dir;
    EXPECT_THROW(ConvertiXLS(DataFolder(dir.path()), "fd3", "3"), DataError);
    EXPECT_FALSE(std::filesystem::exists(dir / "fd3.csv"));

    test::writeFile(dir / "fd3", "new\r\n");
    test::writeFile(dir / "fd3.csv", "old\r\n");
    if (::geteuid() != 0) {
        ::chmod(dir.path().c_str(), 0555);
        EXPECT_THROW(ConvertiXLS(DataFolder(dir.path()), "fd3", "3"), DataError);
        ::chmod(dir.path().c_str(), 0755);
        EXPECT_EQ(test::readFile(dir / "fd3.csv"), "old\r\n");
    }
}
