// The month's rows as the Type 1 report reads them from the tally in memory,
// against the same rows read back from the working database the tally is
// written into: both views must agree on every data set, in detail and in
// summary mode, month after month.

#include "reports/type1/MonthRows.h"

#include "common/KV7Routine.h"
#include "data/Sqlite.h"
#include "data/Text1252.h"
#include "demo/GroupGenerator.h"
#include "reports/Type1Support.h"
#include "tally/CalcolaPresenze.h"
#include "tally/Saturating.h"

#include <gtest/gtest.h>
#include <limits>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

// The view read from the working database, as a reader of the file sees
// it: day rows summed in the table's order (Contatore 1..31 without the rows
// named "NAZIONE", Contatore 41..71 whatever their name), period rows ordered
// by NumeroHotel, NomeDitta in the booking software's text order, then
// row order.
MonthRows readMonthRows(const fs::path& file)
{
    const Database work(file, Database::Mode::ReadOnly);
    const std::string counters =
        "Presenze, PresOpz, Camere, Opzioni, Libere, Gruppi, Individuali, TourOp, AccSpec, "
        "GruppiC, IndividualiC, TourOpC, AccSpecC";
    const auto readCounters = [](const Statement& st, PresenzeCounters& values) {
        for (int f = 0; f < kPresenzeCounterCount; ++f)
            values[f] = st.integer(3 + f);
    };
    const auto add = [](PresenzeCounters& sum, const PresenzeCounters& values) {
        for (int f = 0; f < kPresenzeCounterCount; ++f)
            addSaturating(sum[f], values[f]);
    };

    MonthRows rows;
    PresenzeCounters values{};
    Statement days = work.prepare("SELECT NumeroHotel, Contatore, NomeDitta, " + counters +
                                  " FROM Presenze WHERE NumeroHotel > 0 AND Contatore <> 32 "
                                  "ORDER BY rowid");
    while (days.step()) {
        const std::int64_t contatore = days.integer(1);
        const bool grid = contatore >= 1 && contatore <= 31;
        const bool totals = contatore >= 41 && contatore <= 71;
        if ((!grid && !totals) || (grid && equalText(days.text(2), "NAZIONE")))
            continue;
        HotelDays& hotel = rows.hotels[days.integer(0)];
        const auto day = static_cast<std::size_t>(grid ? contatore - 1 : contatore - 41);
        readCounters(days, values);
        add(grid ? hotel.grid[day] : hotel.totals[day], values);
        (grid ? hotel.inGrid : hotel.inTotals)[day] = true;
    }
    Statement period = work.prepare("SELECT NumeroHotel, NomeDitta, NULL, " + counters +
                                    " FROM Presenze WHERE NumeroHotel > 0 AND Contatore = 32"
                                    " ORDER BY NumeroHotel, NomeDitta COLLATE TESTO, rowid");
    while (period.step()) {
        readCounters(period, values);
        if (equalText(period.text(1), "NAZIONE")) {
            rows.hasNation = true;
            add(rows.nation, values);
            continue;
        }
        rows.companies.push_back({period.integer(0), period.text(1), values});
    }
    return rows;
}

// Tallies every month of the range over the folder, writes each month's
// working database and checks that both views agree.
void expectViewsAgree(const fs::path& folder, const Selection& selection,
                      const std::vector<Date>& months)
{
    test::ScriptedInteraction ui;
    const FixedClock clock = test::fixedClock();
    ReportContext context{DataFolder(folder), "6", clock, ui};
    for (const auto& month : months) {
        const PresenzeTally tally = CalcolaPresenze(month, selection, context);
        const fs::path file = writeWorkingDatabase(context.folder, "6", tally);
        const MonthRows fromMemory = monthRowsOf(tally);
        const MonthRows fromFile = readMonthRows(file);
        EXPECT_EQ(fromMemory.hotels.size(), fromFile.hotels.size()) << month.toDisplay();
        EXPECT_EQ(fromMemory.companies.size(), fromFile.companies.size()) << month.toDisplay();
        EXPECT_TRUE(fromMemory == fromFile) << month.toDisplay() << " over " << folder.string();
    }
}

Selection selectionOf(BookingKind kind, bool summary)
{
    Selection s;
    s.kind = kind;
    s.summary = summary;
    return s;
}

} // namespace

TEST(MonthRows, MemoryAndWorkingDatabaseAgreeOverTheSharedDataSets)
{
    FillCalendarTables();
    for (const char* data : {"hotel", "hotel-edge"}) {
        test::TempDir dir;
        test::copyFixture(data, dir.path());
        for (const bool summary : {false, true})
            for (const BookingKind kind :
                 {BookingKind::Confirmed, BookingKind::Optional, BookingKind::All})
                expectViewsAgree(dir.path(), selectionOf(kind, summary),
                                 {Date{2024, 1, 1}, Date{2024, 2, 1}, Date{2024, 3, 1}});
    }
}

