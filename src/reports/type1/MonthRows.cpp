#include "reports/type1/MonthRows.h"

#include "data/Sqlite.h"
#include "data/Text1252.h"
#include "tally/Saturating.h"

namespace presenze
{
namespace
{

// The thirteen counters, from column `first` on.
constexpr const char* kCounters =
    "Presenze, PresOpz, Camere, Opzioni, Libere, Gruppi, Individuali, TourOp, AccSpec, "
    "GruppiC, IndividualiC, TourOpC, AccSpecC";

void readCounters(const Statement& st, int first, PresenzeCounters& values)
{
    for (int f = 0; f < kPresenzeCounterCount; ++f)
        values[f] = st.integer(first + f);
}

void addCounters(PresenzeCounters& sum, const PresenzeCounters& values)
{
    for (int f = 0; f < kPresenzeCounterCount; ++f)
        addSaturating(sum[f], values[f]);
}

bool isNazione(std::string_view utf8Name)
{
    // "NAZIONE" is plain ASCII, so comparing the stored UTF-8 is enough.
    return equalText(utf8Name, "NAZIONE");
}

} // namespace

const HotelDays* MonthRows::days(std::int64_t hotel) const
{
    const auto it = hotels.find(hotel);
    return it == hotels.end() ? nullptr : &it->second;
}

MonthRows readMonthRows(const Database& work)
{
    MonthRows rows;
    PresenzeCounters values;

    // Day rows: their sums do not depend on the order they are met in.
    Statement days =
        work.prepare(std::string("SELECT NumeroHotel, Contatore, NomeDitta, ") + kCounters +
                     " FROM Presenze WHERE NumeroHotel > 0 AND Contatore <> 32");
    HotelDays* current = nullptr;
    std::int64_t currentHotel = 0;
    while (days.step()) {
        const std::int64_t hotel = days.integer(0);
        const std::int64_t contatore = days.integer(1);
        const bool grid = contatore >= 1 && contatore <= 31;
        const bool totals = contatore >= 41 && contatore <= 71;
        if (!grid && !totals)
            continue;
        if (grid && isNazione(days.utf8(2)))
            continue;
        if (!current || hotel != currentHotel) {
            current = &rows.hotels[hotel];
            currentHotel = hotel;
        }
        readCounters(days, 3, values);
        const std::size_t day = static_cast<std::size_t>(grid ? contatore - 1 : contatore - 41);
        if (grid) {
            addCounters(current->grid[day], values);
            current->inGrid[day] = true;
        } else {
            addCounters(current->totals[day], values);
            current->inTotals[day] = true;
        }
    }

    // Period rows, in the order of the report.
    Statement period = work.prepare(std::string("SELECT NumeroHotel, NomeDitta, ") + kCounters +
                                    " FROM Presenze WHERE NumeroHotel > 0 AND Contatore = 32"
                                    " ORDER BY NumeroHotel, NomeDitta COLLATE TESTO, rowid");
    while (period.step()) {
        readCounters(period, 2, values);
        if (isNazione(period.utf8(1))) {
            rows.hasNation = true;
            addCounters(rows.nation, values);
            continue;
        }
        rows.companies.push_back({period.integer(0), period.text(1), values});
    }
    return rows;
}

} // namespace presenze
