#include "output/CsvExport.h"

#include "data/DataError.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace presenze;

namespace {

std::string convert(std::string_view line, const CsvSettings& settings = {})
{
    return convertCsvLine(line, settings);
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

TEST(ConvertiXLS, WorkedExampleWithTheDefaults)
{
    EXPECT_EQ(convert("\xB3ROSSI SPA  \xB3   1.234,50\xB3"), ",ROSSI SPA  ,  \x80"
                                                             "1234.50,");
}

TEST(ConvertiXLS, AmountsPointsAndMinusSigns)
{
    EXPECT_EQ(convert("12,5"), "12 5");      // one decimal digit: not a decimal comma
    EXPECT_EQ(convert("x 1.234"), "x 1234"); // thousands point without decimals
    EXPECT_EQ(convert("x 3.5"), "x 3.5");    // one digit after the point: it stays
    EXPECT_EQ(convert("a -12"), "a -12");
    EXPECT_EQ(convert("a - b"), "a   b"); // a minus before a blank becomes a blank
    EXPECT_EQ(convert("a-"), "a ");       // and at the end of the line
    EXPECT_EQ(convert(",12"), " 12");     // no digit before: a plain comma
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
    EXPECT_EQ(convert("a\xB4"), "a,"); // 180 at the end of the line
    EXPECT_EQ(convert("|a+b"), ",a,b");
    EXPECT_EQ(convert("\xA6 x"), "\xA6 x"); // the broken bar is kept
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
        {"\xB3=1+2\xB3  @A1\xB3", {}, ",'=1,2,  '@A1,"},
        {"\xB3 =SUM(A1)  \xB3", {}, ", '=SUM(A1)  ,"},
        {"a=b", {}, "a=b"}, // not first: no formula
        {"\xB3\"SOLE\" VIAGGI; CITT\xE0\xB3 12,50\xB3", semicolon,
         ";\"\"\"SOLE\"\" VIAGGI; CITT\xE0\";\x80"
         "12,50;"},
        {"x; y", semicolon, "\"x; y\""}, // the separator inside: quoted
        {"-12", {}, "-12"},              // numbers stay numbers
        {"\xBA\xC9\xCE", {}, ",,,"},     // the double-line frames separate too
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
