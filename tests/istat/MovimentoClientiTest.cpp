// The monthly guest movement over a hand-made month whose every figure was
// worked out by hand, and its balance as a property of the demo data.

#include "istat/MovimentoClienti.h"

#include "demo/DemoData.h"
#include "istat/IstatCsv.h"
#include "istat/IstatText.h"
#include "reports/Type1Support.h"

#include <gtest/gtest.h>
#include <map>
#include <tuple>

using namespace presenze;

namespace {

// February 2026 (28 days) in three hotels: 10 and 5 rooms, and one without
// room types. What each line is there for is said beside it.
void writeHandMadeMonth(test::Type1Group& group)
{
    group.season(
        // NumeroPrenotazione, NumeroHotel, TipoPrenotazione, Ditta, Nazione, Commento
        "(1, 1, 'C', 'A', 'I', ''),"
        "(2, 1, 'd', 'B', ' d ', '')," // kind and nationality in lower case, blanks
        "(3, 1, 'C', 'C', '', ''),"    // no nationality
        "(4, 1, 'O', 'D', 'I', ''),"   // optional: not guests
        "(5, 1, 'C', 'E', 'GB', ''),"  // the first header decides...
        "(5, 1, 'O', 'E', 'F', ''),"   // ...not this one
        "(6, 1, 'O', 'F', 'I', ''),"   // the first is optional: not counted
        "(6, 1, 'C', 'F', 'I', ''),"   //
        "(1, 2, 'C', 'G', 'i', ''),"   // same number in another hotel
        "(2, 2, 'C', 'H', NULL, '')",  // nationality null
        // NumeroPrenotazione, NumeroHotel, TipoPrenotazione, DataArrivo, DataPartenza,
        // NumeroPersone, QuantitaCamere
        "(1, 1, 'C', '20260125', '20260203', 2, 1)," // over the month's start
        "(2, 1, 'D', '20260210', '20260212', 3, 2)," //
        "(3, 1, 'C', '20260227', '20260305', 4, 2)," // over the month's end
        "(4, 1, 'O', '20260210', '20260215', 5, 1)," // optional
        "(5, 1, 'C', '20260215', '20260215', 2, 1)," // arrival = departure
        "(5, 1, 'C', '20260220', '20260218', 3, 1)," // edited stay: leaves before it arrives
        "(6, 1, 'C', '20260205', '20260206', 1, 1)," // optional by its first header
        "(1, 1, 'C', '20260210', '', 1, 1),"         // no departure
        "(7, 1, 'C', '20260211', '20260213', 2, 1)," // no header
        "(1, 1, 'C', '20260205', '20260207', 0, 1)," // no persons
        "(1, 2, 'C', '20260201', '20260204', 2, 1)," //
        "(2, 2, 'C', '20260228', '20260301', 1, 1)," //
        "(2, 2, 'C', '20260205', '20260231', 1, 1)," // a departure that is no day
        "(2, 2, 'C', '20260130', '20260131', 6, 3)," // all in January
        "(2, 2, 'C', '', '', 1, 1)");                // no dates at all
    test::writeFile(group.path() / "LettiHotel.txt", "1 20\r\n\r\n3 12\r\n");
}

MonthMovement handMadeMonth()
{
    test::Type1Group group("(1, 1, 'HOTEL UNO'), (2, 2, 'HOTEL DUE'), (3, 3, 'HOTEL TRE')",
                           "(1, 'C', 10), (2, 'C', 5), (1, 'S', 4)");
    writeHandMadeMonth(group);
    return MovimentoClienti(DataFolder(group.path()), 2, 2026, std::nullopt, "");
}

// hotel, day, nationality ("" for the totals) -> before, arrivals, departures, present, rooms
using Key = std::tuple<std::int64_t, int, std::string>;
using Figures = std::array<std::int64_t, 5>;

std::map<Key, Figures> nonZeroFigures(const MonthMovement& month)
{
    std::map<Key, Figures> out;
    for (const HotelMovement& h : month.hotels)
        for (int d = 0; d < month.days; ++d) {
            const auto i = static_cast<std::size_t>(d);
            const GuestDay& t = h.totals[i];
            const Figures total{t.presentiNottePrecedente, t.arrivi, t.partenze, t.presenti,
                                h.camereOccupate[i]};
            if (total != Figures{})
                out[{h.hotel, d + 1, ""}] = total;
            for (const NationalityMovement& n : h.nationalities) {
                const GuestDay& g = n.days[i];
                if (g.any())
                    out[{h.hotel, d + 1, nationalityCaption(n.nazione)}] = {
                        g.presentiNottePrecedente, g.arrivi, g.partenze, g.presenti, 0};
            }
        }
    return out;
}

} // namespace

