#pragma once
// The columns of the indicators, in the order every output shows them: the
// CSV's heading, the table's label, what the value is and how many decimals
// the CSV gives it. The text table, the CSV and the workbook read the same
// list, so that they show the same figures.

#include "indicators/IndicatorFigures.h"

#include <array>
#include <string_view>

namespace presenze {

enum class ColumnUnit {
    Count,    // a whole number
    Fraction, // occupancy, share: 0.6543 is 65.43%
    Euro,     // an amount or a rate in euro
    Number    // nights per line, guests per room
};

struct PeriodColumn {
    std::string_view name;  // the CSV heading ("AP" is added for last year)
    std::string_view label; // the table's heading
    ColumnUnit unit;
    int decimals; // in the CSV
    Ratio (*value)(const PeriodFigures& figures, BookingKind kind);
};

// CamereDisponibili, CamereVendute (always the confirmed rooms),
// CamereOpzionate (always the optional rooms), Occupazione, Presenze, Arrivi,
// Ricavo, ADR, RevPAR, PermanenzaMedia, OspitiPerCamera; the others count
// the booking kind asked for.
const std::array<PeriodColumn, 11>& periodColumns();

struct CompanyColumn {
    std::string_view name;
    std::string_view label;
    ColumnUnit unit;
    int decimals;
    // A company's figures against its hotel's (of the same kind).
    Ratio (*value)(const KindFigures& company, const KindFigures& hotel);
};

// Presenze, CamereVendute (the rooms of the kind asked for), Ricavo, ADR,
// Quota (the company's share of the hotel's rooms).
const std::array<CompanyColumn, 5>& companyColumns();

} // namespace presenze
