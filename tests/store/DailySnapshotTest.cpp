// The day's snapshot of the books: the nights it covers, the first header of
// a booking, lines without one, and revenue on the nights of each tariff
// period.

#include "store/DailySnapshot.h"

#include <gtest/gtest.h>

using namespace presenze;

namespace {

BookingHeader header(std::int64_t hotel, std::int64_t number, const char* kind, const char* ditta)
{
    BookingHeader h;
    h.numeroHotel = hotel;
    h.numeroPrenotazione = number;
    h.tipoPrenotazione = kind;
    h.ditta = ditta;
    return h;
}

RoomLine line(std::int64_t hotel, std::int64_t number, const char* arrival, const char* departure,
              std::int64_t rooms, std::int64_t persons, std::int64_t tariffDays, std::int64_t price)
{
    RoomLine l;
    l.numeroHotel = hotel;
    l.numeroPrenotazione = number;
    l.dataArrivo = arrival;
    l.dataPartenza = departure;
    l.quantitaCamere = rooms;
    l.numeroPersone = persons;
    l.giorniTariffa = tariffDays;
    l.prezzo = Currency::whole(price);
    return l;
}

} // namespace

TEST(DailySnapshot, CountsEachNightOfTheWindowOnTheBooking)
{
    SeasonData season;
    season.headers = {header(2, 12, "O", "BIANCHI"), header(1, 10, "C", "ROSSI"),
                      header(1, 10, "O", "ALTRO")};
    season.lines = {
        line(1, 10, "20261129", "20261204", 2, 3, 3, 100), // charged 29/11 and 02/12
        line(1, 11, "20261202", "20261204", 5, 5, 1, 10),  // no header
        line(1, 10, "20261203", "20261205", 1, 1, 1, 50),
        line(2, 12, "20271207", "20271210", 1, 2, 1, 70), // past the 365th night
    };
    const Date day{2026, 12, 8};
    EXPECT_EQ(snapshotNights(day).first, (Date{2026, 12, 1}.toSerial()));
    EXPECT_EQ(snapshotNights(day).last, (Date{2027, 12, 8}.toSerial()));

    std::vector<std::string> rows;
    forEachSnapshotRow(season, day, [&](const SnapshotRow& r) {
        rows.push_back(std::to_string(r.hotel) + " " + Date::fromSerial(r.first).toDisplay() + "-" +
                       Date::fromSerial(r.last).toDisplay() + " " + std::string(r.company) + " " +
                       std::string(r.kind) + " " + std::to_string(r.booking) + " " +
                       std::to_string(r.rooms) + " " + std::to_string(r.persons) + " " +
                       r.revenue.toText());
    });
    const std::vector<std::string> want = {
        "1 01/12/2026-01/12/2026 ROSSI C 10 2 3 0.0000",
        "1 02/12/2026-02/12/2026 ROSSI C 10 2 3 100.0000",
        "1 03/12/2026-03/12/2026 ROSSI C 10 3 4 50.0000",
        "1 04/12/2026-04/12/2026 ROSSI C 10 1 1 50.0000",
        "2 07/12/2027-08/12/2027 BIANCHI O 12 1 2 70.0000",
    };
    EXPECT_EQ(rows, want);
}
