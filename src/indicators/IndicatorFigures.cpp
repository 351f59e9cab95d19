#include "indicators/IndicatorFigures.h"

#include "data/DataError.h"

namespace presenze {

void addChecked(std::int64_t& a, std::int64_t b)
{
    if (__builtin_add_overflow(a, b, &a))
        throw DataError("Totale troppo grande per gli indicatori");
}

KindFigures& KindFigures::operator+=(const KindFigures& other)
{
    addChecked(rooms, other.rooms);
    addChecked(presences, other.presences);
    revenue += other.revenue;
    addChecked(arrivals, other.arrivals);
    addChecked(arrivingLines, other.arrivingLines);
    addChecked(arrivingNights, other.arrivingNights);
    return *this;
}

KindFigures PeriodFigures::counted(BookingKind kind) const
{
    switch (kind) {
    case BookingKind::Confirmed:
        return confirmed;
    case BookingKind::Optional:
        return optional;
    case BookingKind::All:
        break;
    }
    KindFigures both = confirmed;
    both += optional;
    return both;
}

PeriodFigures& PeriodFigures::operator+=(const PeriodFigures& other)
{
    addChecked(roomsAvailable, other.roomsAvailable);
    confirmed += other.confirmed;
    optional += other.optional;
    booked = booked || other.booked;
    return *this;
}

Ratio euro(const Currency& amount)
{
    return {amount.units, Currency::kScale};
}

Ratio ratePerRoom(const Currency& revenue, std::int64_t rooms)
{
    return {revenue.units, static_cast<__int128>(rooms) * Currency::kScale};
}

Ratio occupancy(const PeriodFigures& f, BookingKind kind)
{
    return {f.counted(kind).rooms, f.roomsAvailable};
}

Ratio averageDailyRate(const PeriodFigures& f, BookingKind kind)
{
    const KindFigures k = f.counted(kind);
    return ratePerRoom(k.revenue, k.rooms);
}

Ratio revPar(const PeriodFigures& f, BookingKind kind)
{
    return ratePerRoom(f.counted(kind).revenue, f.roomsAvailable);
}

Ratio averageStay(const PeriodFigures& f, BookingKind kind)
{
    const KindFigures k = f.counted(kind);
    return {k.arrivingNights, k.arrivingLines};
}

Ratio guestsPerRoom(const PeriodFigures& f, BookingKind kind)
{
    const KindFigures k = f.counted(kind);
    return {k.presences, k.rooms};
}

} // namespace presenze