TEST(MonthRows, MemoryAndWorkingDatabaseAgreeOverAGeneratedGroup)
{
    FillCalendarTables();
    test::TempDir dir;
    GroupOptions group;
    group.hotels = 5;
    group.companies = 120;
    group.roomLines = 3000;
    group.reference = Date{2026, 6, 1};
    group.monthsBefore = 2;
    group.monthsAfter = 2;
    group.seed = 7;
    group.archivedSeason.clear();
    writeGroup(dir.path(), group);
    for (const bool summary : {false, true})
        expectViewsAgree(dir.path(), selectionOf(BookingKind::All, summary),
                         {Date{2026, 4, 1}, Date{2026, 5, 1}, Date{2026, 6, 1}, Date{2026, 7, 1},
                          Date{2026, 8, 1}});
}

TEST(MonthRows, MemoryAndWorkingDatabaseAgreeOnNamesAndAbsurdNumbers)
{
    FillCalendarTables();
    // Case variants of one company, a company named like the nationality
    // rows, names that sort apart only by their accents or bytes, sums that
    // stop at the ends of the range, a hotel beyond twenty.
    const std::int64_t huge = std::numeric_limits<std::int64_t>::max() / 3;
    test::Type1Group group("(1, 1, 'UNO'), (2, 2, 'DUE'), (25, 25, 'VENTICINQUE')",
                           "(1, 'C', 10), (2, 'C', 4), (25, 'C', 3)");
    const std::string big = std::to_string(huge);
    group.season("(1, 1, 'C', 'Rossi', 'I', '<GRP>'), (2, 1, 'C', 'ROSSI', 'F', '<TO>'),"
                 "(3, 1, 'O', 'Nazione', '', ''), (4, 2, 'C', '\xC3\xA0lfa', 'D', '<AS>'),"
                 "(5, 2, 'C', 'ALFA', 'I', '<IND>'), (6, 2, 'O', 'alfa', NULL, NULL),"
                 "(7, 25, 'C', 'ZETA', 'I', ''), (8, 1, 'C', 'BIG', 'F', '<GRP>'),"
                 "(9, 1, 'C', 'BIG', 'F', '<GRP>')",
                 "(1, 1, 'C', '20260225', '20260305', 2, 1),"
                 "(2, 1, 'C', '20260301', '20260410', 3, 2),"
                 "(3, 1, 'O', '20260310', '20260312', 1, 1),"
                 "(4, 2, 'C', '20260301', '20260302', 2, 1),"
                 "(5, 2, 'C', '20260305', '20260306', 2, 1),"
                 "(6, 2, 'O', '20260305', '20260309', 4, 2),"
                 "(7, 25, 'C', '20260320', '20260322', 1, 1),"
                 "(8, 1, 'C', '20260301', '20260331', " +
                     big + ", -" + big +
                     "),"
                     "(9, 1, 'C', '20260301', '20260331', " +
                     big + ", " + big + ")");
    for (const bool summary : {false, true})
        expectViewsAgree(group.path(), selectionOf(BookingKind::All, summary),
                         {Date{2026, 2, 1}, Date{2026, 3, 1}, Date{2026, 4, 1}});
}

namespace {

// Every field of every row of Presenze, in row order.
std::vector<std::vector<std::string>> storedTable(const fs::path& file)
{
    const Database db(file, Database::Mode::ReadOnly);
    Statement st = db.prepare("SELECT * FROM Presenze ORDER BY rowid");
    std::vector<std::vector<std::string>> rows;
    while (st.step()) {
        std::vector<std::string> row;
        for (int c = 0; c < st.columnCount(); ++c)
            row.push_back(std::to_string(st.type(c)) + ":" + st.text(c));
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

TEST(MonthRows, ARequestLeavesTheLastMonthsTallyInTheWorkingDatabase)
{
    FillCalendarTables();
    test::TempDir dir;
    test::copyFixture("hotel-edge", dir.path());
    test::writeFile(dir / "Vallomir3.mdb", "left by an earlier request");
    test::buildReport(dir.path(), {"--type", "1", "--from", "12/2023", "--to", "02/2024",
                                   "--detail", "--kind", "all", "--station", "3"});

    // The same month tallied alone, written by itself.
    test::ScriptedInteraction ui;
    const FixedClock clock = test::fixedClock();
    ReportContext context{DataFolder(dir.path()), "4", clock, ui};
    Selection selection = selectionOf(BookingKind::All, false);
    const fs::path alone = writeWorkingDatabase(
        context.folder, "4", CalcolaPresenze(Date{2024, 2, 1}, selection, context));

    const auto left = storedTable(dir / "Vallomir3.mdb");
    ASSERT_FALSE(left.empty());
    EXPECT_EQ(left, storedTable(alone));
    // No temporary file of the working database is left behind.
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos)
            << entry.path().filename();
}
