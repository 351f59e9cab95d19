#include "reports/type1/MonthRows.h"

#include "data/Sqlite.h"
#include "data/Text1252.h"
#include "tally/Saturating.h"

#include <sqlite3.h>

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

// The day rows' sums, gathered by an aggregate function of the query.
struct DayRowSums {
    MonthRows& rows;
    HotelDays* current;
    std::int64_t currentHotel;
};

void addDayRow(sqlite3_context* context, int, sqlite3_value** args)
{
    auto& sums = *static_cast<DayRowSums*>(sqlite3_user_data(context));
    const std::int64_t hotel = sqlite3_value_int64(args[0]);
    const std::int64_t contatore = sqlite3_value_int64(args[1]);
    const bool grid = contatore >= 1 && contatore <= 31;
    const bool totals = contatore >= 41 && contatore <= 71;
    if (!grid && !totals)
        return;
    if (grid) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_value_text(args[2]));
        const auto size = static_cast<std::size_t>(sqlite3_value_bytes(args[2]));
        if (name && isNazione(std::string_view(name, size)))
            return;
    }
    if (!sums.current || hotel != sums.currentHotel) {
        sums.current = &sums.rows.hotels[hotel];
        sums.currentHotel = hotel;
    }
    const std::size_t day = static_cast<std::size_t>(grid ? contatore - 1 : contatore - 41);
    PresenzeCounters& sum = grid ? sums.current->grid[day] : sums.current->totals[day];
    for (int f = 0; f < kPresenzeCounterCount; ++f)
        addSaturating(sum[f], sqlite3_value_int64(args[3 + f]));
    (grid ? sums.current->inGrid : sums.current->inTotals)[day] = true;
}

void finishDayRows(sqlite3_context* context)
{
    sqlite3_result_null(context);
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

    // Day rows: their sums do not depend on the order they are met in, so
    // they are added up inside the query, one call per row.
    DayRowSums sums{rows, nullptr, 0};
    if (sqlite3_create_function(work.handle(), "somma_giorno", 16, SQLITE_UTF8, &sums, nullptr,
                                addDayRow, finishDayRows) != SQLITE_OK)
        work.fail(sqlite3_errcode(work.handle()), "somma_giorno");
    Statement days =
        work.prepare(std::string("SELECT somma_giorno(NumeroHotel, Contatore, "
                                 "NomeDitta, ") +
                     kCounters + ") FROM Presenze WHERE NumeroHotel > 0 AND Contatore <> 32");
    while (days.step()) {
    }
    sqlite3_create_function(work.handle(), "somma_giorno", 16, SQLITE_UTF8, nullptr, nullptr,
                            nullptr, nullptr);

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
