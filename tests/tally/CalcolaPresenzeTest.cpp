// The tally over data files: the rows it writes into the working database,
// the archived season, progress and warnings; and the rebuild of the working
// database.

#include "tally/CalcolaPresenze.h"

#include "data/DataError.h"
#include "data/Sqlite.h"
#include "reports/Type1Support.h"
#include "tally/WorkingDatabase.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

struct StoredRow {
    std::int64_t hotel;
    std::string name;
    std::int64_t contatore;
    std::int64_t presenze;
    std::int64_t libere;
    bool operator==(const StoredRow&) const = default;
};

std::vector<StoredRow> storedRows(const fs::path& file)
{
    const Database db(file, Database::Mode::ReadOnly);
    Statement st = db.prepare(
        "SELECT NumeroHotel, NomeDitta, Contatore, Presenze, Libere FROM Presenze ORDER BY rowid");
    std::vector<StoredRow> rows;
    while (st.step())
        rows.push_back({st.integer(0), st.text(1), st.integer(2), st.integer(3), st.integer(4)});
    return rows;
}

std::vector<StoredRow> tallyOnce(test::Type1Group& group, const Selection& selection,
                                 const Date& first, test::ScriptedInteraction& ui)
{
    const FixedClock clock = test::fixedClock();
    ReportContext context{DataFolder(group.path()), "4", clock, ui};
    const fs::path file =
        writeWorkingDatabase(context.folder, "4", CalcolaPresenze(first, selection, context));
    EXPECT_EQ(file, group.path() / "Vallomir4.mdb");
    return storedRows(file);
}

Selection detail()
{
    Selection s;
    s.summary = false;
    return s;
}

} // namespace

TEST(CalcolaPresenze, WritesTheRowsInTheOrderTheyWereMade)
{
    test::Type1Group group("(1, 1, 'HOTEL UNO')", "(1, 'C', 8)");
    group.season("(1, 1, 'C', 'ALFA', 'I', ''), (2, 1, 'C', 'L''ANCORA', 'F', '')",
                 "(2, 1, 'C', '20260301', '20260302', 1, 1),"
                 "(1, 1, 'C', '20260228', '20260302', 2, 1)");
    test::ScriptedInteraction ui;
    const auto rows = tallyOnce(group, detail(), Date{2026, 3, 1}, ui);
    const std::vector<StoredRow> want = {{1, "NAZIONE", 32, 1, 8}, {1, "ALFA", 1, 2, 7},
                                         {1, "ALFA", 41, 2, 7},    {1, "ALFA", 32, 2, 7},
                                         {1, "L'ANCORA", 1, 1, 7}, {1, "L'ANCORA", 41, 1, 7},
                                         {1, "L'ANCORA", 32, 1, 7}};
    EXPECT_EQ(rows, want);
    // The status line names the last counted line.
    ASSERT_FALSE(ui.statuses.empty());
    EXPECT_EQ(ui.statuses.front(), "Hotel:1 Prenotazione n. 1");
    EXPECT_EQ(ui.statuses.back(), "Hotel:1 Prenotazione n. 2");
}

TEST(CalcolaPresenze, ProgressIsThrottled)
{
    std::string headers, lines;
    for (int n = 1; n <= 3000; ++n) {
        headers += (n > 1 ? "," : "") + std::string("(") + std::to_string(n) + ", 1, 'C', 'A', " +
                   "'I', '')";
        lines += (n > 1 ? "," : "") + std::string("(") + std::to_string(n) + ", 1, 'C', " +
                 "'20260301', '20260303', 1, 1)";
    }
    test::Type1Group group("(1, 1, 'HOTEL UNO')", "(1, 'C', 8)");
    group.season(headers, lines);
    test::ScriptedInteraction ui;
    tallyOnce(group, detail(), Date{2026, 3, 1}, ui);
    EXPECT_LT(ui.statuses.size(), 100u);
    EXPECT_EQ(ui.statuses.back(), "Hotel:1 Prenotazione n. 3000");
}

TEST(CalcolaPresenze, ArchivedSeasonReadsBothOfItsFiles)
{
    test::Type1Group group("(1, 1, 'HOTEL UNO')", "(1, 'C', 8)");
    // The current season has no room line numbered 5: the archived booking
    // must still find its own lines.
    group.season("(1, 1, 'C', 'OGGI', 'I', '')", "(1, 1, 'C', '20250301', '20250303', 1, 1)");
    group.season("(5, 1, 'C', 'IERI', 'I', '')", "(5, 1, 'C', '20250301', '20250303', 3, 1)",
                 "2025");
    Selection s = detail();
    s.season = "2025";
    test::ScriptedInteraction ui;
    const auto rows = tallyOnce(group, s, Date{2025, 3, 1}, ui);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[1].name, "IERI");
    EXPECT_EQ(rows[3].presenze, 6);
}

