#pragma once
// The daily occupancy tally: for every booked room line that overlaps the 31
// nights from the first day of a month, its persons and rooms are added night
// by night to the rows of Presenze (see WorkingDatabase.h), per hotel and
// company, or per hotel alone in summary mode.

#include "data/BookingCache.h"
#include "data/Dates.h"
#include "data/Records.h"
#include "desk/ReportContext.h"
#include "desk/Selection.h"
#include "tally/HotelRooms.h"
#include "tally/PresenzeTally.h"

#include <functional>
#include <string_view>
#include <vector>

namespace presenze
{

class Database;

// The bookings of one month window, as the tally reads them: the room lines
// that arrive on or before the 32nd day and leave after the first, and the
// booking headers of those lines, both in table order.
struct MonthBookings {
    std::vector<const RoomLine*> lines;
    std::vector<const BookingHeader*> headers;
};

// Called for every counted room line, before its nights are added.
using CountedLine = std::function<void(const RoomLine&)>;

// The tally of the 31 nights from `start` over the given bookings:
// - a room line counts when its kind is one of the selection's (the kind
//   letters compared without regard to case), its hotel is 1..9998 (and the
//   chosen one with the single-hotel filter), it has persons, and it has a
//   booking header (hotel and booking number; the first one in table order of
//   those whose kind, hotel and company pass the same tests) whose company
//   passes the company list and single-company tests (exact comparison);
// - lines are walked by hotel, then booking number, then table order.
PresenzeTally tallyBookings(const Date& start, const Selection& selection, HotelRooms rooms,
                            const MonthBookings& bookings, const CountedLine& counted = {});

// Tallies the month that begins on primoGiorno ("01/MM/YYYY") from the data
// files of the context's folder (the booking files of the selection's season)
// and writes the rows into the table Presenze of `work`. Progress goes to the
// context's status line, at most a few times a second; room lines left out for
// bad dates are reported in one warning. The bookings come from the print
// request's cache when it covers the month, otherwise from the files. Returns
// the room counts.
HotelRooms CalcolaPresenze(std::string_view primoGiorno, const Selection& selection,
                           ReportContext& context, const Database& work);

} // namespace presenze
