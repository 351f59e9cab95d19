// Odd values in otherwise sound data files: names that would break a query
// built by concatenation, names too long or not in Windows-1252, hotel
// numbers outside 1..20, room lines without their header, headers twice,
// negative and huge counts. The reports come out whole and right, or stop
// with a message; nothing overflows silently.

#include "app/BadInput.h"
#include "common/ReportFile.h"
#include "data/Sqlite.h"
#include "data/Text1252.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace presenze;
using test::failsNaming;
using test::succeeds;
namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kDetailAll = {"--detail", "--kind", "all", "--now",
                                             "08/12/2026 14:00"};

std::vector<std::string> withArgs(std::vector<std::string> args,
                                  const std::vector<std::string>& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

std::string report(const test::DemoCopy& dir)
{
    return test::readFile(dir / "fd3");
}

// Header numbers of bookings that have room lines in the demo month.
std::vector<std::int64_t> bookingsOfTheMonth(const test::DemoCopy& dir, int count)
{
    const Database db(dir / "Camere_Prenotazione.mdb", Database::Mode::ReadOnly);
    Statement st = db.prepare("SELECT DISTINCT NumeroPrenotazione FROM Camere_Prenotazione "
                              "WHERE NumeroHotel = 2 AND DataArrivo <= '20260228' AND "
                              "DataPartenza > '20260201' ORDER BY 1 LIMIT ?1");
    st.bind(1, count);
    std::vector<std::int64_t> numbers;
    while (st.step())
        numbers.push_back(st.integer(0));
    return numbers;
}

} // namespace

TEST(OddNames, QuotesWildcardsAndLongNamesArePlainText)
{
    const std::string longName(500, 'L');
    const std::vector<std::string> names = {"L'ORA D'ORO",
                                            "DITTA \"LA RUOTA\"",
                                            "SCONTO 100%",
                                            "STELLA * TRE",
                                            "[CLIENTI] SPA",
                                            longName,
                                            "X'; DROP TABLE Scheda_Prenotazione; --"};
    test::DemoCopy dir;
    const auto bookings = bookingsOfTheMonth(dir, static_cast<int>(names.size()));
    ASSERT_EQ(bookings.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string quoted;
        for (char c : names[i])
            quoted += c == '\'' ? std::string("''") : std::string(1, c);
        dir.sql("Scheda_Prenotazione.mdb", "UPDATE Scheda_Prenotazione SET Ditta = '" + quoted +
                                               "' WHERE NumeroHotel = 2 AND NumeroPrenotazione = " +
                                               std::to_string(bookings[i]));
    }
    for (const int type : {1, 2}) {
        ASSERT_TRUE(succeeds(test::runReport(type, dir.path(), kDetailAll)));
        const std::string text = report(dir);
        for (const auto& name : names) {
            // Type 1 cuts names to its column; Type 2 keeps them whole.
            const std::string shown = type == 1 ? name.substr(0, 20) : name;
            EXPECT_NE(text.find(shown), std::string::npos) << "Tipo " << type << ": " << shown;
        }
    }
    // Each name as the single company: exactly that company (Type 1 compares
    // the whole name, Type 2 takes it as a literal prefix).
    for (const auto& name : names) {
        for (const int type : {1, 2}) {
            const auto result =
                test::runReport(type, dir.path(), withArgs(kDetailAll, {"--company", name}));
            ASSERT_TRUE(succeeds(result)) << name;
            const std::string text = report(dir);
            EXPECT_NE(text.find(type == 1 ? name.substr(0, 20) : name), std::string::npos)
                << "Tipo " << type << ": " << name;
            for (const auto& other : names)
                if (other != name && !other.starts_with(name)) {
                    EXPECT_EQ(text.find(type == 1 ? other.substr(0, 20) : other), std::string::npos)
                        << "Tipo " << type << ": " << name << " shows " << other;
                }
        }
    }
    // Wildcards typed as the company match only names that begin with them.
    for (const std::string pattern : {"%", "*", "_", "?", "'", "\""}) {
        const auto result =
            test::runReport(2, dir.path(), withArgs(kDetailAll, {"--company", pattern}));
        EXPECT_TRUE(succeeds(result)) << pattern;
        EXPECT_NE(result.err.find("Nessun dato soddisfa i criteri di selezione"), std::string::npos)
            << pattern;
    }
}

