#pragma once
// The counts of each hotel and night of an indicator period, and of the
// nights last year it compares with, from the booking files of one or more
// seasons. Room lines count as the Type 2 report counts them: each joins the
// first booking header with its booking number and hotel, whose kind makes
// it confirmed ("C", "D") or optional ("O"); a line without such a header
// counts for nothing. A line stays the nights from its arrival to the day
// before its departure and is charged its Prezzo on its arrival night and
// every GiorniTariffa nights after it.
//
// Seasons are added in their order of precedence. Per hotel and night every
// figure comes from the first season with a counted line that night; per
// hotel and row (a month of the period, or of last year) the arrivals come
// from the first season with a line arriving then. So a night that two
// seasons hold counts once.

#include "data/BookingCache.h"
#include "indicators/IndicatorFigures.h"
#include "indicators/IndicatorNights.h"
#include "indicators/Indicators.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace presenze {

class SeasonTally {
public:
    // Counts the lines of `hotels` only. `kind` is the kind the companies
    // count (with `byCompany`); last year's nights are counted only with
    // `compare`.
    SeasonTally(std::vector<MonthNights> months, bool compare, BookingKind kind, bool byCompany,
                std::set<std::int64_t> hotels);

    // The next season, in order of precedence: its bookings over (at least)
    // the day before spanOf(months) to its last night.
    void addSeason(const BookingSet& bookings);

    const std::vector<MonthNights>& months() const { return m_months; }
    // The room lines of other hotels, by hotel: left out.
    const std::map<std::int64_t, std::int64_t>& leftOut() const { return m_leftOut; }
    // A hotel's counts over row `month`'s nights (this year's, or last
    // year's); roomsAvailable is left at 0.
    PeriodFigures figures(std::int64_t hotel, std::size_t month, bool lastYear) const;
    // A hotel's companies over the period (unsorted), with last year's
    // figures when comparing.
    std::vector<CompanyIndicators> companies(std::int64_t hotel) const;

private:
    // The sums of one night of one hotel, index 0 confirmed, 1 optional.
    struct NightCell {
        std::int64_t rooms[2] = {0, 0};
        std::int64_t persons[2] = {0, 0};
        std::int64_t revenue[2] = {0, 0}; // Currency units
        bool booked = false;
    };
    // The lines arriving on one day.
    struct ArrivalCell {
        std::int64_t persons[2] = {0, 0};
        std::int64_t lines[2] = {0, 0};
        std::int64_t nights[2] = {0, 0};
        bool booked = false;
        ArrivalCell& operator+=(const ArrivalCell& other);
    };
    struct CompanyCounts {
        KindFigures current;
        KindFigures lastYear;
    };
    struct HotelDays {
        std::vector<NightCell> nights;       // the figures taken, by day of the span
        std::vector<std::int16_t> owner;     // the season they came from; -1: none
        std::vector<NightCell> seasonNights; // of the season being added
        std::vector<ArrivalCell> seasonArrivals;
        std::vector<ArrivalCell> arrivals[2]; // taken, per row: this year, last year
        std::vector<bool> arrivalsTaken[2];
        std::map<std::string, CompanyCounts> companies;
    };

    HotelDays& daysOf(std::int64_t hotel);
    void tallyLine(HotelDays& h, const BookedLine& stay, const LinePrice& price, int kind);
    void takeSeason(int season);
    void tallyCompanies(const BookingSet& bookings, int season);
    long dayIndex(long night) const { return night - m_first; }

    std::vector<MonthNights> m_months;
    bool m_compare;
    BookingKind m_kind;
    bool m_byCompany;
    std::set<std::int64_t> m_hotels;
    std::map<std::int64_t, std::int64_t> m_leftOut;
    long m_first = 0; // the span's nights
    long m_last = -1;
    std::vector<bool> m_needed;           // by day: a night some row counts
    std::vector<std::int8_t> m_weight[2]; // by day: how many rows count it
    std::unordered_map<std::int64_t, HotelDays> m_days;
    int m_seasons = 0;
};

} // namespace presenze
