#pragma once
// The indicators of a request as a plain value: per hotel and month the
// counts of this period and of last year, each hotel's total, the group's
// months and total, and, by company, each company's figures per hotel. The
// text table, the CSV, the workbook (and a chart or a window) read only this.
// Texts are Windows-1252.

#include "common/Selection.h"
#include "data/Dates.h"
#include "indicators/IndicatorFigures.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace presenze {

// One row: this period's counts and, with the comparison, last year's.
struct IndicatorLine {
    PeriodFigures current;
    std::optional<PeriodFigures> lastYear; // with the comparison only

    // Last year's figures when there are any to show: the comparison was
    // asked for and some booking lies on last year's nights.
    const PeriodFigures* comparable() const
    {
        return lastYear && lastYear->booked ? &*lastYear : nullptr;
    }
};

// A company's figures in one hotel over the whole period, of the counted
// booking kind (its arrivals are not kept).
struct CompanyIndicators {
    std::string name; // the booking header's Ditta
    KindFigures current;
    std::optional<KindFigures> lastYear; // with the comparison only
};

struct HotelIndicators {
    std::int64_t hotel = 0;
    std::string name;                  // the registry's name
    std::int64_t rooms = 0;            // rooms of class "C"
    std::vector<IndicatorLine> months; // one per Indicators::months
    IndicatorLine total;
    // By company: every company with a room line in the hotel, by rooms
    // (largest first) then name.
    std::vector<CompanyIndicators> companies;
};

struct Indicators {
    BookingKind kind = BookingKind::Confirmed;
    bool compare = false;
    bool byCompany = false;
    Date firstNight; // the period
    Date lastNight;
    std::vector<Date> months;            // the first day of each row's month, in time order
    std::vector<HotelIndicators> hotels; // in registry order
    std::vector<IndicatorLine> groupMonths;
    IndicatorLine groupTotal;
};

} // namespace presenze
