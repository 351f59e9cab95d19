#include "tally/WorkingDatabase.h"

#include "data/Sqlite.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace presenze;

TEST(CreaArchivioLocale, CreatesTheEmptyTableWithItsSixteenFields)
{
    test::TempDir dir;
    CreaArchivioLocale(DataFolder(dir.path()), "7");
    ASSERT_TRUE(std::filesystem::exists(dir / "Vallomir7.mdb"));
    const Database db(dir / "Vallomir7.mdb", Database::Mode::ReadOnly);
    const auto cols = db.columns("Presenze");
    ASSERT_EQ(cols.size(), 16u);
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_EQ(cols[i], kPresenzeFields[i]);
    Statement count = db.prepare("SELECT count(*) FROM Presenze");
    ASSERT_TRUE(count.step());
    EXPECT_EQ(count.integer(0), 0);
    Statement types = db.prepare("SELECT type FROM pragma_table_info('Presenze')");
    std::vector<std::string> t;
    while (types.step())
        t.push_back(types.text(0));
    EXPECT_EQ(t[0], "SMALLINT");
    EXPECT_EQ(t[1], "VARCHAR(100)");
    EXPECT_EQ(t[2], "SMALLINT");
    EXPECT_EQ(t[15], "INTEGER");
}

TEST(CreaArchivioLocale, LeavesAnExistingFileAlone)
{
    test::TempDir dir;
    test::writeFile(dir / "Vallomir.mdb", "not a database");
    CreaArchivioLocale(DataFolder(dir.path()), "");
    EXPECT_EQ(test::readFile(dir / "Vallomir.mdb"), "not a database");
    EXPECT_EQ(workingDatabaseName("7"), "Vallomir7.mdb");
}
