#pragma once
// The figures a print request computed, kept beside the report file for the
// workbook and the charts. Per month: each hotel's rooms and its day totals,
// and each company's presences, rooms and amounts day by day, in the order
// of the report, exactly as the builders tallied them while they wrote the
// month. A request fills them only when asked to (ReportContext::figures).
// Texts are Windows-1252.
//
//   ReportFigures figures;
//   context.figures = &figures;
//   runPrintRequest(kind, range, selection, context);
//   for (const MonthFigures& month : figures.months()) ...

#include "common/Selection.h"
#include "data/Currency.h"
#include "data/Dates.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace presenze {

// The 31 day columns of a report month.
inline constexpr int kFigureDays = 31;

// The four counts and the amount of one day. Counting by arrivals, the
// presences hold arrivals, as the report does.
struct DayFigures {
    std::int64_t presCon = 0;
    std::int64_t presOpz = 0;
    std::int64_t camCon = 0;
    std::int64_t camOpz = 0;
    Currency importo;

    bool any() const { return presCon || presOpz || camCon || camOpz || importo.units; }
    DayFigures& operator+=(const DayFigures& other);
};

// A company's figures of one hotel: the days (1..31) that have any figure.
struct CompanyFigures {
    std::int64_t hotel = 0;
    std::int32_t name = 0;      // index into ReportFigures::names()
    std::uint32_t firstDay = 0; // range in MonthFigures::days
    std::uint32_t dayCount = 0;
};

struct FigureDay {
    int day = 0; // 1..31
    DayFigures figures;
};

// A hotel of the month: its rooms and the day totals of all its companies.
struct HotelFigures {
    std::int64_t hotel = 0;
    std::int64_t rooms = 0;
    std::array<DayFigures, kFigureDays> days{}; // index 0 = day 1
};

struct MonthFigures {
    Date first;                            // the first day of the month
    bool arrivals = false;                 // Type 2 counted by arrivals
    bool amounts = false;                  // the days carry amounts (Type 2 per company)
    std::vector<HotelFigures> hotels;      // in report order
    std::vector<CompanyFigures> companies; // in report order
    std::vector<FigureDay> days;           // the companies' days, company by company

    // Some company or hotel has a figure on some day (a month without data
    // has none).
    bool hasFigures() const;
    // Day d (1..31) falls within the month itself (not the next one).
    bool inMonth(int day) const { return day <= Date::daysInMonth(first.year, first.month); }
    const FigureDay* begin(const CompanyFigures& c) const { return days.data() + c.firstDay; }
    const FigureDay* end(const CompanyFigures& c) const { return begin(c) + c.dayCount; }
};

class ReportFigures {
public:
    // A new request: what was kept before goes.
    void start(bool type1, const Selection& selection);

    bool type1() const { return m_type1; }
    BookingKind kind() const { return m_kind; }
    // Type 1 summary or Type 2 totals mode: one "Totale" per hotel.
    bool summary() const { return m_summary; }

    // The builders, month by month.
    MonthFigures& startMonth(const Date& first, bool arrivals, bool amounts);
    // A company of the current month; its days follow through addDay.
    void startCompany(std::int64_t hotel, std::string_view name);
    // Day d (1..31) of the company begun last, kept when it has any figure.
    void addDay(int day, const DayFigures& figures);
    HotelFigures& addHotel(std::int64_t hotel, std::int64_t rooms);

    const std::vector<MonthFigures>& months() const { return m_months; }
    const std::string& name(std::int32_t id) const { return m_names[static_cast<std::size_t>(id)]; }

    // Hotel names of the registry, when there is one.
    void setHotelName(std::int64_t hotel, std::string name);
    // "Hotel 3" or the registry's name.
    std::string hotelLabel(std::int64_t hotel) const;
    // Every hotel of any month, ascending.
    std::vector<std::int64_t> hotels() const;

private:
    bool m_type1 = true;
    BookingKind m_kind = BookingKind::All;
    bool m_summary = false;
    std::vector<MonthFigures> m_months;
    std::vector<std::string> m_names;
    std::unordered_map<std::string, std::int32_t> m_nameIds;
    std::map<std::int64_t, std::string> m_hotelNames;
};

} // namespace presenze
