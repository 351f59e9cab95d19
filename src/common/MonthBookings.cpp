#include "common/MonthBookings.h"

namespace presenze {

MonthBookings::MonthBookings(const ReportContext& context, const Date& first, BookingFields fields)
    : m_cache(context.bookings)
{
    const std::string firstKey = first.toKey();
    const std::string lastKey = first.addDays(31).toKey();
    if (!m_cache || !m_cache->serves(firstKey, lastKey, fields))
        m_cache = &m_own.emplace(firstKey, lastKey, fields, false, context.source);
}

} // namespace presenze
