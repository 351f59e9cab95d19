// The indicators over a small group worked out by hand, every figure of the
// CSV checked; the kinds, one season, the leap day; the rounding of ratios.

#include "data/DataError.h"
#include "indicators/ComputeIndicators.h"
#include "indicators/IndicatorNights.h"
#include "indicators/Ratio.h"
#include "output/IndicatorCsv.h"
#include "support/HotelFolder.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace presenze;

namespace {

// A group written with SQL: registry (Numero, NumeroHotel, RagioneSociale),
// room types (NumeroHotel, Tipologia, Quantita), and per season headers
// (NumeroPrenotazione, NumeroHotel, TipoPrenotazione, Ditta, CodiceDitta)
// and room lines (NumeroPrenotazione, NumeroHotel, DataArrivo, DataPartenza,
// NumeroPersone, QuantitaCamere, Note, GiorniTariffa, Prezzo).
class Group {
public:
    Group(std::string_view registry, std::string_view types)
    {
        m_files.registry(registry, "Numero, NumeroHotel, RagioneSociale").roomTypes(types);
    }

    void season(std::string_view prefix, std::string_view headers, std::string_view lines)
    {
        m_files.season(prefix, headers,
                       "NumeroPrenotazione, NumeroHotel, TipoPrenotazione, Ditta, CodiceDitta",
                       lines,
                       "NumeroPrenotazione, NumeroHotel, DataArrivo, DataPartenza, "
                       "NumeroPersone, \"Quantit\xC3\xA0"
                       "Camere\", Note, GiorniTariffa, Prezzo");
    }

    Indicators indicators(const IndicatorRequest& request) const
    {
        for (const auto& entry : std::filesystem::directory_iterator(m_dir.path()))
            test::settle(entry.path());
        return computeIndicators(DataFolder(m_dir.path()), request, [](std::string_view) {});
    }

    std::string csv(const IndicatorRequest& request) const
    {
        return indicatorCsv(indicators(request));
    }