TEST(CalcolaPresenze, BadDatesAreLeftOutWithOneWarning)
{
    test::Type1Group group("(1, 1, 'HOTEL UNO')", "(1, 'C', 8)");
    group.season("(1, 1, 'C', 'A', 'I', ''), (2, 1, 'C', 'B', 'I', ''), (3, 1, 'C', 'C', 'I', '')",
                 "(1, 1, 'C', '20260230', '20260303', 1, 1),"
                 "(2, 1, 'C', '20260301', '2026031', 1, 1),"
                 "(3, 1, 'C', '20260301', '20260302', 1, 1)");
    test::ScriptedInteraction ui;
    const auto rows = tallyOnce(group, detail(), Date{2026, 3, 1}, ui);
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_NE(ui.warnings[0].find("20260230"), std::string::npos);
    EXPECT_NE(ui.warnings[0].find("2026031"), std::string::npos);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1].name, "C");
}

TEST(CalcolaPresenze, NullNumbersCountAsNothing)
{
    test::Type1Group group("(1, 1, 'HOTEL UNO')", "(1, 'C', NULL), (1, 'C', 6)");
    group.season("(1, 1, 'C', NULL, NULL, NULL), (2, 1, 'C', 'B', 'F', ''), (NULL, 1, 'C', 'X', "
                 "'I', '')",
                 "(1, 1, 'C', '20260301', '20260302', 2, NULL),"
                 "(2, 1, 'C', '20260301', '20260302', NULL, 1),"
                 "(NULL, 1, 'C', '20260301', '20260302', 1, 1)");
    test::ScriptedInteraction ui;
    const auto rows = tallyOnce(group, detail(), Date{2026, 3, 1}, ui);
    // Only the first line counts: no company, no nationality (Italian), no rooms.
    const std::vector<StoredRow> want = {
        {1, "NAZIONE", 32, 0, 6}, {1, "", 1, 2, 6}, {1, "", 41, 2, 6}, {1, "", 32, 2, 6}};
    EXPECT_EQ(rows, want);
}

TEST(WorkingDatabase, RebuildReplacesTheFileOnlyWhenComplete)
{
    test::TempDir dir;
    const DataFolder folder(dir.path());
    const PresenzeRow row{3, "ALFA", 1, {5, 0, 1}};
    rebuildWorkingDatabase(folder, "8", [&](const Database& db) {
        PresenzeWriter w(db);
        w.add(row);
        w.finish();
    });
    const std::string before = test::readFile(dir / "Vallomir8.mdb");
    EXPECT_THROW(rebuildWorkingDatabase(folder, "8",
                                        [&](const Database& db) {
                                            PresenzeWriter w(db);
                                            w.add(row);
                                            w.finish();
                                            throw DataError("interrotto");
                                        }),
                 DataError);
    EXPECT_EQ(test::readFile(dir / "Vallomir8.mdb"), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);

    // A new rebuild starts from an empty table.
    rebuildWorkingDatabase(folder, "8", [](const Database&) {});
    EXPECT_TRUE(storedRows(dir / "Vallomir8.mdb").empty());
}

TEST(WorkingDatabase, WriterKeepsEveryRowInOrder)
{
    test::TempDir dir;
    std::vector<std::string> names;
    for (int i = 0; i < 137; ++i)
        names.push_back("Societ\xE0 " + std::to_string(i));
    rebuildWorkingDatabase(DataFolder(dir.path()), "", [&](const Database& db) {
        PresenzeWriter w(db);
        for (int i = 0; i < 137; ++i)
            w.add({i, names[static_cast<std::size_t>(i)], i % 72, {i, 0, 0, 0, -i}});
        w.finish();
    });
    const auto rows = storedRows(dir / "Vallomir.mdb");
    ASSERT_EQ(rows.size(), 137u);
    for (int i = 0; i < 137; ++i)
        EXPECT_EQ(rows[static_cast<std::size_t>(i)],
                  (StoredRow{i, names[static_cast<std::size_t>(i)], i % 72, i, -i}));
}

TEST(WorkingDatabase, RebuildFailsCleanlyInAReadOnlyFolder)
{
    test::TempDir dir;
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(dir.path().c_str(), W_OK) == 0)
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    EXPECT_THROW(rebuildWorkingDatabase(DataFolder(dir.path()), "1", [](const Database&) {}),
                 DataError);
}
