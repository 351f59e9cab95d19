// presenze-cli istat as the user runs it: the text, the CSV and the workbook
// it writes, and what it refuses.

#include "istat/IstatCsv.h"
#include "istat/MovimentoClienti.h"
#include "reports/Type1Support.h"

#include <gtest/gtest.h>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

// Two hotels; hotel 2's only stay leaves before it arrives.
void fillSmallGroup(test::Type1Group& group)
{
    group.season("(1, 1, 'C', 'A', 'D', ''), (2, 2, 'C', 'B', 'I', '')",
                 "(1, 1, 'C', '20261130', '20261203', 2, 1), (2, 2, 'C', '20261110', '20261108', "
                 "1, 1)");
}

} // namespace

TEST(IstatCommand, WritesTheTextTheCsvAndTheWorkbook)
{
    test::Type1Group group("(1, 1, 'HOTEL UNO'), (2, 2, 'HOTEL DUE')", "(1, 'C', 10), (2, 'C', 5)");
    fillSmallGroup(group);
    const auto result = test::runProgram(
        "presenze-cli",
        {"istat", "--month", "11/2026", "--csv", "i.csv", "--xlsx", "i.xlsx", "--hotels", "1,2"},
        group.path());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_NE(result.out.find("Movimento clienti - Novembre 2026 - Hotel 1 HOTEL UNO"),
              std::string::npos);
    // An edited stay is listed, and the run still ends well.
    EXPECT_NE(result.out.find("partenza prima dell'arrivo"), std::string::npos);
    EXPECT_NE(result.out.find("CSV scritto: " + (group.path() / "i.csv").string()),
              std::string::npos);
    const MonthMovement month =
        MovimentoClienti(DataFolder(group.path()), 11, 2026, std::set<std::int64_t>{1, 2}, "");
    EXPECT_EQ(test::readFile(group.path() / "i.csv"), movementCsv(month));
    EXPECT_EQ(test::readFile(group.path() / "i.xlsx").substr(0, 2), "PK");

    const auto one = test::runProgram(
        "presenze-cli", {"istat", "--month=11/2026", "--hotels=2", "--csv", "2.csv"}, group.path());
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.out.find("HOTEL UNO"), std::string::npos);
    EXPECT_EQ(test::readFile(group.path() / "2.csv").find("\r\n1,"), std::string::npos);
}

TEST(IstatCommand, RefusesMistakesAndDataFiles)
{
    test::Type1Group group("(1, 1, 'HOTEL UNO'), (2, 2, 'HOTEL DUE')", "(1, 'C', 10), (2, 'C', 5)");
    fillSmallGroup(group);
    const std::string booking = test::readFile(group.path() / "Scheda_Prenotazione.mdb");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"istat"}, 2, "Indicare il mese con --month MM/AAAA"},
        {{"istat", "--month", "13/2026"}, 2, "Mese non valido"},
        {{"istat", "--month", "11/2026", "--hotels", "3"}, 2, "Hotel sconosciuto: 3"},
        {{"istat", "--month", "11/2026", "--season", "1990"}, 1, "File non trovato"},
        {{"istat", "--month", "11/2026", "--xlsx", "Scheda_Prenotazione.mdb"},
         2,
         "deve terminare in .xlsx"},
        {{"istat", "--month", "11/2026", "--csv", "Scheda_Prenotazione.mdb"},
         1,
         "Il file indicato \xC3\xA8 un file dei dati"},
        {{"istat", "--month", "11/2026", "--csv", "lettihotel.TXT"},
         1,
         "Il file indicato \xC3\xA8 un file dei dati"},
    };
    for (const Case& c : cases) {
        const auto result = test::runProgram("presenze-cli", c.args, group.path());
        EXPECT_EQ(result.status, c.status) << c.args.back();
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "") << c.args.back();
    }
    EXPECT_EQ(test::readFile(group.path() / "Scheda_Prenotazione.mdb"), booking);
    EXPECT_FALSE(fs::exists(group.path() / "lettihotel.TXT"));
}
