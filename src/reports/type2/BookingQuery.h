#pragma once
// The booking query of the Type 2 report: the booked-room lines of a month
// window joined to their booking headers, filtered by the selection and put
// in report order. The join runs in memory over the two readers' results, so
// the shared booking files are only ever read.

#include "common/Selection.h"
#include "data/Currency.h"
#include "data/DataFolder.h"
#include "data/Dates.h"
#include "data/Records.h"

#include <cstdint>
#include <string>
#include <vector>

namespace presenze {

class BookingSet;

// Where a room line's note puts it in the room summary.
enum class Category { Groups, TourOperators, AccSpec, Individuals };

// "<GRP>", else "<TO>", else "<AS>" in the upper-cased note; else Individuals.
Category categoryOf(std::string_view note);

struct BookingRow {
    std::int64_t numeroHotel = 0;
    std::string_view ditta;  // the header's company (in the set); "Totale" in totals mode
    bool confermata = false; // header kind C or D ("con"), otherwise O ("opz")
    long arrivo = 0;         // DataArrivo as days from the window's first day
    long partenza = 0;       // DataPartenza likewise
    std::int64_t numeroPersone = 0;
    std::int64_t quantitaCamere = 0;
    Category category = Category::Individuals;
    std::int64_t giorniTariffa = 1; // at least 1
    Currency prezzo;
};

struct BookingQuery {
    Date first;                      // the window's first day
    bool totals = false;             // "Riepilogate": one group per hotel
    std::vector<std::int64_t> codes; // company codes of the list; empty = all
};

// The rows of the month window (first day .. first day + 31, by arrival and
// departure) whose header has the same NumeroPrenotazione and NumeroHotel and
// passes the selection: booking kind, the single hotel, then either the
// company codes (when the list gives any) or the "Singola Ditta" prefix.
//
// Detail mode: one row per room line and matching header, ordered by hotel,
// company (engine text order: case folded, ties by the bytes), booking kind,
// then table order. Totals mode: the rows of a hotel grouped by kind ("con"
// or "opz"), note, arrival and departure with persons and rooms summed, in
// hotel order.
//
// The rows refer to the set's texts: they are valid while the set lives.
std::vector<BookingRow> selectBookingRows(const BookingSet& bookings, const Selection& selection,
                                          const BookingQuery& query);

} // namespace presenze