    const std::filesystem::path& path() const { return m_dir.path(); }

private:
    test::TempDir m_dir;
    test::HotelFolder m_files{m_dir.path()};
};

// Hotel 1 has 10 rooms (its 3 of class "S" do not count), hotel 2 has 20
// ("C" and "c"), hotel 3 none (no room types) but bookings, hotel 4 neither
// (no rows). Seasons: the current one, "2025" and "2024".
//
// Current season                           Jan 2026 nights    Feb 2026 nights  charged
//  L1  bkg 1 h1 C   30/01-03/02 2p 1r  100  30,31              1,2              every night
//  L2  bkg 2 h1 O   05/01-12/01 3p 2r  350.5 5..11 (optional)                   5 (7-night tariff)
//  L3  bkg 3 h1 D   25/01-10/02 1p 1r  420  25..31             1..9             25, 1, 8
//  L10 bkg 3 h1 D   27/12-05/01 2p 1r  700  1..4 (arrived 2025)                 3 (27/12 + 7)
//  L9  bkg 1 h1 C   28/02-02/03 2p 1r  100                     28               28
//  L4  bkg 1 h2 C   01/02-04/02 0p 3r   80                     1,2,3            every night
//  L5  bkg 5 h2 C*  10/01-15/01 4p 2r 99.995 10..14                             every night
//  L6  bkg 6 h3 C   01/02-03/02 2p 1r   50                     1,2              every night
//  L7  bkg 7 h1 X   kind X: not counted;  L8 bkg 9: no header, not counted
//  L11 bkg 8 h7 C   hotel 7 is not in the registry: left out, with a warning
//  (* bkg 5 has two headers, C then O: the first one counts)
// Season "2025"
//  A1  bkg 1 h1 C   15/01-18/01/2025 2p 1r 90    Jan 2025: 15,16,17
//  A2  bkg 2 h2 C   01/02-08/02/2025 2p 2r 500   Feb 2025: 1..7, charged on the 1st (7 nights)
//  A3  bkg 3 h1 O   10/02-12/02/2025 1p 1r 60    Feb 2025: 10,11 (optional)
//  A4  bkg 1 h1 C   30/01-01/02/2026 5p 5r 1     hotel 1 has those nights in the current season
//  A5  bkg 2 h2 C   20/01-22/01/2026 2p 1r 75    hotel 2 has not: its nights come from "2025",
//                                                its January arrivals from the current season
// Season "2024" (after "2025")
//  B1  bkg 1 h1 C   16/01-17/01/2025 9p 9r 1     "2025" has hotel 1 that night
//  B2  bkg 4 h2 C   05/01-06/01/2025 1p 1r 40    "2025" has nothing of hotel 2 in January
//
// Confirmed rooms, presences, revenue, arrivals (lines, nights), per hotel and month:
//  h1 Jan 2026: L1 2r 4p 200; L3 7r 7p 420; L10 4r 8p 700 -> 13r 19p 1320; arr L1 2p 4n, L3 1p
//               16n -> 3p, 2 lines, 20 nights; optional L2 14r
//  h1 Feb 2026: L1 2r 4p 200; L3 9r 9p 840; L9 1r 2p 100 -> 12r 15p 1140; arr L9 2p 2n
//  h2 Jan 2026: L5 10r 20p 499.975; A5 2r 4p 150 -> 12r 24p 649.975; arr L5 4p 5n
//  h2 Feb 2026: L4 9r 0p 240; arr L4 0p 3n
//  h3 Feb 2026: L6 2r 4p 100; arr L6 2p 2n
//  h1 Jan 2025: A1 3r 6p 270, arr 2p 3n;  h1 Feb 2025: optional A3 2r only
//  h2 Jan 2025: B2 1r 1p 40, arr 1p 1n;   h2 Feb 2025: A2 14r 14p 500, arr 2p 7n
//  h3 has no booking last year: its comparison is empty.
class HandGroup : public ::testing::Test {
protected:
    HandGroup()
        : group("(1,1,'ALBA'),(2,2,'BORGO'),(3,3,'CORTE'),(4,4,'DUNA')",
                "(1,'C',10),(1,'S',3),(2,'C',12),(2,'c',8)")
    {
        group.season("",
                     "(1,1,'C','ALFA',1),(2,1,'O','BETA',2),(3,1,'D','CHARLIE',3),"
                     "(1,2,'C','GAMMA',4),(5,2,'C','DELTA',5),(5,2,'O','DELTA',5),"
                     "(6,3,'C','ALFA',1),(7,1,'X','EPS',6),(8,7,'C','ZETA',8)",
                     "(1,1,'20260130','20260203',2,1,'',1,100),"
                     "(2,1,'20260105','20260112',3,2,'',7,350.5),"
                     "(3,1,'20260125','20260210',1,1,'',7,420),"
                     "(1,2,'20260201','20260204',0,3,'',1,80),"
                     "(5,2,'20260110','20260115',4,2,'',1,99.995),"
                     "(6,3,'20260201','20260203',2,1,'',1,50),"
                     "(7,1,'20260110','20260111',2,1,'',1,1000),"
                     "(8,7,'20260110','20260111',2,1,'',1,1000),"
                     "(9,1,'20260110','20260111',2,1,'',1,1000),"
                     "(1,1,'20260228','20260302',2,1,'',1,100),"
                     "(3,1,'20251227','20260105',2,1,'',7,700)");
        group.season("2025", "(1,1,'C','ALFA',1),(2,2,'C','GAMMA',4),(3,1,'O','BETA',2)",
                     "(1,1,'20250115','20250118',2,1,'',1,90),"
                     "(2,2,'20250201','20250208',2,2,'',7,500),"
                     "(3,1,'20250210','20250212',1,1,'',1,60),"
                     "(1,1,'20260130','20260201',5,5,'',1,1),"
                     "(2,2,'20260120','20260122',2,1,'',1,75)");
        group.season("2024", "(1,1,'C','ALFA',1),(4,2,'C','OMEGA',7)",
                     "(1,1,'20250116','20250117',9,9,'',1,1),"
                     "(4,2,'20250105','20250106',1,1,'',1,40)");
    }

    static IndicatorRequest januaryFebruary2026()
    {
        IndicatorRequest r;
        r.period.months = MonthRange{1, 2026, 2, 2026};
        r.compare = true;
        return r;
    }

    Group group;
};

} // namespace

