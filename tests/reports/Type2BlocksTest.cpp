// The Type 2 report's line writer, room summary and company filter, on their own.

#include "common/ReportFile.h"
#include "data/DataError.h"
#include "reports/type2/FiltroDitte.h"
#include "reports/type2/RiepilogoCamere.h"
#include "reports/type2/ScriviRiga.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <limits>

using namespace presenze;

namespace {

// A report writer over a string.
struct Output {
    test::FailingSink sink{std::numeric_limits<std::size_t>::max()};
    ReportWriter out{sink};
    std::vector<std::string> lines() const { return splitLines(sink.written); }
};

std::string cells(std::string line)
{
    for (char& c : line)
        if (c == '|')
            c = '\xB3';
    return line;
}

const std::string kBlank =
    cells("|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |"
          "   |   |   |   |   |   |   |   |   |   |   |   |   |   |");

} // namespace

TEST(ScriviRiga, SumsTheAmountExactlyAndRoundsItOnceTiesToEven)
{
    const struct {
        std::vector<std::int64_t> units; // each day's amount, 1/10000
        const char* shown;               // the summary's amount, 12 wide
    } cases[] = {
        // Ten nights at 104.65 are 1046.50: 1046, not the 1050 of rounding each day.
        {std::vector<std::int64_t>(10, 1046500), "        1046"},
        {{105000, 105000, -5000}, "          20"}, // 20.5 rounds to the even 20
        {{105000, 105000, 10000}, "          22"}, // 22.0
        {{4999, 2}, "           1"},               // 0.5001: above the half
    };
    for (const auto& c : cases) {
        Tipo2Tables t;
        Currency exact;
        for (std::size_t d = 0; d < c.units.size(); ++d) {
            t.GiornoTipo2[d + 1] = {1, 0, 1, 0, Currency{c.units[d]}};
            exact += Currency{c.units[d]};
        }
        Output o;
        ScriviRiga(o.out, "ROSSI", t, BookingKind::Confirmed);
        EXPECT_EQ(o.lines().size(), 3u); // name, PrC, CON
        EXPECT_EQ(t.RiepilogoDitte.substr(t.RiepilogoDitte.size() - 13), c.shown + cells("|"));
        EXPECT_EQ(t.TotaleGenerale.Importo, exact); // the grand total adds the exact amount
        EXPECT_EQ(t.GiornoTipo2[1].Importo, Currency{});
    }
    // An amount whose whole number leaves the 32-bit range stops the report.
    Tipo2Tables t;
    t.GiornoTipo2[1] = {1, 0, 1, 0, Currency::whole(std::int64_t{1} << 31)};
    Output o;
    EXPECT_THROW(ScriviRiga(o.out, "ROSSI", t, BookingKind::Confirmed), DataError);
}

TEST(ScriviRiga, WidensBigCellsAndKeepsLongNamesWhole)
{
    Tipo2Tables t;
    t.GiornoTipo2[31] = {0, 1234, 0, 7, {}};
    Output o;
    const std::string name(40, 'N');
    ScriviRiga(o.out, name, t, BookingKind::Optional);
    const auto lines = o.lines();
    ASSERT_EQ(lines.size(), 3u); // name, PrO, OPZ
    EXPECT_EQ(lines[0], name);
    EXPECT_EQ(lines[1], cells("     PrO") + kBlank.substr(0, 121) + "1234\xB3");
    EXPECT_EQ(lines[1].size(), 134u);
    EXPECT_EQ(lines[2], cells("     OPZ") + kBlank.substr(0, 121) + "  7\xB3");
    EXPECT_EQ(t.RiepilogoDitte.substr(0, 45), "\r\n\xA6 " + name + "\xB3");
}

TEST(ScriviRiga, CompanyWithNothingToShowWritesNothingButIsCleared)
{
    Tipo2Tables t;
    t.TotaleGenerale.PresCon = 5;
    t.GiornoTipo2[4] = {-3, 0, 0, -1, Currency::whole(80)};
    Output o;
    ScriviRiga(o.out, "VUOTA", t, BookingKind::All);
    EXPECT_TRUE(o.sink.written.empty());
    EXPECT_TRUE(t.RiepilogoDitte.empty());
    EXPECT_EQ(t.TotaleGenerale.PresCon, 5);
    EXPECT_EQ(t.GiornoTipo2[4].Importo, Currency{});
    EXPECT_EQ(t.GiornoTipo2[4].PresCon, 0);
}

