// The daily occupancy tally over bookings held in memory: the rows it makes,
// their values, names and order.

#include "tally/CalcolaPresenze.h"

#include <gtest/gtest.h>
#include <limits>

using namespace presenze;

namespace {

BookingHeader header(std::int64_t number, std::int64_t hotel, std::string kind, std::string ditta,
                     std::string nazione = "F", std::string commento = "")
{
    BookingHeader h;
    h.numeroPrenotazione = number;
    h.numeroHotel = hotel;
    h.tipoPrenotazione = std::move(kind);
    h.ditta = std::move(ditta);
    h.nazione = std::move(nazione);
    h.commento = std::move(commento);
    return h;
}

RoomLine line(std::int64_t number, std::int64_t hotel, std::string kind, std::string arrival,
              std::string departure, std::int64_t persons, std::int64_t rooms)
{
    RoomLine l;
    l.numeroPrenotazione = number;
    l.numeroHotel = hotel;
    l.tipoPrenotazione = std::move(kind);
    l.dataArrivo = std::move(arrival);
    l.dataPartenza = std::move(departure);
    l.numeroPersone = persons;
    l.quantitaCamere = rooms;
    return l;
}

struct Row {
    std::int64_t hotel;
    std::string name;
    int contatore;
    PresenzeCounters values;
};

Selection detail(BookingKind kind = BookingKind::Confirmed)
{
    Selection s;
    s.kind = kind;
    s.summary = false;
    return s;
}

HotelRooms rooms(std::initializer_list<std::pair<const std::int64_t, std::int64_t>> perHotel)
{
    HotelRooms r;
    for (const auto& [hotel, count] : perHotel) {
        r.camereHotel[hotel] = count;
        r.camereTotali += count;
    }
    return r;
}

// The rows of the month that begins on `first`, in creation order.
std::vector<Row> tally(const Date& first, const Selection& selection, const HotelRooms& counts,
                       std::vector<BookingHeader> headers, std::vector<RoomLine> lines)
{
    const BookingSet bookings(std::move(lines), std::move(headers));
    const PresenzeTally t = tallyBookings(first, selection, counts, bookings);
    std::vector<Row> rows;
    t.forEachRow([&](const PresenzeRow& r, PresenzeTally::NameId) {
        rows.push_back({r.numeroHotel, std::string(r.nomeDitta), r.contatore, r.values});
    });
    EXPECT_EQ(rows.size(), t.rowCount());
    return rows;
}

const Row* find(const std::vector<Row>& rows, std::int64_t hotel, std::string_view name,
                int contatore)
{
    for (const Row& r : rows)
        if (r.hotel == hotel && r.name == name && r.contatore == contatore)
            return &r;
    return nullptr;
}

// Counters written out as {Presenze, PresOpz, Camere, Opzioni, Libere, Gruppi,
// Individuali, TourOp, AccSpec, GruppiC, IndividualiC, TourOpC, AccSpecC}.
PresenzeCounters counters(std::initializer_list<std::int64_t> values)
{
    PresenzeCounters c{};
    std::size_t i = 0;
    for (auto v : values)
        c[i++] = v;
    return c;
}

const Date kMarch2026{2026, 3, 1};

} // namespace

TEST(PresenzeTally, WorkedExampleOfTheTwoNights)
{
    // Company ROSSI, hotel 2 with 40 rooms (50 in the group), one line of 2
    // rooms and 3 persons from the 30th of the month before to day 3.
    const auto rows = tally(kMarch2026, detail(), rooms({{1, 10}, {2, 40}}),
                            {header(7, 2, "C", "ROSSI", "F", "<GRP>")},
                            {line(7, 2, "C", "20260227", "20260303", 3, 2)});
    const auto day = counters({3, 0, 2, 0, 38, 2, 0, 0, 0, 3, 0, 0, 0});
    const std::vector<std::pair<std::string, int>> order = {
        {"NAZIONE", 32}, {"ROSSI", 1}, {"ROSSI", 41}, {"ROSSI", 32}, {"ROSSI", 2}, {"ROSSI", 42}};
    ASSERT_EQ(rows.size(), order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(rows[i].hotel, 2);
        EXPECT_EQ(rows[i].name, order[i].first);
        EXPECT_EQ(rows[i].contatore, order[i].second);
    }
    for (int c : {1, 2, 41, 42})
        EXPECT_EQ(find(rows, 2, "ROSSI", c)->values, day) << c;
    EXPECT_EQ(find(rows, 2, "ROSSI", 32)->values,
              counters({6, 0, 4, 0, 36, 4, 0, 0, 0, 6, 0, 0, 0}));
    EXPECT_EQ(find(rows, 2, "NAZIONE", 32)->values, counters({6, 0, 4, 0, 50}));
}