TEST(MovimentoClienti, HandMadeMonthFigureByFigure)
{
    const MonthMovement month = handMadeMonth();
    ASSERT_EQ(month.days, 28);
    ASSERT_EQ(month.hotels.size(), 3u);

    // Every figure that is not 0; all others are 0.
    const std::map<Key, Figures> want = {
        // hotel 1: booking 1 (I) present since 25/01, leaves on the 3rd
        {{1, 1, ""}, {2, 0, 0, 2, 1}},
        {{1, 1, "I"}, {2, 0, 0, 2, 0}},
        {{1, 2, ""}, {2, 0, 0, 2, 1}},
        {{1, 2, "I"}, {2, 0, 0, 2, 0}},
        {{1, 3, ""}, {2, 0, 2, 0, 0}},
        {{1, 3, "I"}, {2, 0, 2, 0, 0}},
        // booking 2 (D), 3 persons in 2 rooms, 10th to 12th
        {{1, 10, ""}, {0, 3, 0, 3, 2}},
        {{1, 10, "D"}, {0, 3, 0, 3, 0}},
        {{1, 11, ""}, {3, 0, 0, 3, 2}},
        {{1, 11, "D"}, {3, 0, 0, 3, 0}},
        {{1, 12, ""}, {3, 0, 3, 0, 0}},
        {{1, 12, "D"}, {3, 0, 3, 0, 0}},
        // booking 5 (GB) arrives and leaves on the 15th
        {{1, 15, ""}, {0, 2, 2, 0, 0}},
        {{1, 15, "GB"}, {0, 2, 2, 0, 0}},
        // booking 3 (not given), 4 persons in 2 rooms from the 27th into March
        {{1, 27, ""}, {0, 4, 0, 4, 2}},
        {{1, 27, "Non indicata"}, {0, 4, 0, 4, 0}},
        {{1, 28, ""}, {4, 0, 0, 4, 2}},
        {{1, 28, "Non indicata"}, {4, 0, 0, 4, 0}},
        // hotel 2: booking 1 ("i"), 1st to 4th; booking 2 (null) from the 28th
        {{2, 1, ""}, {0, 2, 0, 2, 1}},
        {{2, 1, "I"}, {0, 2, 0, 2, 0}},
        {{2, 2, ""}, {2, 0, 0, 2, 1}},
        {{2, 2, "I"}, {2, 0, 0, 2, 0}},
        {{2, 3, ""}, {2, 0, 0, 2, 1}},
        {{2, 3, "I"}, {2, 0, 0, 2, 0}},
        {{2, 4, ""}, {2, 0, 2, 0, 0}},
        {{2, 4, "I"}, {2, 0, 2, 0, 0}},
        {{2, 28, ""}, {0, 1, 0, 1, 1}},
        {{2, 28, "Non indicata"}, {0, 1, 0, 1, 0}},
    };
    EXPECT_EQ(nonZeroFigures(month), want);

    struct Summary {
        std::int64_t rooms;
        std::optional<std::int64_t> beds;
        int daysOpen;
        std::optional<std::int64_t> bedDays;
        std::vector<std::tuple<std::string, std::int64_t, std::int64_t>> nations;
    };
    const Summary summaries[] = {
        {10, 20, 28, 560, {{"D", 3, 6}, {"GB", 2, 0}, {"I", 0, 4}, {"", 4, 8}}},
        {5, std::nullopt, 28, std::nullopt, {{"I", 2, 6}, {"", 1, 1}}},
        {0, 12, 0, 0, {}},
    };
    for (std::size_t i = 0; i < 3; ++i) {
        const HotelMovement& h = month.hotels[i];
        const Summary& s = summaries[i];
        EXPECT_EQ(h.hotel, static_cast<std::int64_t>(i + 1));
        EXPECT_EQ(h.rooms, s.rooms) << h.hotel;
        EXPECT_EQ(h.beds, s.beds) << h.hotel;
        EXPECT_EQ(h.daysOpen, s.daysOpen) << h.hotel;
        EXPECT_EQ(h.bedDays(), s.bedDays) << h.hotel;
        std::vector<std::tuple<std::string, std::int64_t, std::int64_t>> nations;
        for (const NationalityMovement& n : h.nationalities)
            nations.emplace_back(n.nazione, n.arrivals(), n.presences());
        EXPECT_EQ(nations, s.nations) << h.hotel;
    }
    EXPECT_TRUE(month.bedsFile);

    // What breaks the balance: the lines left out for their dates, by day.
    using Excluded = std::tuple<std::int64_t, std::string, std::string, std::int64_t, std::int64_t,
                                ExcludedLine::Fault>;
    std::vector<Excluded> excluded;
    for (const HotelMovement& h : month.hotels)
        for (const ExcludedLine& e : h.excluded)
            excluded.emplace_back(h.hotel, e.day ? e.day->toDisplay() : "-", e.nazione, e.booking,
                                  e.persons, e.fault);
    const std::vector<Excluded> wantExcluded = {
        {1, "10/02/2026", "I", 1, 1, ExcludedLine::Fault::MissingDeparture},
        {1, "20/02/2026", "GB", 5, 3, ExcludedLine::Fault::DepartureBeforeArrival},
        {2, "05/02/2026", "", 2, 1, ExcludedLine::Fault::BadDeparture},
        {2, "-", "", 2, 1, ExcludedLine::Fault::MissingArrival},
    };
    EXPECT_EQ(excluded, wantExcluded);
}