// Every figure by hand from the table above (10 rooms x 31 nights = 310,
// 13 / 310 = 0.0419, 1320 / 13 = 101.54, 649.975 rounds half away from zero
// to 649.98, ...); "n.d." is an empty field: hotel 3 has no rooms, sells
// nothing in January, and has no booking last year.
TEST_F(HandGroup, EveryFigureOfTheCsvAgainstLastYear)
{
    const std::string expected =
        "Hotel,Mese,CamereDisponibili,CamereVendute,CamereOpzionate,Occupazione,Presenze,Arrivi,"
        "Ricavo,ADR,RevPAR,PermanenzaMedia,OspitiPerCamera,CamereDisponibiliAP,CamereVenduteAP,"
        "CamereOpzionateAP,OccupazioneAP,PresenzeAP,ArriviAP,RicavoAP,ADRAP,RevPARAP,"
        "PermanenzaMediaAP,OspitiPerCameraAP\r\n"
        "1,2026-01,310,13,14,0.0419,19,3,1320.00,101.54,4.26,10.00,1.46,"
        "310,3,0,0.0097,6,2,270.00,90.00,0.87,3.00,2.00\r\n"
        "1,2026-02,280,12,0,0.0429,15,2,1140.00,95.00,4.07,2.00,1.25,"
        "280,0,2,0.0000,0,0,0.00,,0.00,,\r\n"
        "1,Totale,590,25,14,0.0424,34,5,2460.00,98.40,4.17,7.33,1.36,"
        "590,3,2,0.0051,6,2,270.00,90.00,0.46,3.00,2.00\r\n"
        "2,2026-01,620,12,0,0.0194,24,4,649.98,54.16,1.05,5.00,2.00,"
        "620,1,0,0.0016,1,1,40.00,40.00,0.06,1.00,1.00\r\n"
        "2,2026-02,560,9,0,0.0161,0,0,240.00,26.67,0.43,3.00,0.00,"
        "560,14,0,0.0250,14,2,500.00,35.71,0.89,7.00,1.00\r\n"
        "2,Totale,1180,21,0,0.0178,24,4,889.98,42.38,0.75,4.00,1.14,"
        "1180,15,0,0.0127,15,3,540.00,36.00,0.46,4.00,1.00\r\n"
        "3,2026-01,0,0,0,,0,0,0.00,,,,,,,,,,,,,,,\r\n"
        "3,2026-02,0,2,0,,4,2,100.00,50.00,,2.00,2.00,,,,,,,,,,,\r\n"
        "3,Totale,0,2,0,,4,2,100.00,50.00,,2.00,2.00,,,,,,,,,,,\r\n"
        "Totale,2026-01,930,25,14,0.0269,43,7,1969.98,78.80,2.12,8.33,1.72,"
        "930,4,0,0.0043,7,3,310.00,77.50,0.33,2.00,1.75\r\n"
        "Totale,2026-02,840,23,0,0.0274,19,4,1480.00,64.35,1.76,2.33,0.83,"
        "840,14,2,0.0167,14,2,500.00,35.71,0.60,7.00,1.00\r\n"
        "Totale,Totale,1770,48,14,0.0271,62,11,3449.98,71.87,1.95,5.33,1.29,"
        "1770,18,2,0.0102,21,5,810.00,45.00,0.46,3.67,1.17\r\n";
    EXPECT_EQ(group.csv(januaryFebruary2026()), expected);
}

