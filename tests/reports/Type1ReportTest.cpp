// The Type 1 month report over small groups: the hotel blocks, the all-hotel
// totals and the closing tables, with the rules that mend the old report's
// faults (sums over all companies, free rooms counted once per hotel, the
// nation table over all hotels, cells that cannot hold their value).

#include "reports/Type1Support.h"
#include "reports/type1/StampaTipo1.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <thread>

using namespace presenze;

namespace {

const std::vector<std::string> kDetailAll = {"--from", "03/2026", "--detail", "--kind", "all"};

// The lines of hotel block `label` (its hotel line up to the next hotel line
// or the closing separator).
std::vector<std::string> block(const std::vector<std::string>& lines, std::string_view label)
{
    std::vector<std::string> out;
    std::size_t i = test::findLine(lines, std::string(label) + "\xB3---");
    for (++i; i < lines.size(); ++i) {
        if (lines[i].find("\xB3---\xB3") != std::string::npos || lines[i][0] == '\xC4')
            break;
        out.push_back(lines[i]);
    }
    return out;
}

// The line with this label in a list of lines ("" when none).
std::string labelled(const std::vector<std::string>& lines, std::string_view label)
{
    const std::size_t i = test::findLine(lines, std::string(label) + "\xB3");
    return i < lines.size() ? lines[i] : std::string();
}

// The all-hotel part after the form feed.
std::vector<std::string> afterFormFeed(const std::vector<std::string>& lines)
{
    const std::size_t i = test::findLine(lines, "\f");
    return {lines.begin() + static_cast<std::ptrdiff_t>(std::min(i, lines.size())), lines.end()};
}

// The "Totali" block (detail mode): from its blank line to the form feed.
std::vector<std::string> totaliBlock(const std::vector<std::string>& lines)
{
    const std::size_t i = test::findLine(lines, "Totali  \xB3");
    const std::size_t end = test::findLine(lines, "\f");
    return {lines.begin() + static_cast<std::ptrdiff_t>(i),
            lines.begin() + static_cast<std::ptrdiff_t>(end)};
}

// A company table line: its name column and its twelve values.
std::vector<std::string> tableLine(const std::vector<std::string>& lines, std::string_view name)
{
    for (const std::string& l : lines) {
        if (l.size() < 32 || l[0] != '\xB3' || l.compare(1, name.size(), name) != 0 ||
            l.find_first_not_of(' ', 1 + name.size()) != 31)
            continue;
        std::vector<std::string> cells;
        for (std::size_t at = 32; at + 6 <= l.size(); at += 7)
            cells.push_back(std::string(trimBlanks(l.substr(at, 6))));
        return cells;
    }
    return {};
}

std::vector<std::string> cells(std::initializer_list<const char*> values)
{
    return {values.begin(), values.end()};
}

} // namespace