TEST(MovimentoClienti, HandMadeMonthAsCsvAndText)
{
    const MonthMovement month = handMadeMonth();
    const std::vector<std::string> csv = splitLines(movementCsv(month));
    // The heading, a totals row per hotel and day, a row per nationality with
    // a figure that day (9 in hotel 1, 5 in hotel 2).
    ASSERT_EQ(csv.size(), 1u + 3 * 28 + 9 + 5);
    EXPECT_EQ(csv[0],
              "Hotel,Data,Nazione,PresentiNottePrecedente,Arrivi,Partenze,Presenti,CamereOccupate");
    EXPECT_EQ(csv[1], "1,2026-02-01,I,2,0,0,2,");
    EXPECT_EQ(csv[2], "1,2026-02-01,Totale,2,0,0,2,1");
    EXPECT_EQ(csv[6], "1,2026-02-03,Totale,2,0,2,0,0");
    EXPECT_EQ(csv[7], "1,2026-02-04,Totale,0,0,0,0,0");
    EXPECT_EQ(csv[34], "1,2026-02-27,Non indicata,0,4,0,4,");
    EXPECT_EQ(csv.back(), "3,2026-02-28,Totale,0,0,0,0,0");
    EXPECT_NE(movementCsv(month).find("\r\n"), std::string::npos);

    const std::vector<std::string> text = movementText(month);
    for (const std::string& line : text)
        EXPECT_LE(line.size(), kMovementTextWidth) << line;
    // A line holding every piece.
    const auto has = [&](std::initializer_list<std::string_view> pieces) {
        for (const std::string& line : text) {
            bool all = true;
            for (const std::string_view piece : pieces)
                all = all && line.find(piece) != std::string::npos;
            if (all)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(has({"Movimento clienti - Febbraio 2026 - Hotel 2 HOTEL DUE"}));
    EXPECT_TRUE(has({"LettiHotel.txt non ha una riga per questo hotel."}));
    EXPECT_TRUE(has({"20/02/2026  GB", "pren. n. 5 ", " 3 pers.", "partenza 18/02/2026",
                     "partenza prima dell'arrivo"}));
    EXPECT_TRUE(has({"05/02/2026  Non indicata", "partenza \"20260231\""}));
    EXPECT_TRUE(has({"Giornate letto (letti x giorni)", "560"}));
}

TEST(MovimentoClienti, TheDemoMonthBalancesDayByDay)
{
    test::TempDir dir;
    writeDemoData(dir.path(), {1, Date{2026, 12, 8}});
    for (const int month : {11, 12}) {
        const MonthMovement m = MovimentoClienti(DataFolder(dir.path()), month, 2026, {}, "");
        ASSERT_EQ(m.hotels.size(), 12u);
        std::int64_t arrivals = 0;
        for (const HotelMovement& h : m.hotels) {
            EXPECT_TRUE(h.excluded.empty());
            const auto balances = [&](const std::vector<GuestDay>& days, const std::string& what) {
                for (std::size_t d = 0; d < days.size(); ++d) {
                    const GuestDay& g = days[d];
                    EXPECT_EQ(g.presentiNottePrecedente + g.arrivi - g.partenze, g.presenti)
                        << h.hotel << " " << what << " " << d + 1;
                    if (d > 0) {
                        EXPECT_EQ(g.presentiNottePrecedente, days[d - 1].presenti);
                    }
                }
            };
            balances(h.totals, "Totale");
            std::vector<GuestDay> sums(h.totals.size());
            for (const NationalityMovement& n : h.nationalities) {
                balances(n.days, n.nazione);
                for (std::size_t d = 0; d < n.days.size(); ++d) {
                    sums[d].presentiNottePrecedente += n.days[d].presentiNottePrecedente;
                    sums[d].arrivi += n.days[d].arrivi;
                    sums[d].partenze += n.days[d].partenze;
                    sums[d].presenti += n.days[d].presenti;
                }
                arrivals += n.arrivals();
            }
            for (std::size_t d = 0; d < sums.size(); ++d)
                EXPECT_EQ(std::tie(sums[d].presentiNottePrecedente, sums[d].arrivi,
                                   sums[d].partenze, sums[d].presenti),
                          std::tie(h.totals[d].presentiNottePrecedente, h.totals[d].arrivi,
                                   h.totals[d].partenze, h.totals[d].presenti));
        }
        EXPECT_GT(arrivals, 100) << month;
        for (const std::string& line : movementText(m))
            ASSERT_LE(line.size(), kMovementTextWidth) << line;
    }
}