// By company, confirmed: hotel 1 CHARLIE (L3, L10) 20 rooms, ALFA (L1, L9)
// 5; hotel 2 GAMMA (L4, and A5 from "2025") 11, DELTA 10, OMEGA only last
// year (B2); hotel 3 ALFA. Quota = the company's rooms / the hotel's.
TEST_F(HandGroup, EveryFigureOfTheCsvByCompany)
{
    IndicatorRequest request = januaryFebruary2026();
    request.breakdown = IndicatorBreakdown::Company;
    const std::string expected =
        "Hotel,Ditta,Presenze,CamereVendute,Ricavo,ADR,Quota,"
        "PresenzeAP,CamereVenduteAP,RicavoAP,ADRAP,QuotaAP\r\n"
        "1,CHARLIE,24,20,1960.00,98.00,0.8000,0,0,0.00,,0.0000\r\n"
        "1,ALFA,10,5,500.00,100.00,0.2000,6,3,270.00,90.00,1.0000\r\n"
        "1,Totale,34,25,2460.00,98.40,1.0000,6,3,270.00,90.00,1.0000\r\n"
        "2,GAMMA,4,11,390.00,35.45,0.5238,14,14,500.00,35.71,0.9333\r\n"
        "2,DELTA,20,10,499.98,50.00,0.4762,0,0,0.00,,0.0000\r\n"
        "2,OMEGA,0,0,0.00,,0.0000,1,1,40.00,40.00,0.0667\r\n"
        "2,Totale,24,21,889.98,42.38,1.0000,15,15,540.00,36.00,1.0000\r\n"
        "3,ALFA,4,2,100.00,50.00,1.0000,,,,,\r\n"
        "3,Totale,4,2,100.00,50.00,1.0000,,,,,\r\n"
        "Totale,Totale,62,48,3449.98,71.87,1.0000,21,18,810.00,45.00,1.0000\r\n";
    EXPECT_EQ(group.csv(request), expected);
}

// The command line writes the same CSV, the workbook with its sheets and the
// table on its standard output.
TEST_F(HandGroup, TheCommandLineWritesTheTableTheCsvAndTheWorkbook)
{
    test::TempDir out;
    const auto result = test::runProgram(
        "presenze-cli", {"kpi", "--from", "01/2026", "--to", "02/2026", "--compare", "--data-dir",
                         group.path().string(), "--csv", (out / "k.csv").string(), "--xlsx",
                         (out / "k.xlsx").string()});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "Avviso: Hotel 7 assente da AnagraficaHotels.mdb: 1 riga di "
                          "prenotazione non contata.\n");
    EXPECT_EQ(test::readFile(out / "k.csv"), group.csv(januaryFebruary2026()));
    EXPECT_EQ(result.out.rfind("Indicatori dal 01/01/2026 al 28/02/2026, prenotazioni confermate, "
                               "a confronto con l'anno precedente\n",
                               0),
              0u)
        << result.out;
    for (const std::string& part : std::vector<std::string>{
             "1 ALBA", "Gennaio 2026", "  anno prec.", "  var. %", "Totale gruppo", "1.320,00",
             "4,2%", "n.d.", (out / "k.csv").string() + "\n", (out / "k.xlsx").string() + "\n"})
        EXPECT_NE(result.out.find(part), std::string::npos) << part << "\n" << result.out;
    const auto sheets =
        test::runTool("unzip", {"-p", (out / "k.xlsx").string(), "xl/workbook.xml"});
    EXPECT_NE(sheets.output.find("name=\"Indicatori\""), std::string::npos) << sheets.output;
    EXPECT_NE(sheets.output.find("name=\"Grafico\""), std::string::npos) << sheets.output;

    // A data file is never the CSV.
    const std::string types = test::readFile(group.path() / "TipiCamere.mdb");
    const auto refused = test::runProgram(
        "presenze-cli", {"kpi", "--from", "01/2026", "--data-dir", group.path().string(), "--csv",
                         (group.path() / "TipiCamere.mdb").string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("file dei dati"), std::string::npos) << refused.err;
    EXPECT_EQ(test::readFile(group.path() / "TipiCamere.mdb"), types);
}

// Hotel 1, January 2026, as each kind and each season counts it.
TEST_F(HandGroup, KindAndSeasonDecideWhatIsCounted)
{
    struct Case {
        BookingKind kind;
        std::optional<std::string> season;
        std::string row; // from CamereDisponibili to OspitiPerCamera
    };
    const Case cases[] = {
        // Optional: L2 only, charged once for its 7 nights.
        {BookingKind::Optional, std::nullopt, "310,13,14,0.0452,21,3,350.50,25.04,1.13,7.00,1.50"},
        // Both kinds: 27 rooms, arrivals L1, L2, L3 (27 nights / 3 lines).
        {BookingKind::All, std::nullopt, "310,13,14,0.0871,40,6,1670.50,61.87,5.39,9.00,1.48"},
        // The current season alone: the same as with every season for hotel 1.
        {BookingKind::Confirmed, "", "310,13,14,0.0419,19,3,1320.00,101.54,4.26,10.00,1.46"},
        // "2025" alone: A4 on 30 and 31 January.
        {BookingKind::Confirmed, "2025", "310,10,0,0.0323,10,5,2.00,0.20,0.01,2.00,1.00"},
    };
    for (const Case& c : cases) {
        IndicatorRequest request;
        request.period.months = MonthRange{1, 2026, 1, 2026};
        request.kind = c.kind;
        request.season = c.season;
        request.hotels = std::set<std::int64_t>{1};
        const std::string csv = group.csv(request);
        const std::string start = "\r\n1,2026-01,";
        const auto at = csv.find(start);
        ASSERT_NE(at, std::string::npos) << csv;
        const auto from = at + start.size();
        EXPECT_EQ(csv.substr(from, csv.find('\r', from) - from), c.row)
            << static_cast<int>(c.kind) << " " << c.season.value_or("(all)");
    }
}