TEST(Type1Report, HotelBlocksShowTheHotelsDayOverAllCompanies)
{
    test::Type1Group group("(1, 1, 'HOTEL LAGO BLU')", "(1, 'C', 10)");
    group.season("(1, 1, 'C', 'ALFA', 'I', '<GRP>'), (2, 1, 'O', 'BETA', 'I', '<GRP>'),"
                 "(3, 1, 'C', 'GAMMA', 'I', '')",
                 "(1, 1, 'C', '20260305', '20260306', 2, 1),"
                 "(2, 1, 'O', '20260305', '20260306', 3, 2),"
                 "(3, 1, 'C', '20260310', '20260311', 4, 2)");
    const auto lines = group.lines(kDetailAll);
    const auto b = block(lines, "LAGO BLU");
    EXPECT_EQ(test::cellOf(labelled(b, "     PrC"), 5), "  2");
    EXPECT_EQ(test::cellOf(labelled(b, "     PrO"), 5), "  3");
    EXPECT_EQ(test::cellOf(labelled(b, "     CaO"), 5), "  2");
    EXPECT_EQ(test::cellOf(labelled(b, "TOT  PrC"), 5), "  2");
    EXPECT_EQ(test::cellOf(labelled(b, "TOT  PrO"), 5), "  3");
    EXPECT_EQ(test::cellOf(labelled(b, "TOT  CaC"), 5), "  1");
    EXPECT_EQ(test::cellOf(labelled(b, "TOT  CaO"), 5), "  2");
    EXPECT_EQ(test::cellOf(labelled(b, "TOT  Lib"), 5), "  7");
    EXPECT_EQ(test::cellOf(labelled(b, "   P GRP"), 5), "  5");
    EXPECT_EQ(test::cellOf(labelled(b, "     GRP"), 5), "  3");
    EXPECT_EQ(test::cellOf(labelled(b, "     IND"), 5), "  0");
    // A day with a row of 0 shows 0; a day without rows stays blank.
    EXPECT_EQ(test::cellOf(labelled(b, "     PrO"), 10), "  0");
    EXPECT_EQ(test::cellOf(labelled(b, "TOT  Lib"), 10), "  8");
    EXPECT_EQ(test::cellOf(labelled(b, "     PrC"), 6), "   ");
    EXPECT_EQ(test::cellOf(labelled(b, "TOT  Lib"), 6), "   ");
    EXPECT_EQ(test::cellOf(labelled(b, "   P GRP"), 6), "   ");
}

TEST(Type1Report, AllHotelFreeRoomsCountEachHotelOnce)
{
    test::Type1Group group("(1, 1, 'HOTEL UNO'), (2, 2, 'HOTEL DUE')", "(1, 'C', 10), (2, 'C', 5)");
    group.season("(1, 1, 'C', 'ALFA', 'I', ''), (2, 1, 'C', 'BETA', 'I', '')",
                 "(1, 1, 'C', '20260305', '20260306', 1, 1),"
                 "(2, 1, 'C', '20260305', '20260306', 1, 2)");
    const auto all = afterFormFeed(group.lines(kDetailAll));
    EXPECT_EQ(test::cellOf(labelled(all, "TOT  Lib"), 5), " 12");
    EXPECT_EQ(test::cellOf(labelled(all, "TOT  Lib"), 4), " 15");
    EXPECT_EQ(test::cellOf(labelled(all, "TOT  CaC"), 5), "  3");
    EXPECT_EQ(test::cellOf(labelled(all, "TOT  PrC"), 4), "  0");
}

TEST(Type1Report, NationTableAddsUpEveryHotel)
{
    test::Type1Group group("(1, 1, 'HOTEL UNO'), (2, 2, 'HOTEL DUE')", "(1, 'C', 10), (2, 'C', 5)");
    group.season("(1, 1, 'C', 'ALFA', 'F', ''), (1, 2, 'C', 'BETA', 'I', ''),"
                 "(2, 2, 'C', 'GAMMA', '', '')",
                 "(1, 1, 'C', '20260305', '20260307', 2, 1),"
                 "(1, 2, 'C', '20260305', '20260306', 3, 2),"
                 "(2, 2, 'C', '20260301', '20260302', 1, 1)");
    const auto lines = group.lines(kDetailAll);
    EXPECT_EQ(tableLine(lines, ""), cells({"4", "2", "4", "3"}));
}

TEST(Type1Report, NoNationRowsNoNationTable)
{
    test::Type1Group group("(1, 1, 'HOTEL UNO')", "(1, 'C', 10)");
    group.season("", "");
    const auto lines = group.lines(kDetailAll);
    // The company table prints its frame and a totals line of zeros, then
    // three empty lines end the month.
    EXPECT_EQ(tableLine(lines, "Totali"), std::vector<std::string>(12, "0"));
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[lines.size() - 4][0], '\xC0');
    for (std::size_t i = lines.size() - 3; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], "");
    // The hotel without rows: hotel line, blank "TOT" lines and breakdown.
    const auto b = block(lines, "UNO     ");
    ASSERT_EQ(b.size(), 5u + 8u);
    for (const auto& l : b)
        EXPECT_EQ(l.find_first_not_of(" \xB3", 9), std::string::npos) << l;
}