TEST(PresenzeTally, CountsOnlyTheThirtyOneNightsOfTheWindow)
{
    const auto rows = tally(kMarch2026, detail(), rooms({{1, 10}}),
                            {header(1, 1, "C", "A"), header(2, 1, "C", "B"), header(3, 1, "C", "C"),
                             header(4, 1, "C", "D")},
                            {line(1, 1, "C", "20260115", "20260520", 1, 1),   // over the window
                             line(2, 1, "C", "20260401", "20260405", 1, 1),   // arrives on day 32
                             line(3, 1, "C", "20260310", "20260310", 1, 1),   // no night
                             line(4, 1, "C", "20260331", "20260401", 1, 1)}); // day 31
    for (int d = 1; d <= 31; ++d)
        ASSERT_NE(find(rows, 1, "A", d), nullptr) << d;
    EXPECT_EQ(find(rows, 1, "A", 32)->values[kPresenze], 31);
    EXPECT_EQ(find(rows, 1, "B", 32), nullptr);
    EXPECT_EQ(find(rows, 1, "C", 32), nullptr);
    EXPECT_EQ(find(rows, 1, "D", 31)->values[kPresenze], 1);
    EXPECT_EQ(find(rows, 1, "D", 30), nullptr);
    EXPECT_EQ(find(rows, 1, "NAZIONE", 32)->values[kPresenze], 32);
}

TEST(PresenzeTally, ShortMonthsRunIntoTheNextOne)
{
    const std::vector<BookingHeader> h = {header(1, 1, "C", "A")};
    // 2024 is a leap year: day 29 is 29 February, days 30 and 31 are in March.
    auto rows = tally({2024, 2, 1}, detail(), rooms({{1, 5}}), h,
                      {line(1, 1, "C", "20240229", "20240302", 2, 1)});
    EXPECT_NE(find(rows, 1, "A", 29), nullptr);
    EXPECT_NE(find(rows, 1, "A", 30), nullptr);
    EXPECT_EQ(find(rows, 1, "A", 31), nullptr);
    // 2023: days 29 to 31 are 1 to 3 March.
    rows = tally({2023, 2, 1}, detail(), rooms({{1, 5}}), h,
                 {line(1, 1, "C", "20230301", "20230304", 2, 1)});
    EXPECT_EQ(find(rows, 1, "A", 28), nullptr);
    for (int d : {29, 30, 31})
        EXPECT_NE(find(rows, 1, "A", d), nullptr) << d;
}

TEST(PresenzeTally, SummaryModeSharesTheBlankRowsUnlessOneCompanyIsAsked)
{
    const std::vector<BookingHeader> h = {header(1, 1, "C", "ALFA"), header(2, 1, "C", "BETA")};
    const std::vector<RoomLine> l = {line(1, 1, "C", "20260301", "20260302", 2, 1),
                                     line(2, 1, "C", "20260301", "20260302", 3, 1)};
    Selection summary;
    auto rows = tally(kMarch2026, summary, rooms({{1, 10}}), h, l);
    ASSERT_EQ(rows.size(), 4u); // NAZIONE, day 1, day 41, period
    EXPECT_EQ(find(rows, 1, " ", 1)->values, counters({5, 0, 2, 0, 8}));
    EXPECT_EQ(find(rows, 1, " ", 32)->values, counters({5, 0, 2, 0, 8}));

    summary.singleCompany = true;
    summary.company = "BETA";
    rows = tally(kMarch2026, summary, rooms({{1, 10}}), h, l);
    EXPECT_EQ(find(rows, 1, " ", 1), nullptr);
    EXPECT_EQ(find(rows, 1, "BETA", 1)->values[kPresenze], 3);
    EXPECT_EQ(find(rows, 1, "ALFA", 1), nullptr);
}

