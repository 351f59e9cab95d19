#pragma once
// The indicators as a CSV file for spreadsheets and scripts: UTF-8 without a
// byte-order mark, CR LF line ends, "," between fields, "." before the
// decimals, rounded half away from zero; an empty field where a ratio has no
// value ("n.d."). The heading is one row:
//
//   Hotel,Mese,CamereDisponibili,...,OspitiPerCamera[,CamereDisponibiliAP,...]
//
// then the rows hotel by hotel, months in time order, each hotel's "Totale"
// after its months, and the group last ("Totale" as the hotel). By company:
//
//   Hotel,Ditta,Presenze,CamereVendute,Ricavo,ADR,Quota[,PresenzeAP,...]
//
// each hotel's companies (largest first), then its "Totale", then the group.
// A chain's (every group of a server) begins each row with the group's
// name, "Gruppo,Hotel,...": each group's hotels, then the group's own rows
// ("Totale" as the hotel), and last the chain's, with an empty group.
// A company name is text a spreadsheet never runs: "'" before a leading "="
// or "@", and double quotes around a name that holds one, "," or a line end.

#include "indicators/Indicators.h"

#include <filesystem>
#include <optional>
#include <string>

namespace presenze {

// The CSV text (UTF-8) of the indicators: the months, or the companies when
// they go by company.
std::string indicatorCsv(const Indicators& indicators);

// A scaled value (Ratio::scaled) as plain decimal text: "-12.05"; empty
// without a value.
std::string decimalText(std::optional<std::int64_t> scaled, int decimals);

// Writes the CSV at `target`, replacing the file whole when it is done.
void writeIndicatorCsv(const Indicators& indicators, const std::filesystem::path& target);

} // namespace presenze