TEST(Type1Report, CellsThatCannotHoldTheirValue)
{
    test::Type1Group group("(1, 1, 'HOTEL UNO')", "(1, 'C', 10)");
    group.season("(1, 1, 'C', 'BIG', 'I', '<GRP>'), (2, 1, 'C', 'HUGE', 'I', ''),"
                 "(3, 1, 'C', 'ROOMS', 'I', '')",
                 "(1, 1, 'C', '20260301', '20260302', 1234, 1),"
                 "(2, 1, 'C', '20260302', '20260306', 250000, 1),"
                 "(3, 1, 'C', '20260310', '20260311', 1, 160),"
                 "(3, 1, 'C', '20260311', '20260312', 1, 52)");
    const auto lines = group.lines(kDetailAll);
    const auto b = block(lines, "UNO     ");
    EXPECT_EQ(test::cellOf(labelled(b, "     PrC"), 1), "***");
    EXPECT_EQ(test::cellOf(labelled(b, "TOT  PrC"), 1), "***");
    EXPECT_EQ(test::cellOf(labelled(b, "   P GRP"), 1), "***");
    EXPECT_EQ(test::cellOf(labelled(b, "TOT  Lib"), 10), "***");
    EXPECT_EQ(test::cellOf(labelled(b, "TOT  Lib"), 11), "-42");
    EXPECT_EQ(test::cellOf(labelled(b, "     CaC"), 10), "160");

    // "Totali": the remainder by 1000 for presences; free rooms below -99
    // lose their sign.
    const auto totali = totaliBlock(lines);
    EXPECT_EQ(test::cellOf(labelled(totali, "     PrC"), 1), "234");
    EXPECT_EQ(test::cellOf(labelled(totali, "     PrC"), 2), "  0");
    EXPECT_EQ(test::cellOf(labelled(totali, "     PrC"), 7), "   ");
    EXPECT_EQ(test::cellOf(labelled(totali, "     Lib"), 10), "150");
    EXPECT_EQ(test::cellOf(labelled(totali, "     Lib"), 11), "-42");
    EXPECT_EQ(test::cellOf(labelled(totali, "     Lib"), 7), " 10");

    // All hotels: the last three characters; the breakdown shows "***".
    const auto all = afterFormFeed(lines);
    EXPECT_EQ(test::cellOf(labelled(all, "TOT  PrC"), 1), "234");
    EXPECT_EQ(test::cellOf(labelled(all, "TOT  PrC"), 2), "000");
    EXPECT_EQ(test::cellOf(labelled(all, "TOT  Lib"), 10), "150");
    EXPECT_EQ(test::cellOf(labelled(all, "TOT  Lib"), 11), "-42");
    EXPECT_EQ(test::cellOf(labelled(all, "   P GRP"), 1), "***");
    EXPECT_EQ(test::cellOf(labelled(all, "     GRP"), 1), "  1");

    // Tables: six characters.
    EXPECT_EQ(tableLine(lines, "HUGE")[0], "******");
    EXPECT_EQ(tableLine(lines, "BIG")[0], "1234");
    EXPECT_EQ(tableLine(lines, "Totali")[0], "******");
    EXPECT_EQ(tableLine(lines, "Totali")[1], "217");
    EXPECT_EQ(tableLine(lines, "")[2], "******");
}

TEST(Type1Report, HotelLabels)
{
    test::Type1Group group("(1, 1, 'Hotel Bellavista Mare'), (2, 2, 'HOTEL AB'), (3, 3, 'ROMA'),"
                           "(4, 4, NULL), (6, 6, 'HOTEL SEI')",
                           "(1, 'C', 1)");
    group.season("", "");
    const auto lines = group.lines(kDetailAll);
    std::vector<std::string> labels;
    for (const auto& l : lines)
        if (l.find("\xB3---\xB3") != std::string::npos)
            labels.push_back(l.substr(0, 8));
    // Hotel 5 has no registry record: a blank label.
    EXPECT_EQ(labels, (std::vector<std::string>{"Bellavis", "AB      ", "        ", "        ",
                                                "        ", "SEI     "}));
}