TEST(PresenzeTally, TagsAndNationalities)
{
    const auto rows =
        tally(kMarch2026, detail(), rooms({{1, 10}}),
              {header(1, 1, "C", "A", "I", "x <IND> y <GRP>"), header(2, 1, "C", "B", "i", "<grp>"),
               header(3, 1, "C", "C", "  ", "<TO>"), header(4, 1, "C", "D", "D", "<AS><TO>"),
               header(5, 1, "C", "E", " I", "<IND>")},
              {line(1, 1, "C", "20260301", "20260302", 2, 1),
               line(2, 1, "C", "20260301", "20260302", 3, 1),
               line(3, 1, "C", "20260301", "20260302", 4, 2),
               line(4, 1, "C", "20260301", "20260302", 5, 3),
               line(5, 1, "C", "20260301", "20260302", 6, 1)});
    EXPECT_EQ(find(rows, 1, "A", 1)->values, counters({2, 0, 1, 0, 9, 1, 0, 0, 0, 2, 0, 0, 0}));
    EXPECT_EQ(find(rows, 1, "B", 1)->values, counters({3, 0, 1, 0, 9})); // "<grp>" is no tag
    EXPECT_EQ(find(rows, 1, "C", 1)->values, counters({4, 0, 2, 0, 8, 0, 0, 2, 0, 0, 0, 4, 0}));
    EXPECT_EQ(find(rows, 1, "D", 1)->values, counters({5, 0, 3, 0, 7, 0, 0, 3, 0, 0, 0, 5, 0}));
    // Italian: "I" or blank; "i" and " I" are foreign.
    EXPECT_EQ(find(rows, 1, "NAZIONE", 32)->values,
              counters({3 + 5 + 6, 2 + 4, 1 + 3 + 1, 1 + 2, 10}));
}

TEST(PresenzeTally, LinesWithoutPersonsOrHeaderCountNothing)
{
    const auto rows = tally(kMarch2026, detail(), rooms({{1, 10}, {2, 4}}),
                            {header(1, 1, "C", "A"), header(2, 2, "C", "B")},
                            {line(1, 1, "C", "20260301", "20260305", 0, 3),
                             line(1, 1, "C", "20260301", "20260305", -2, 3),
                             line(9, 1, "C", "20260301", "20260305", 2, 1), // no header
                             line(2, 1, "C", "20260301", "20260305", 2, 1), // header of hotel 2
                             line(2, 0, "C", "20260301", "20260305", 2, 1), // hotel 0
                             line(2, 9999, "C", "20260301", "20260305", 2, 1)});
    EXPECT_TRUE(rows.empty());
}

TEST(PresenzeTally, BookingKindsOfTheLineAndOfTheHeader)
{
    const std::vector<BookingHeader> h = {header(1, 1, "C", "CONF"), header(2, 1, "O", "OPZ"),
                                          header(3, 1, "O", "MIX"), header(4, 1, "o", "LOW"),
                                          header(5, 1, "X", "ALTRO")};
    const std::vector<RoomLine> l = {line(1, 1, "c", "20260301", "20260302", 1, 1),
                                     line(2, 1, "O", "20260301", "20260302", 2, 1),
                                     line(3, 1, "C", "20260301", "20260302", 3, 1),
                                     line(4, 1, "O", "20260301", "20260302", 4, 1),
                                     line(5, 1, "X", "20260301", "20260302", 5, 1)};
    // Confirmed: the lower-case "c" passes as the engine compares; the
    // header of line 3 is optional, so line 3 finds no header.
    auto rows = tally(kMarch2026, detail(BookingKind::Confirmed), rooms({{1, 10}}), h, l);
    EXPECT_NE(find(rows, 1, "CONF", 1), nullptr);
    EXPECT_EQ(find(rows, 1, "MIX", 1), nullptr);
    EXPECT_EQ(find(rows, 1, "OPZ", 1), nullptr);
    EXPECT_EQ(find(rows, 1, "ALTRO", 1), nullptr);
    // All kinds: the header's kind decides; only "O" exactly is optional.
    rows = tally(kMarch2026, detail(BookingKind::All), rooms({{1, 10}}), h, l);
    EXPECT_EQ(find(rows, 1, "MIX", 1)->values, counters({0, 3, 0, 1, 9}));
    EXPECT_EQ(find(rows, 1, "OPZ", 1)->values, counters({0, 2, 0, 1, 9}));
    EXPECT_EQ(find(rows, 1, "LOW", 1)->values, counters({4, 0, 1, 0, 9}));
    EXPECT_EQ(find(rows, 1, "ALTRO", 1), nullptr);
    rows = tally(kMarch2026, detail(BookingKind::Optional), rooms({{1, 10}}), h, l);
    EXPECT_EQ(find(rows, 1, "CONF", 1), nullptr);
    EXPECT_NE(find(rows, 1, "OPZ", 1), nullptr);
}

