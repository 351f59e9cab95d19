#include "common/KV7Routine.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace presenze;

TEST(GiornoSettimana, CountsFromTheFirstMondayOf1996)
{
    EXPECT_EQ(GiornoSettimana("01/01/1996"), 0);
    EXPECT_EQ(GiornoSettimana("07/01/1996"), 6);
    EXPECT_EQ(GiornoSettimana("29/02/2000"), 1);
    EXPECT_EQ(GiornoSettimana("01/03/2025"), 5);
    EXPECT_EQ(DaysInMonth[2], 28);
    EXPECT_EQ(GiornoSettimana("01/03/2024"), 4); // a Friday
    EXPECT_EQ(DaysInMonth[2], 29);
    EXPECT_EQ(GiornoSettimana("08/12/2026"), 1); // a Tuesday
}

TEST(GiornoSettimana, EndsForEveryInput)
{
    // Before 1996 the same leap rule is counted backwards: 31/12/1995 was a Sunday.
    EXPECT_EQ(GiornoSettimana("31/12/1995"), 6);
    EXPECT_EQ(GiornoSettimana("01/13/2024"), 0);
    EXPECT_EQ(GiornoSettimana("01/00/2024"), 0);
    EXPECT_EQ(GiornoSettimana(""), 0);
    EXPECT_EQ(GiornoSettimana("xx/yy/zzzz"), 0);
    // 2100 counts as a leap year, as the walk over the months does.
    EXPECT_EQ((GiornoSettimana("01/03/2100") - GiornoSettimana("28/02/2100") + 7) % 7, 2);
}

TEST(DataEstesa, ExpandsCompactDates)
{
    std::string a = "311299", b = "050119", c = "05012019", d = "5/01/19", e = "010120";
    EXPECT_EQ(DataEstesa(a), "31/12/1999");
    EXPECT_EQ(a, "31/12/1999");
    EXPECT_EQ(DataEstesa(b), "05/01/2019");
    EXPECT_EQ(DataEstesa(c), "05/01/2019");
    EXPECT_EQ(DataEstesa(d), "5/01/19");
    EXPECT_EQ(DataEstesa(e), "01/01/1920");
}

TEST(FiltraTesto, FiltersByMode)
{
    EXPECT_EQ(FiltraTesto("l'ora", 0), "L\xB4ORA");
    EXPECT_EQ(FiltraTesto("", 0), " ");
    EXPECT_EQ(FiltraTesto("12a,5-", 1), "12,5-");
    EXPECT_EQ(FiltraTesto("abc", 1), "0");
    EXPECT_EQ(FiltraTesto("abc", 2), "0");
    EXPECT_EQ(FiltraTesto("citt\xE0", 0), "CITT\xC0");
}

TEST(InElencoDitte, StopsAtTheFirstEmptyEntryAndNeverReadsEntry100)
{
    std::array<std::string, 101> list;
    list[1] = "BIANCHI";
    list[2] = "ROSSI";
    EXPECT_EQ(InElencoDitte("  ROSSI  ", list), 1);
    EXPECT_EQ(InElencoDitte("Rossi", list), 0);
    list[2] = "";
    list[3] = "ROSSI";
    EXPECT_EQ(InElencoDitte("ROSSI", list), 0);
    for (int i = 1; i <= 99; ++i)
        list[i] = "X" + std::to_string(i);
    list[100] = "ROSSI";
    EXPECT_EQ(InElencoDitte("ROSSI", list), 0);
    EXPECT_EQ(InElencoDitte("X99", list), 1);
}

TEST(TogliGrafica, ReplacesBoxDrawingInPlace)
{
    std::string line = "\xDA\xC4\xC4\xC4\xBF";
    EXPECT_EQ(TogliGrafica(line), "-----");
    EXPECT_EQ(line, "-----");
    std::string kept = "\xB3x\xB5\xCD\xA6";
    EXPECT_EQ(TogliGrafica(kept), "|x\xB5\xCD\xA6");
}

TEST(Bisestile, HasNoCenturyRule)
{
    EXPECT_TRUE(Bisestile(2100));
    EXPECT_TRUE(Bisestile(2024));
    EXPECT_FALSE(Bisestile(2023));
}

TEST(CompanyList, LoadsTheFirstHundredNamesTrimmed)
{
    test::TempDir dir;
    std::string content;
    content += "    12 ROSSI SRL   \r\n";
    for (int i = 2; i <= 120; ++i)
        content +=
            "   " + std::to_string(100 + i).substr(0, 3) + " DITTA " + std::to_string(i) + "\r\n";
    test::writeFile(dir / "elencoditte.TXT", content);
    const auto list = ReadCompanyList(DataFolder(dir.path()));
    EXPECT_EQ(list[1], "ROSSI SRL");
    EXPECT_EQ(list[100], "DITTA 100");
    EXPECT_EQ(InElencoDitte("DITTA 101", list), 0);

    test::TempDir empty;
    EXPECT_EQ(ReadCompanyList(DataFolder(empty.path()))[1], "");
}

TEST(NumericValue, ReadsLeadingDigits)
{
    EXPECT_EQ(NumericValue("7a"), 7);
    EXPECT_EQ(NumericValue("  12"), 12);
    EXPECT_EQ(NumericValue("abc"), 0);
    EXPECT_EQ(NumericValue("-3"), -3);
    EXPECT_EQ(NumericValue("99999999999999999999999"), NumericValue("9999999999999999999"));
}
