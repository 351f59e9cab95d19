#pragma once
// The counters of the Type 2 report: TotaliTipo2 (four counts and an amount)
// and the per-day tables that one month of the report fills and empties.
// Every addition into a 32-bit counter is checked: a sum that does not fit
// raises DataError instead of wrapping round.

#include "data/Currency.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace presenze {

struct TotaliTipo2 {
    std::int32_t PresCon = 0; // persons of confirmed bookings
    std::int32_t PresOpz = 0; // persons of optional bookings
    std::int32_t CamCon = 0;  // rooms of confirmed bookings
    std::int32_t CamOpz = 0;  // rooms of optional bookings
    Currency Importo;         // amount

    bool anyCount() const { return PresCon > 0 || PresOpz > 0 || CamCon > 0 || CamOpz > 0; }
};

// Raises the DataError of a total that does not fit, naming `what`.
[[noreturn]] void totalTooLarge(std::string_view what);

// counter += value; raises DataError naming `what` when the sum leaves the
// 32-bit range.
inline void addChecked(std::int32_t& counter, std::int64_t value, std::string_view what)
{
    std::int64_t sum = 0;
    if (__builtin_add_overflow(static_cast<std::int64_t>(counter), value, &sum) ||
        sum < INT32_MIN || sum > INT32_MAX)
        totalTooLarge(what);
    counter = static_cast<std::int32_t>(sum);
}

// Days 1..31 of the report month (index 0 unused).
template <typename T> using DayTable = std::array<T, 32>;

// The tables one month of the Type 2 report shares between its builder, the
// line writer and the room summary.
struct Tipo2Tables {
    DayTable<TotaliTipo2> GiornoTipo2{}; // company being tallied
    DayTable<TotaliTipo2> GiornoHotel{}; // hotel being tallied (counts only)
    DayTable<std::int32_t> CamereGruppi{}, PersoneGruppi{};
    DayTable<std::int32_t> CamereTourOp{}, PersoneTourOp{};
    DayTable<std::int32_t> CamereAccSpec{}, PersoneAccSpec{};
    DayTable<std::int32_t> CamereIndividuali{}, PersoneIndividuali{};
    TotaliTipo2 TotaleGenerale; // totals of the closing table
    std::string RiepilogoDitte; // summary lines, each preceded by CR LF
    std::int64_t HotelCorrente = 0;
    std::int32_t CamereDisponibili = 0; // rooms of the last summarised hotel
};

} // namespace presenze
