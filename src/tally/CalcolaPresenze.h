#pragma once
// The daily occupancy tally: for every booked room line that overlaps the 31
// nights from the first day of a month, its persons and rooms are added night
// by night to the rows of Presenze (see WorkingDatabase.h and
// PresenzeTally.h), per hotel and company, or per hotel alone in summary
// mode. The tally is made in memory; the working database receives its rows
// when the caller asks for them.

#include "common/ReportContext.h"
#include "common/Selection.h"
#include "data/BookingCache.h"
#include "data/Dates.h"
#include "data/Records.h"
#include "tally/HotelRooms.h"
#include "tally/PresenzeTally.h"

#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

namespace presenze {

// Called for every counted room line, before its nights are added.
using CountedLine = std::function<void(const BookedLine&)>;

// The tally of the 31 nights from `start` over the bookings:
// - a room line counts when it overlaps the window (arrives on or before
//   the 32nd day and leaves after the first), its kind is one of the
//   selection's (the kind letters compared without regard to case), its
//   hotel is 1..9998 (and the chosen one with the single-hotel filter), it
//   has persons, and it has a booking header (hotel and booking number; the
//   first one in table order of those whose kind, hotel and company pass the
//   same tests) whose company passes the company list and single-company
//   tests (exact comparison);
// - lines are walked by hotel, then booking number, then table order.
PresenzeTally tallyBookings(const Date& start, const Selection& selection, HotelRooms rooms,
                            const BookingSet& bookings, const CountedLine& counted = {});

// Tallies the month that begins on primoGiorno from the data files of the
// context's folder (the booking files of the selection's season), through
// MonthBookings. Progress goes to the context's status line, at most a few
// times a second; room lines left out for bad dates are reported in one
// warning.
PresenzeTally CalcolaPresenze(const Date& primoGiorno, const Selection& selection,
                              ReportContext& context);

// Replaces the station's working database by one whose table Presenze holds
// the tally's rows, in the order they came into being (see
// rebuildWorkingDatabase). Returns its path.
std::filesystem::path writeWorkingDatabase(const DataFolder& folder, std::string_view stationTag,
                                           const PresenzeTally& tally);

} // namespace presenze
