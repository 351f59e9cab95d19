#pragma once
// The booking data a report builder reads for one month: the print request's
// cache (ReportContext::bookings) when it serves the month's window, else a
// cache of the builder's own for this month alone. Either reads the context's
// source (none: the folder), so a builder has one way to its data files.
//
//   MonthBookings month(context, first, BookingFields::Tally);
//   const auto& rooms = month.cache().roomTypes(context.folder);

#include "common/ReportContext.h"
#include "data/BookingCache.h"
#include "data/Dates.h"

#include <optional>

namespace presenze {

class MonthBookings {
public:
    // The window of the month that begins on `first`: the room lines that
    // arrive by its 32nd day and leave after its first.
    MonthBookings(const ReportContext& context, const Date& first, BookingFields fields);
    MonthBookings(const MonthBookings&) = delete;
    MonthBookings& operator=(const MonthBookings&) = delete;

    BookingCache& cache() { return *m_cache; }

private:
    std::optional<BookingCache> m_own;
    BookingCache* m_cache = nullptr;
};

} // namespace presenze