TEST(OddNames, NamesOutsideWindows1252BecomeQuestionMarks)
{
    test::DemoCopy dir;
    const auto bookings = bookingsOfTheMonth(dir, 1);
    ASSERT_EQ(bookings.size(), 1u);
    dir.sql("Scheda_Prenotazione.mdb",
            "UPDATE Scheda_Prenotazione SET Ditta = '\xE4\xB8\xAD\xE6\x96\x87 \xE2\x98\x83 "
            "CAF\xC3\x89' WHERE NumeroHotel = 2 AND NumeroPrenotazione = " +
                std::to_string(bookings[0]));
    for (const int type : {1, 2}) {
        ASSERT_TRUE(succeeds(test::runReport(type, dir.path(), kDetailAll)));
        // Two Chinese characters, a snowman, and a Windows-1252 letter kept
        // (a capital that shares its byte with a frame, as its small letter).
        EXPECT_NE(report(dir).find("?? ? CAF\xE9"), std::string::npos) << "Tipo " << type;
    }
    // Bytes that are not UTF-8 at all.
    dir.sql("Scheda_Prenotazione.mdb",
            "UPDATE Scheda_Prenotazione SET Ditta = CAST(x'c328ff41' AS TEXT) WHERE "
            "NumeroHotel = 2 AND NumeroPrenotazione = " +
                std::to_string(bookings[0]));
    for (const int type : {1, 2})
        EXPECT_TRUE(succeeds(test::runReport(type, dir.path(), kDetailAll)));
}

TEST(OddNumbers, HotelsOutsideTheRegistryAndBeyondTwenty)
{
    test::DemoCopy dir;
    ASSERT_TRUE(succeeds(test::runReport(1, dir.path(), kDetailAll)));
    const std::string before1 = report(dir);
    ASSERT_TRUE(succeeds(test::runReport(2, dir.path(), kDetailAll)));
    const std::string before2 = report(dir);

    // Bookings, room types and registry records of hotels 0, -1, 21 and 999.
    for (const int hotel : {0, -1, 21, 999}) {
        const std::string h = std::to_string(hotel);
        dir.sql("Scheda_Prenotazione.mdb", "INSERT INTO Scheda_Prenotazione VALUES (900001, " + h +
                                               ", 'C', 'DITTA HOTEL " + h + "', 1, 'I', '')");
        dir.sql("Camere_Prenotazione.mdb", "INSERT INTO Camere_Prenotazione VALUES (900001, " + h +
                                               ", 'C', '20260205', '20260207', 2, 1, '', 1, 100)");
        dir.sql("TipiCamere.mdb", "INSERT INTO TipiCamere VALUES (" + h + ", 'C', 5)");
    }
    for (const int type : {1, 2}) {
        ASSERT_TRUE(succeeds(test::runReport(type, dir.path(), kDetailAll)));
        const std::string text = report(dir);
        EXPECT_NE(text, type == 1 ? before1 : before2) << "Tipo " << type;
    }
    // Type 2 covers every hotel with bookings, whatever its number.
    const std::string text = report(dir);
    for (const char* hotel :
         {"DITTA HOTEL 0", "DITTA HOTEL -1", "DITTA HOTEL 21", "DITTA HOTEL 999"})
        EXPECT_NE(text.find(hotel), std::string::npos) << hotel;

    // Hotel numbers asked for that the registry does not have.
    for (const char* hotels : {"0", "-1", "21", "999", "1,21", "1,,2", "1;2", "x"}) {
        const auto result = test::runReport(1, dir.path(), {"--hotels", hotels});
        EXPECT_EQ(result.status, 2) << hotels;
        EXPECT_NE(result.err.find("otel"), std::string::npos) << result.err;
    }
    // A registry that numbers hotels up to 999 with gaps.
    dir.sql("AnagraficaHotels.mdb", "INSERT INTO AnagraficaHotels VALUES (21, 21, 'VENTUNO', ''),"
                                    "(999, 999, 'NOVECENTO', ''), (0, 0, 'ZERO', ''),"
                                    "(-1, -1, 'MENO UNO', '')");
    for (const int type : {1, 2})
        EXPECT_TRUE(succeeds(
            test::runReport(type, dir.path(), withArgs(kDetailAll, {"--hotels", "1,21,999"}))));
}

TEST(OddNumbers, RoomLinesWithoutHeaderAndHeadersTwice)
{
    test::DemoCopy dir;
    const auto bookings = bookingsOfTheMonth(dir, 4);
    ASSERT_EQ(bookings.size(), 4u);
    ASSERT_TRUE(succeeds(test::runReport(1, dir.path(), kDetailAll)));
    const std::string before = report(dir);

    // Without its header a room line names no company and counts nowhere.
    test::DemoCopy orphan;
    orphan.sql("Scheda_Prenotazione.mdb", "DELETE FROM Scheda_Prenotazione WHERE NumeroHotel = 2 "
                                          "AND NumeroPrenotazione = " +
                                              std::to_string(bookings[0]));
    for (const int type : {1, 2})
        EXPECT_TRUE(succeeds(test::runReport(type, orphan.path(), kDetailAll)));

    // A header written twice: the first one counts; the report does not double.
    test::DemoCopy twice;
    twice.sql("Scheda_Prenotazione.mdb",
              "INSERT INTO Scheda_Prenotazione SELECT NumeroPrenotazione, NumeroHotel, "
              "TipoPrenotazione, 'COPIA DOPPIA', CodiceDitta, Nazione, Commento FROM "
              "Scheda_Prenotazione WHERE NumeroHotel = 2");
    ASSERT_TRUE(succeeds(test::runReport(1, twice.path(), kDetailAll)));
    EXPECT_EQ(report(twice), before);
    EXPECT_TRUE(succeeds(test::runReport(2, twice.path(), kDetailAll)));
}