TEST(Type1Report, OnlyTickedHotelsArePrintedButTheRangeCountsThemAll)
{
    test::Type1Group group("(1, 1, 'HOTEL UNO'), (2, 2, 'HOTEL DUE')", "(1, 'C', 10), (2, 'C', 5)");
    group.season("(1, 1, 'C', 'ALFA', 'I', '<IND>'), (1, 2, 'C', 'BETA', 'I', '<IND>')",
                 "(1, 1, 'C', '20260305', '20260306', 2, 1),"
                 "(1, 2, 'C', '20260305', '20260306', 3, 2)");
    auto args = kDetailAll;
    args.insert(args.end(), {"--hotels", "1"});
    const auto lines = group.lines(args);
    EXPECT_EQ(test::findLine(lines, "DUE     "), lines.size());
    EXPECT_EQ(test::cellOf(labelled(totaliBlock(lines), "     PrC"), 5), "  2");
    // "Totali" free rooms: the ticked hotel's 10 rooms less its own.
    EXPECT_EQ(test::cellOf(labelled(totaliBlock(lines), "     Lib"), 5), "  9");
    EXPECT_EQ(test::cellOf(labelled(totaliBlock(lines), "     Lib"), 4), " 10");
    const auto all = afterFormFeed(lines);
    EXPECT_EQ(test::cellOf(labelled(all, "TOT  PrC"), 5), "  5");
    EXPECT_EQ(test::cellOf(labelled(all, "TOT  Lib"), 5), " 12");
    EXPECT_EQ(test::cellOf(labelled(all, "   P IND"), 5), "  2");
    // The company table is not filtered by the ticked hotels.
    EXPECT_EQ(tableLine(lines, "BETA")[0], "3");
}

TEST(Type1Report, OptionsShapeTheBlocks)
{
    test::Type1Group group("(1, 1, 'HOTEL UNO')", "(1, 'C', 10)");
    group.season("(1, 1, 'C', 'ALFA', 'I', '<TO>'), (2, 1, 'O', 'BETA', 'I', '<AS>')",
                 "(1, 1, 'C', '20260305', '20260306', 2, 1),"
                 "(2, 1, 'O', '20260305', '20260306', 3, 2)");
    const auto labelsOf = [](const std::vector<std::string>& b) {
        std::vector<std::string> out;
        for (const auto& l : b)
            out.push_back(l.substr(0, 8));
        return out;
    };

    // Optional bookings only.
    auto lines = group.lines({"--from", "03/2026", "--detail", "--kind", "optional"});
    EXPECT_EQ(labelsOf(block(lines, "UNO     ")),
              (std::vector<std::string>{"     PrO", "     CaO", "TOT  PrO", "TOT  CaO", "TOT  Lib",
                                        "   P IND", "     IND", "   P TOP", "     TOP", "   P GRP",
                                        "     GRP", "   P ACS", "     ACS"}));

    // Summary mode: no day grid, no "Totali" block.
    lines = group.lines({"--from", "03/2026", "--kind", "all"});
    EXPECT_EQ(block(lines, "UNO     ").front().substr(0, 8), "TOT  PrC");
    EXPECT_EQ(test::findLine(lines, "Totali  \xB3"), lines.size());
    EXPECT_EQ(lines[test::findLine(lines, "\f") - 1][0], '\xC4');
    EXPECT_EQ(tableLine(lines, "")[0], "2");

    // TOP/ACS grouping: ACS counted into TOP in the hotel blocks only.
    lines = group.lines({"--from", "03/2026", "--kind", "all", "--group-top-acs"});
    const auto b = block(lines, "UNO     ");
    EXPECT_EQ(labelled(b, "     ACS"), "");
    EXPECT_EQ(test::cellOf(labelled(b, "     TOP"), 5), "  3");
    EXPECT_EQ(test::cellOf(labelled(b, "   P TOP"), 5), "  5");
    const auto all = afterFormFeed(lines);
    EXPECT_EQ(test::cellOf(labelled(all, "     TOP"), 5), "  1");
    EXPECT_EQ(test::cellOf(labelled(all, "     ACS"), 5), "  2");
}

