#include "common/CompanyListFile.h"

#include "common/KV7Routine.h"
#include "data/CompanyListLine.h"
#include "data/DataError.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace presenze;

TEST(CompanyListFile, ItemsCarryTheCodeRightAlignedInSixCharacters)
{
    EXPECT_EQ(companyListLine(45, "BIANCHI SNC"), "    45 BIANCHI SNC");
    EXPECT_EQ(companyListLine(123456, "MINI SRL"), "123456 MINI SRL");
    EXPECT_TRUE(fitsCompanyListLine("123456 MINI SRL"));
    EXPECT_FALSE(fitsCompanyListLine(companyListLine(1234567, "TROPPO SRL")));
    EXPECT_FALSE(fitsCompanyListLine("    45"));
}

TEST(CompanyListFile, SearchTextIsUpperCaseWithTheAcuteAccent)
{
    EXPECT_EQ(companySearchText("d'angelo "), "D\xB4"
                                              "ANGELO");
    EXPECT_EQ(companySearchText(""), "");
    EXPECT_EQ(companySearchText("  "), "");
}

TEST(CompanyListFile, CandidatesArePagesOfFiftyInTableOrder)
{
    std::vector<CompanyRecord> companies;
    for (int i = 1; i <= 70; ++i)
        companies.push_back({1 + i % 2, i, "DITTA " + std::to_string(i), "ROMA"});
    companies.push_back({1, 0, "SENZA CODICE", ""});
    companies.push_back({2, 99, "D'ANGELO VIAGGI", ""});
    companies.push_back({2, 98,
                         "D\xB4"
                         "ANGELO HOTEL",
                         ""});

    const auto first = candidateItems(companies, std::nullopt, std::nullopt);
    ASSERT_EQ(first.size(), 50u);
    EXPECT_EQ(first.front(), "     1 DITTA 1");
    EXPECT_EQ(first.back(), "    50 DITTA 50");

    // A narrower search reaches companies after the fiftieth.
    EXPECT_EQ(candidateItems(companies, std::string_view("DITTA 6"), std::nullopt),
              (std::vector<std::string>{"     6 DITTA 6", "    60 DITTA 60", "    61 DITTA 61",
                                        "    62 DITTA 62", "    63 DITTA 63", "    64 DITTA 64",
                                        "    65 DITTA 65", "    66 DITTA 66", "    67 DITTA 67",
                                        "    68 DITTA 68", "    69 DITTA 69"}));
    // The acute accent of the search finds names written either way.
    EXPECT_EQ(candidateItems(companies, companySearchText("d'angelo"), std::nullopt),
              (std::vector<std::string>{"    99 D'ANGELO VIAGGI", "    98 D\xB4"
                                                                  "ANGELO HOTEL"}));
    EXPECT_TRUE(candidateItems(companies, std::string_view("SENZA"), std::nullopt).empty());
    const auto hotel2 = candidateItems(companies, std::nullopt, 2);
    EXPECT_EQ(hotel2.front(), "     1 DITTA 1");
    EXPECT_EQ(hotel2[1], "     3 DITTA 3");
}

TEST(CompanyListFile, WritesLinesThatTheReadersReadBack)
{
    test::TempDir dir;
    const DataFolder folder(dir.path());
    writeCompanyListFile(folder,
                         {companyListLine(45, "BIANCHI SNC"), companyListLine(7, "L'ANCORA VIAGGI"),
                          companyListLine(45, "BIANCHI SNC")});
    EXPECT_EQ(test::readFile(dir / "ElencoDitte.txt"),
              "    45 BIANCHI SNC\r\n     7 L'ANCORA VIAGGI\r\n    45 BIANCHI SNC\r\n");
    const auto names = ReadCompanyList(folder);
    EXPECT_EQ(names[1], "BIANCHI SNC");
    EXPECT_EQ(names[2], "L'ANCORA VIAGGI");
    EXPECT_EQ(names[3], "BIANCHI SNC");

    // An existing file under another case is replaced, not duplicated.
    std::filesystem::rename(dir / "ElencoDitte.txt", dir / "ELENCODITTE.TXT");
    writeCompanyListFile(folder, {});
    EXPECT_EQ(test::readFile(dir / "ELENCODITTE.TXT"), "");
    EXPECT_FALSE(std::filesystem::exists(dir / "ElencoDitte.txt"));
    EXPECT_EQ(ReadCompanyList(folder)[1], "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}
