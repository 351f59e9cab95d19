#pragma once
// The monthly movement of guests of each hotel, as the monthly statistical
// sheet asks for it (arrivals, departures and presences by nationality, day
// by day, and the rooms occupied), pre-filled from the booking files:
//
// - counted: the room lines of confirmed bookings. A line joins the first
//   booking header (table order) with its number and hotel; that header's
//   kind decides ("C" or "D", without regard to case) and gives the
//   nationality. A line without a header, of a hotel outside 1..9998 or
//   without persons is not counted;
// - a line arriving on day A and leaving on day P brings its persons as
//   arrivals on A, as departures on P and as present on the nights A..P-1,
//   its rooms as occupied on those nights; arrival = departure is one arrival
//   and one departure and no night;
// - nationality: Nazione trimmed of blanks and in upper case ("i" is "I");
//   an empty one is "not given" (shown "Non indicata");
// - for every day, present the night before + arrivals - departures = present
//   that night holds for every line whose dates make a stay. Lines whose dates
//   make none (a departure before the arrival, a date empty or not a real day)
//   are left out of the figures and listed, with the day, the nationality and
//   the booking number, as what breaks the balance in the data;
// - rooms available: the hotel's rooms as the reports count them (room types
//   "C"); beds: from LettiHotel.txt; days open: the days with any room
//   available; bed-days = beds x days open.
//
// Texts are Windows-1252.

#include "data/BookingCache.h"
#include "data/Dates.h"
#include "data/Records.h"
#include "istat/HotelBeds.h"
#include "tally/HotelRooms.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace presenze {

// Persons of one day.
struct GuestDay {
    std::int64_t presentiNottePrecedente = 0; // staying the night before
    std::int64_t arrivi = 0;
    std::int64_t partenze = 0;
    std::int64_t presenti = 0; // staying that night
    bool any() const { return presentiNottePrecedente || arrivi || partenze || presenti; }
};

// The days of the month of one nationality, day 1 first.
struct NationalityMovement {
    std::string nazione; // trimmed, upper case; empty when not given
    std::vector<GuestDay> days;
    std::int64_t arrivals() const;  // of the month
    std::int64_t presences() const; // nights of the month
};

// The caption of a nationality: its code, or "Non indicata".
std::string nationalityCaption(const std::string& nazione);

// A counted booking's room line left out of the figures for its dates.
struct ExcludedLine {
    enum class Fault {
        DepartureBeforeArrival,
        MissingArrival,
        MissingDeparture,
        BadArrival,
        BadDeparture
    };
    Fault fault = Fault::DepartureBeforeArrival;
    std::optional<Date> day; // its date in the month, arrival first; none when it has none
    std::string nazione;     // as NationalityMovement
    std::int64_t booking = 0;
    std::int64_t persons = 0;
    std::string arrival; // as the file holds them
    std::string departure;
};

// What is wrong with the line, in words ("partenza prima dell'arrivo").
std::string faultText(const ExcludedLine& line);

struct HotelMovement {
    std::int64_t hotel = 0;
    std::string name;                               // from the registry; empty when it has none
    std::vector<GuestDay> totals;                   // all nationalities, day 1 first
    std::vector<std::int64_t> camereOccupate;       // rooms of the nights, day 1 first
    std::vector<NationalityMovement> nationalities; // in text order, "not given" last
    std::int64_t rooms = 0;                         // available each day
    std::optional<std::int64_t> beds;               // none without a line in LettiHotel.txt
    int daysOpen = 0;
    std::vector<ExcludedLine> excluded; // by day (lines without one last), then booking

    std::optional<std::int64_t> bedDays() const;
    // "Hotel N" and the registry's name, when it has one.
    std::string caption() const;
};

struct MonthMovement {
    Date first; // the month's first day
    int days = 0;
    bool bedsFile = false;             // LettiHotel.txt was found
    std::vector<HotelMovement> hotels; // by number
};

// The hotels a sheet is made for: those ticked (nullopt: every hotel of the
// registry, and any other with counted lines), the booking set's lines of the
// days from the one before `first` to the month's last day, with the faulty
// lines of that span.
MonthMovement countMovement(const Date& first, const std::optional<std::set<std::int64_t>>& hotels,
                            const BookingSet& bookings, const std::vector<HotelRecord>& registry,
                            const HotelRooms& rooms, const std::optional<HotelBeds>& beds);

// The month of month/year from the folder's files: the booking files of the
// season (empty: the current one), the registry, the room types and
// LettiHotel.txt. With `source` (kept by the caller) the bookings, the
// registry and the room types come from there (a group on the chain's
// server, which holds no lines whose dates make no stay), LettiHotel.txt
// still from the folder. Raises DataError.
MonthMovement MovimentoClienti(const DataFolder& folder, int month, int year,
                               const std::optional<std::set<std::int64_t>>& hotels,
                               std::string_view season, const BookingSource* source = nullptr);

} // namespace presenze