// 29 February: a calendar month compares with the same month whatever its
// length; the nights ahead compare date by date, 29 February with 28.
TEST(Indicators, LeapDayComparesWithTheTwentyEighth)
{
    Group group("(1,1,'ALBA')", "(1,'C',10)");
    group.season("", "(1,1,'C','ALFA',1),(2,1,'C','BETA',2)",
                 "(1,1,'20270228','20270301',2,1,'',1,10),(2,1,'20280229','20280301',1,1,'',1,5)");
    IndicatorRequest months;
    months.period.months = MonthRange{2, 2028, 2, 2028};
    months.compare = true;
    EXPECT_NE(group.csv(months).find("\r\n1,2028-02,290,1,0,0.0034,1,1,5.00,5.00,0.02,1.00,1.00,"
                                     "280,1,0,0.0036,2,2,10.00,10.00,0.04,1.00,2.00\r\n"),
              std::string::npos)
        << group.csv(months);

    IndicatorRequest ahead;
    ahead.period.forward = 30;
    ahead.period.today = Date{2028, 2, 20};
    ahead.compare = true;
    const std::string csv = group.csv(ahead);
    // 20..29 February (10 nights) against 20..28 February 2027 and the 28th
    // once more: its room and its arrival count twice.
    EXPECT_NE(csv.find("\r\n1,2028-02,100,1,0,0.0100,1,1,5.00,5.00,0.05,1.00,1.00,"
                       "100,2,0,0.0200,4,4,20.00,10.00,0.20,1.00,2.00\r\n"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("\r\n1,2028-03,200,0,0,0.0000,0,0,0.00,,0.00,,,,,,,,,,,,,\r\n"),
              std::string::npos)
        << csv;

    const auto nights = periodNights(ahead.period);
    ASSERT_EQ(nights.size(), 2u);
    EXPECT_EQ(nights[0].nights.size() + nights[1].nights.size(), 30u);
    EXPECT_EQ(Date::fromSerial(nights[0].lastYear.back()), (Date{2027, 2, 28}));
    EXPECT_EQ(Date::fromSerial(nights[1].lastYear.front()), (Date{2027, 3, 1}));
}

TEST(Indicators, RatiosRoundHalfAwayFromZeroAndHaveNoValueOverZero)
{
    struct Case {
        std::int64_t num, den;
        int decimals;
        std::optional<std::int64_t> scaled;
    };
    const Case cases[] = {
        {5, 2, 0, 3},    {-5, 2, 0, -3}, {-5, -2, 0, 3}, {1, 3, 4, 3333},         {2, 3, 4, 6667},
        {-1, 8, 2, -13}, {1, 200, 2, 1}, {0, 7, 2, 0},   {3, 0, 2, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Ratio(c.num, c.den).scaled(c.decimals), c.scaled) << c.num << "/" << c.den;
    EXPECT_EQ(decimalText(Ratio(-1, 8).scaled(2), 2), "-0.13");
    EXPECT_EQ(decimalText(Ratio(-1, 300).scaled(2), 2), "0.00");
    // The change from 0, or from nothing, has no value.
    EXPECT_FALSE(Ratio(5, 1).changeFrom(Ratio(0, 1)).defined());
    EXPECT_FALSE(Ratio(5, 1).changeFrom(Ratio()).defined());
    EXPECT_EQ(Ratio(3, 4).changeFrom(Ratio(1, 2)).scaled(3), 500); // +50.0%
}