TEST(OddNumbers, NegativeAndHugeCountsNeverOverflowSilently)
{
    // Negative persons and rooms are counted as they are, like any value.
    test::DemoCopy negative;
    const auto bookings = bookingsOfTheMonth(negative, 1);
    ASSERT_EQ(bookings.size(), 1u);
    const std::string booking =
        " WHERE NumeroHotel = 2 AND NumeroPrenotazione = " + std::to_string(bookings[0]);
    negative.sql("Camere_Prenotazione.mdb",
                 "UPDATE Camere_Prenotazione SET NumeroPersone = -5, \"Quantit\xC3\xA0"
                 "Camere\" = -2" +
                     booking);
    negative.sql("TipiCamere.mdb", "UPDATE TipiCamere SET Quantita = -3 WHERE rowid = 1");
    for (const int type : {1, 2})
        EXPECT_TRUE(succeeds(test::runReport(type, negative.path(), kDetailAll)));

    // Ten million persons on one line: Type 1 shows the cells it cannot hold
    // as asterisks, Type 2 widens them; the totals are right.
    test::DemoCopy big;
    big.sql("Camere_Prenotazione.mdb",
            "UPDATE Camere_Prenotazione SET NumeroPersone = 10000000" + booking);
    ASSERT_TRUE(succeeds(test::runReport(1, big.path(), kDetailAll)));
    EXPECT_NE(report(big).find("***"), std::string::npos);
    ASSERT_TRUE(succeeds(test::runReport(2, big.path(), kDetailAll)));
    EXPECT_NE(report(big).find("1000000"), std::string::npos);

    // Counts beyond the 32-bit totals of Type 2 stop it with a message naming
    // the hotel and the company; Type 1 keeps its asterisks.
    for (const char* huge : {"3000000000", "9223372036854775807", "-9223372036854775808"}) {
        test::DemoCopy dir;
        dir.sql("Camere_Prenotazione.mdb",
                std::string("UPDATE Camere_Prenotazione SET NumeroPersone = ") + huge + booking);
        EXPECT_TRUE(succeeds(test::runReport(1, dir.path(), kDetailAll))) << huge;
        test::writeFile(dir / "fd3", test::kOldReport);
        EXPECT_TRUE(failsNaming(test::runReport(2, dir.path(), kDetailAll),
                                {"hotel 2", "troppo", "Camere_Prenotazione.mdb"}))
            << huge;
        EXPECT_EQ(report(dir), test::kOldReport);
    }
    // Amounts beyond the currency's range are named with their field by
    // Type 2, the report that reads prices.
    for (const char* price : {"1e300", "9e18", "-1e30"}) {
        test::DemoCopy dir;
        dir.sql("Camere_Prenotazione.mdb",
                std::string("UPDATE Camere_Prenotazione SET Prezzo = ") + price + booking);
        EXPECT_TRUE(failsNaming(test::runReport(2, dir.path(), kDetailAll),
                                {"Camere_Prenotazione.mdb", "campo Prezzo"}))
            << price;
        EXPECT_TRUE(succeeds(test::runReport(1, dir.path(), kDetailAll))) << price;
    }
    // Stays of thousands of years, reversed stays, huge tariff periods.
    test::DemoCopy odd;
    odd.sql("Camere_Prenotazione.mdb",
            "INSERT INTO Camere_Prenotazione VALUES (1, 2, 'C', '00010101', '99991231', 2, 1, '', "
            "9223372036854775807, 10), (2, 2, 'C', '20260210', '20260205', 2, 1, '', 1, 10)");
    for (const int type : {1, 2})
        EXPECT_TRUE(succeeds(test::runReport(type, odd.path(), kDetailAll)));
}

TEST(OddNumbers, AMillionCharacterNoteIsRead)
{
    test::DemoCopy dir;
    const auto bookings = bookingsOfTheMonth(dir, 1);
    ASSERT_EQ(bookings.size(), 1u);
    dir.sql("Camere_Prenotazione.mdb",
            "UPDATE Camere_Prenotazione SET Note = printf('%.*c', 1000000, 'x') || '<GRP>' "
            "WHERE NumeroHotel = 2 AND NumeroPrenotazione = " +
                std::to_string(bookings[0]));
    for (const int type : {1, 2})
        EXPECT_TRUE(succeeds(test::runReport(type, dir.path(), kDetailAll)));
}
