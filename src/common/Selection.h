#pragma once
// The selection snapshot: what the main window's controls hold when a report
// is asked for, as a plain value. The window (or the command line) fills it;
// the report builders read only this.

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace presenze {

// Opt(0..2): which bookings a report reads.
enum class BookingKind {
    Confirmed, // Opt(0) "Confermate": kinds C and D
    Optional,  // Opt(1) "Opzionate": kind O
    All        // Opt(2) "Tutte": kinds O, C and D
};

// What a Type 2 day counts.
enum class DayCount {
    Presences, // the nights of the stays
    Arrivals   // the arrivals of the day
};

struct Selection {
    BookingKind kind = BookingKind::Confirmed;

    // ChkHtl(1..n): nullopt = every hotel ticked; otherwise the ticked numbers.
    std::optional<std::set<std::int64_t>> tickedHotels;
    bool hotelTicked(std::int64_t hotel) const
    {
        return !tickedHotels || tickedHotels->count(hotel) > 0;
    }

    // Chk(0) with Combo1(0): one hotel only (the control is never shown).
    bool singleHotel = false;
    std::int64_t comboHotel = 1; // numeric value of the first 3 characters of Combo1(0)

    // Chk(1) "Singola Ditta" with Text1(1) (Windows-1252).
    bool singleCompany = false;
    std::string company;

    // Chk(2) "Riepilogate": summary (Type 1) / totals (Type 2) mode.
    bool summary = true;

    // Chk(3) "Elenco specifico", with the company list as the window last
    // loaded it (at start-up or when the list was saved).
    bool companyListOnly = false;
    std::array<std::string, 101> companyList;

    // ChkA "Raggruppamento TOP/ACS" (Type 1).
    bool groupTopAcs = false;

    // Season prefix of the booking files; empty = current season.
    std::string season;

    // Type 2: presences or arrivals; unset = asked at every month (the
    // window's question "Calcolo Per presenze (Si) o per Arrivi (No)?").
    std::optional<DayCount> dayCount;
};

} // namespace presenze