TEST(PresenzeTally, RowsIgnoreCaseAndKeepTheNameWrittenLast)
{
    const auto rows = tally(kMarch2026, detail(), rooms({{1, 10}}),
                            {header(1, 1, "C", "Rossi"), header(2, 1, "C", "ROSSI")},
                            {line(1, 1, "C", "20260301", "20260303", 1, 1),
                             line(2, 1, "C", "20260302", "20260304", 2, 1)});
    // Nationality, days 1, 41, period, 2, 42; then day 3 and 43 of ROSSI.
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(find(rows, 1, "Rossi", 1)->values[kPresenze], 1);
    EXPECT_EQ(find(rows, 1, "ROSSI", 2)->values[kPresenze], 3);
    EXPECT_EQ(find(rows, 1, "ROSSI", 42)->values[kPresenze], 3);
    EXPECT_EQ(find(rows, 1, "ROSSI", 3)->values[kPresenze], 2);
    EXPECT_EQ(find(rows, 1, "ROSSI", 32)->values[kPresenze], 6);
    EXPECT_EQ(find(rows, 1, "Rossi", 32), nullptr);
}

TEST(PresenzeTally, ACompanyNamedNazioneSharesThePeriodRowWithTheNationality)
{
    const auto rows = tally(kMarch2026, detail(), rooms({{1, 10}, {2, 5}}),
                            {header(1, 1, "C", "Nazione", "GB", "<TO>")},
                            {line(1, 1, "C", "20260301", "20260303", 2, 1)});
    ASSERT_EQ(rows.size(), 5u); // one row at 32, two days with their second rows
    EXPECT_EQ(find(rows, 1, "Nazione", 1)->values,
              counters({2, 0, 1, 0, 9, 0, 0, 1, 0, 0, 0, 2, 0}));
    // Nationality (4 persons, 2 rooms) and the company's own period counts;
    // the free rooms start from all the group's rooms.
    EXPECT_EQ(find(rows, 1, "Nazione", 32)->values,
              counters({8, 0, 4, 0, 13, 0, 0, 2, 0, 0, 0, 4, 0}));
}

TEST(PresenzeTally, CompanyFilters)
{
    Selection s = detail();
    s.companyListOnly = true;
    s.companyList[1] = "ALFA";
    s.companyList[3] = "BETA"; // after an empty entry: never reached
    const std::vector<BookingHeader> h = {header(1, 1, "C", " ALFA "), header(2, 1, "C", "BETA"),
                                          header(3, 1, "C", "alfa")};
    const std::vector<RoomLine> l = {line(1, 1, "C", "20260301", "20260302", 1, 1),
                                     line(2, 1, "C", "20260301", "20260302", 1, 1),
                                     line(3, 1, "C", "20260301", "20260302", 1, 1)};
    auto rows = tally(kMarch2026, s, rooms({{1, 10}}), h, l);
    EXPECT_NE(find(rows, 1, " ALFA ", 1), nullptr);
    EXPECT_EQ(find(rows, 1, "BETA", 1), nullptr);
    EXPECT_EQ(find(rows, 1, "alfa", 1), nullptr);

    s = detail();
    s.singleCompany = true;
    s.company = "ALFA";
    rows = tally(kMarch2026, s, rooms({{1, 10}}), h, l);
    EXPECT_TRUE(rows.empty()) << "only an exact name counts";
    s.company = "alfa";
    rows = tally(kMarch2026, s, rooms({{1, 10}}), h, l);
    ASSERT_NE(find(rows, 1, "alfa", 1), nullptr);
    EXPECT_EQ(find(rows, 1, "alfa", 32)->values[kPresenze], 1);
}