TEST(Type1Report, CompanyTableGroupsCompaniesUnderTheirHotels)
{
    test::Type1Group group("(1, 1, 'HOTEL UNO'), (2, 2, 'HOTEL DUE')", "(1, 'C', 10)");
    group.season(
        "(1, 1, 'C', 'zeta', 'I', ''), (2, 1, 'C', 'Alfa', 'I', ''),"
        "(3, 2, 'C', 'UNA DITTA CON UN NOME MOLTO PIU LUNGO DI TRENTA', 'I', ''),"
        "(4, 7, 'C', 'SETTE', 'I', '')",
        "(1, 1, 'C', '20260305', '20260306', 1, 1), (2, 1, 'C', '20260305', '20260306', 2, 1),"
        "(3, 2, 'C', '20260305', '20260306', 3, 1), (4, 7, 'C', '20260305', '20260306', 4, 1)");
    const auto lines = group.lines(kDetailAll);
    std::vector<std::string> names;
    for (std::size_t i = test::findLine(lines, "\xB3Hotel / Agenzia") + 2; lines[i][0] == '\xB3';
         ++i)
        names.push_back(std::string(trimBlanks(lines[i].substr(1, 30))));
    EXPECT_EQ(names, (std::vector<std::string>{"HOTEL UNO", "Alfa", "zeta", "HOTEL DUE",
                                               "UNA DITTA CON UN NOME MOLTO PI", "", "SETTE"}));
    EXPECT_EQ(tableLine(lines, "Totali")[0], "10");
    // Hotel 7 is beyond the registry: no block, and not in the "TOT" lines.
    EXPECT_EQ(test::cellOf(labelled(afterFormFeed(lines), "TOT  PrC"), 5), "  6");
}

TEST(Type1Report, ABuildOnTheWorkerLeavesTheWindowsTablesAlone)
{
    test::Type1Group group("(1, 1, 'HOTEL UNO')", "(1, 'C', 10)");
    group.season("", "");
    FillCalendarTables();
    std::string report, error;
    std::thread worker([&] {
        try {
            report = group.report({"--from", "02/2024"});
        } catch (const std::exception& e) {
            error = e.what();
        }
    });
    worker.join();
    ASSERT_EQ(error, "");
    EXPECT_NE(report.find("(Febbraio )"), std::string::npos);
    // The worker walked February 2024 (29 days) in its own table.
    EXPECT_EQ(DaysInMonth[2], 28);
}

TEST(Type1Report, HeaderOfAShortMonth)
{
    test::Type1Group group("(1, 1, 'HOTEL UNO')", "(1, 'C', 10)");
    group.season("", "");
    const auto lines = group.lines({"--from", "02/2026", "--now", "05/03/2026 09:07"});
    EXPECT_EQ(lines[0], "05/03/2026" + std::string(36, ' ') +
                            "Stampa Presenze per Ditta / Hotel (Febbraio )" + std::string(36, ' ') +
                            "09:07");
    EXPECT_EQ(test::cellOf(lines[2], 28), " 28");
    EXPECT_EQ(test::cellOf(lines[2], 29), " 01");
    EXPECT_EQ(test::cellOf(lines[2], 31), " 03");
    // 01/02/2026 is a Sunday, 01/03/2026 too.
    EXPECT_EQ(test::cellOf(lines[3], 1), "Dom");
    EXPECT_EQ(test::cellOf(lines[3], 29), "Dom");
    EXPECT_EQ(test::cellOf(lines[3], 30), "Lun");
    for (const auto& l : lines)
        EXPECT_LE(l.size(), 133u);
}