TEST(ScriviRiga, AllKindsWriteTheFiveLinesAndOverflowRaises)
{
    Tipo2Tables t;
    t.GiornoTipo2[1] = {1, 2, 3, 4, {}};
    Output o;
    ScriviRiga(o.out, "A", t, BookingKind::All);
    const auto lines = o.lines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1].substr(0, 12), cells("     PrC|  1"));
    EXPECT_EQ(lines[2].substr(0, 12), cells("     CON|  3"));
    EXPECT_EQ(lines[3].substr(0, 12), cells("     PrO|  2"));
    EXPECT_EQ(lines[4].substr(0, 12), cells("     OPZ|  4"));

    t.TotaleGenerale.PresCon = std::numeric_limits<std::int32_t>::max();
    t.GiornoTipo2[1].PresCon = 1;
    EXPECT_THROW(ScriviRiga(o.out, "B", t, BookingKind::All), DataError);
}

TEST(RiepilogoCamere, WritesEveryLineEvenWhenEmptyAndShowsFreeRooms)
{
    Tipo2Tables t;
    t.HotelCorrente = 2;
    t.GiornoHotel[2] = {0, 0, 40, 5, {}};
    t.PersoneGruppi[2] = 9;
    const RoomCounts rooms({{2, "C", 30}, {2, "c", 10}, {2, "S", 99}, {1, "C", 7}});
    Output o;
    RiepilogoCamere(o.out, t, rooms, BookingKind::Confirmed);
    const auto lines = o.lines();
    ASSERT_EQ(lines.size(), 13u); // PrC, CON, LIBERE, rule, 8 categories, rule
    EXPECT_EQ(lines[0], "TOT  PrC" + kBlank);
    EXPECT_EQ(lines[1].substr(0, 16), cells("TOT  CON|   | 40"));
    EXPECT_EQ(lines[2].substr(0, 20), cells("  LIBERE| 40| -5| 40"));
    EXPECT_EQ(lines[3], std::string(133, '\xC4'));
    EXPECT_EQ(lines[5].substr(0, 16), cells("  GRP P.|   |  9"));
    EXPECT_EQ(t.CamereDisponibili, 40);
    EXPECT_EQ(t.GiornoHotel[2].CamCon, 0);
    EXPECT_EQ(t.PersoneGruppi[2], 0);

    // A hotel without rooms of class C: free rooms are minus the booked ones.
    t.HotelCorrente = 3;
    t.GiornoHotel[1] = {0, 2, 0, 1, {}};
    Output none;
    RiepilogoCamere(none.out, t, rooms, BookingKind::Optional);
    EXPECT_EQ(none.lines()[0].substr(0, 12), cells("TOT  PrO|  2"));
    EXPECT_EQ(none.lines()[2], cells("  LIBERE| -1") + kBlank.substr(4));
}

TEST(FiltroDitte, KeepsCodesMadeOfDigitsOnly)
{
    test::TempDir dir;
    const DataFolder folder(dir.path());
    EXPECT_TRUE(FiltroDitte(folder).empty()); // no list file
    test::writeFile(dir / "ElencoDitte.txt", "");
    EXPECT_TRUE(FiltroDitte(folder).empty());
    test::writeFile(dir / "ElencoDitte.txt", "       BLANK\r\n   305 UNO\r\n  1e3  X\r\n"
                                             "       BLANK\r\n  -12  Y\r\n007    Z\r\n12'OR1 W\r\n"
                                             "123456 MINI");
    EXPECT_EQ(FiltroDitte(folder), (std::vector<std::int64_t>{305, 7, 123456}));

    std::string many;
    for (int i = 1; i <= 150; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "%6d DITTA\r\n", i);
        many += line;
    }
    test::writeFile(dir / "ElencoDitte.txt", many);
    EXPECT_EQ(FiltroDitte(folder).size(), 150u);
}