TEST(PresenzeTally, FirstHeaderThatPassesIsTheOneUsed)
{
    // Two headers share hotel and number: under "Confermate" the optional one
    // is not in the query, so the confirmed one counts; under "Tutte" the
    // first in table order does.
    const std::vector<BookingHeader> h = {header(1, 1, "O", "PRIMA"), header(1, 1, "C", "SECONDA")};
    const std::vector<RoomLine> l = {line(1, 1, "C", "20260301", "20260302", 1, 1)};
    auto rows = tally(kMarch2026, detail(), rooms({{1, 10}}), h, l);
    EXPECT_NE(find(rows, 1, "SECONDA", 1), nullptr);
    rows = tally(kMarch2026, detail(BookingKind::All), rooms({{1, 10}}), h, l);
    EXPECT_NE(find(rows, 1, "PRIMA", 1), nullptr);
}

TEST(PresenzeTally, SingleHotelAndWalkingOrder)
{
    const std::vector<BookingHeader> h = {header(5, 2, "C", "B"), header(3, 1, "C", "A")};
    const std::vector<RoomLine> l = {line(5, 2, "C", "20260301", "20260302", 1, 1),
                                     line(3, 1, "C", "20260301", "20260302", 1, 1)};
    // Walked by hotel, then booking number, whatever the table order.
    auto rows = tally(kMarch2026, detail(), rooms({{1, 10}, {2, 4}}), h, l);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows.front().hotel, 1);
    EXPECT_EQ(rows.back().hotel, 2);
    Selection s = detail();
    s.singleHotel = true;
    s.comboHotel = 2;
    rows = tally(kMarch2026, s, rooms({{1, 10}, {2, 4}}), h, l);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(find(rows, 2, "B", 1)->values[kLibere], 3);
}

TEST(PresenzeTally, RoomCountsForEveryHotelNumber)
{
    const HotelRooms counts = countHotelRooms({{1, "C", 10},
                                               {1, "c", 2},
                                               {1, "S", 50},
                                               {25, "C", 7},
                                               {0, "C", 99},
                                               {-3, "C", 99},
                                               {300, "C", 1}});
    EXPECT_EQ(counts.of(1), 12);
    EXPECT_EQ(counts.of(25), 7);
    EXPECT_EQ(counts.of(300), 1);
    EXPECT_EQ(counts.of(2), 0);
    EXPECT_EQ(counts.camereTotali, 20);
    const auto rows = tally(kMarch2026, detail(), counts, {header(1, 25, "C", "A")},
                            {line(1, 25, "C", "20260301", "20260302", 2, 3)});
    EXPECT_EQ(find(rows, 25, "A", 1)->values[kLibere], 4);
    EXPECT_EQ(find(rows, 25, "NAZIONE", 32)->values[kLibere], 20);
}

TEST(PresenzeTally, AbsurdNumbersStopAtTheEndsOfTheRange)
{
    const std::int64_t huge = std::numeric_limits<std::int64_t>::max() / 2;
    const auto rows = tally(kMarch2026, detail(), rooms({{1, 10}}), {header(1, 1, "C", "A")},
                            {line(1, 1, "C", "20260301", "20260311", huge, -huge)});
    EXPECT_EQ(find(rows, 1, "A", 32)->values[kPresenze], std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(find(rows, 1, "A", 32)->values[kCamere], std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(find(rows, 1, "A", 32)->values[kLibere], std::numeric_limits<std::int64_t>::max());
}