TEST(Type1Report, SingleHotelFilterNarrowsTheRangeAndTheFreeRooms)
{
    test::Type1Group group("(1, 1, 'HOTEL UNO'), (2, 2, 'HOTEL DUE')", "(1, 'C', 10), (2, 'C', 5)");
    group.season("(1, 1, 'C', 'ALFA', 'I', ''), (1, 2, 'C', 'BETA', 'I', '')",
                 "(1, 1, 'C', '20260305', '20260306', 2, 1),"
                 "(1, 2, 'C', '20260305', '20260306', 3, 2)");
    Selection s;
    s.kind = BookingKind::All;
    s.summary = false;
    s.singleHotel = true;
    s.comboHotel = 2;
    FillCalendarTables();
    const FixedClock clock = test::fixedClock();
    test::ScriptedInteraction ui;
    ReportContext context{DataFolder(group.path()), "1", clock, ui};
    const auto lines = splitLines(
        test::readFile(runPrintRequest(ReportKind::Type1, {3, 2026, 3, 2026}, s, context)));
    EXPECT_EQ(test::findLine(lines, "UNO     "), lines.size());
    EXPECT_NE(test::findLine(lines, "DUE     "), lines.size());
    EXPECT_EQ(test::cellOf(labelled(totaliBlock(lines), "     Lib"), 5), "  3");
    EXPECT_EQ(test::cellOf(labelled(afterFormFeed(lines), "TOT  Lib"), 5), "  3");
    EXPECT_EQ(tableLine(lines, "ALFA"), std::vector<std::string>{});
}

TEST(Type1Report, HotelNumbersBeyondTwenty)
{
    std::string registry;
    for (int h = 1; h <= 22; ++h)
        registry += (h > 1 ? "," : "") + std::string("(") + std::to_string(h) + ", " +
                    std::to_string(h) + ", 'HOTEL N" + std::to_string(h) + "')";
    test::Type1Group group(registry, "(22, 'C', 9), (21, 'C', 4)");
    group.season("(1, 22, 'C', 'ALFA', 'I', '')", "(1, 22, 'C', '20260305', '20260306', 2, 3)");
    const auto lines = group.lines(kDetailAll);
    EXPECT_EQ(test::cellOf(labelled(block(lines, "N22     "), "TOT  Lib"), 5), "  6");
    EXPECT_EQ(test::cellOf(labelled(afterFormFeed(lines), "TOT  Lib"), 5), " 10");
    EXPECT_EQ(test::cellOf(labelled(totaliBlock(lines), "     Lib"), 5), " 10");
}

TEST(Type1Report, AMonthWithoutDataIsWrittenBlankAndNamedInTheWarning)
{
    test::Type1Group group("(1, 1, 'HOTEL UNO')", "(1, 'C', 10)");
    group.season("(1, 1, 'C', 'ALFA', 'I', '')", "(1, 1, 'C', '20260305', '20260306', 1, 1)");
    test::ScriptedInteraction seen;
    const std::string report =
        group.report({"--from", "02/2026", "--to", "04/2026", "--detail"}, &seen);
    EXPECT_EQ(seen.warnings,
              std::vector<std::string>{"Dati mancanti: Nessun dato soddisfa i criteri di selezione "
                                       "per i mesi: Febbraio 2026, Aprile 2026."});
    EXPECT_NE(report.find("(Aprile   )"), std::string::npos);
}

TEST(Type1Report, MonthsReadFromTheRequestsCacheMatchMonthsReadAlone)
{
    test::TempDir dir;
    test::copyFixture("hotel-edge", dir.path());
    const auto whole = test::buildReport(dir.path(), {"--type", "1", "--from", "01/2024", "--to",
                                                      "03/2024", "--detail", "--kind", "all"});
    std::string alone;
    for (const char* month : {"01/2024", "02/2024", "03/2024"})
        alone += test::buildReport(dir.path(),
                                   {"--type", "1", "--from", month, "--detail", "--kind", "all"});
    EXPECT_TRUE(whole == alone);
    // Three months: three title lines and three form feeds.
    const auto lines = splitLines(whole);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "\f"), 3);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) {
                                return l.find("Stampa Presenze per Ditta / Hotel (") == 46;
                            }),
              3);
}
