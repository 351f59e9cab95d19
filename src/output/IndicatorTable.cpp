#include "output/IndicatorTable.h"

#include "common/KV7Routine.h"
#include "data/Text1252.h"
#include "indicators/IndicatorColumns.h"

#include <algorithm>

namespace presenze {
namespace {

constexpr std::string_view kNotDefined = "n.d.";
constexpr std::string_view kEuroSign = "\x80";

// A whole number with "." between thousands.
std::string grouped(std::int64_t value)
{
    const bool negative = value < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ".");
    return (negative ? "-" : "") + digits;
}

// A scaled value (units of 10^-decimals) the Italian way: "1.234,5".
std::string italian(std::int64_t scaled, int decimals)
{
    std::int64_t unit = 1;
    for (int i = 0; i < decimals; ++i)
        unit *= 10;
    const bool negative = scaled < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
    std::string text =
        grouped(static_cast<std::int64_t>(magnitude / static_cast<std::uint64_t>(unit)));
    if (decimals > 0) {
        std::string fraction = std::to_string(magnitude % static_cast<std::uint64_t>(unit));
        fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
        text += "," + fraction;
    }
    return (negative ? "-" : "") + text;
}

std::string valueText(const Ratio& value, ColumnUnit unit)
{
    switch (unit) {
    case ColumnUnit::Count:
        if (const auto v = value.scaled(0))
            return grouped(*v);
        break;
    case ColumnUnit::Fraction:
        if (const auto v = value.scaled(3)) // percent with one decimal
            return italian(*v, 1) + "%";
        break;
    case ColumnUnit::Euro:
    case ColumnUnit::Number:
        if (const auto v = value.scaled(2))
            return italian(*v, 2);
        break;
    }
    return std::string(kNotDefined);
}

std::string changeText(const Ratio& current, const Ratio& lastYear)
{
    const auto v = current.changeFrom(lastYear).scaled(3);
    if (!v)
        return std::string(kNotDefined);
    return (*v > 0 ? "+" : "") + italian(*v, 1) + "%";
}

std::string monthLabel(const Date& month)
{
    return std::string(trimBlanks(MonthNames[static_cast<std::size_t>(month.month)])) + " " +
           std::to_string(month.year);
}

std::string periodTitle(const Indicators& kpi)
{
    std::string kind;
    switch (kpi.kind) {
    case BookingKind::Confirmed:
        kind = "prenotazioni confermate";
        break;
    case BookingKind::Optional:
        kind = "prenotazioni opzionate";
        break;
    case BookingKind::All:
        kind = "prenotazioni confermate e opzionate";
        break;
    }
    std::string title = "Indicatori dal " + kpi.firstNight.toDisplay() + " al " +
                        kpi.lastNight.toDisplay() + ", " + kind;
    if (kpi.compare)
        title += ", a confronto con l'anno precedente";
    return title;
}

// Rows of cells, laid out in columns: the first two left-aligned, the others
// right-aligned; an empty row is a blank line.
class TextGrid {
public:
    void row(std::vector<std::string> cells) { m_rows.push_back(std::move(cells)); }
    void blank() { m_rows.emplace_back(); }

    std::string text() const
    {
        std::vector<std::size_t> widths;
        for (const auto& r : m_rows) {
            widths.resize(std::max(widths.size(), r.size()), 0);
            for (std::size_t c = 0; c < r.size(); ++c)
                widths[c] = std::max(widths[c], r[c].size());
        }
        std::string out;
        for (const auto& r : m_rows) {
            std::string line;
            for (std::size_t c = 0; c < r.size(); ++c) {
                const std::string pad(widths[c] - r[c].size(), ' ');
                if (c > 0)
                    line += "  ";
                line += c < 2 ? r[c] + pad : pad + r[c];
            }
            line.erase(line.find_last_not_of(' ') + 1);
            out += line + "\n";
        }
        return out;
    }

private:
    std::vector<std::vector<std::string>> m_rows;
};

std::string headingLabel(std::string_view label, ColumnUnit unit)
{
    std::string text(label);
    if (unit == ColumnUnit::Euro)
        text += " " + std::string(kEuroSign);
    return text;
}

// A row of the months' table, with last year and the change under it.
void periodRows(TextGrid& grid, const std::string& hotel, const std::string& month,
                const IndicatorLine& line, const Indicators& kpi)
{
    std::vector<std::string> current{hotel, month};
    for (const PeriodColumn& c : periodColumns())
        current.push_back(valueText(c.value(line.current, kpi.kind), c.unit));
    grid.row(std::move(current));
    if (!kpi.compare)
        return;
    const PeriodFigures* last = line.comparable();
    std::vector<std::string> lastYear{"", "  anno prec."};
    std::vector<std::string> change{"", "  var. %"};
    for (const PeriodColumn& c : periodColumns()) {
        const Ratio now = c.value(line.current, kpi.kind);
        const Ratio before = last ? c.value(*last, kpi.kind) : Ratio();
        lastYear.push_back(valueText(before, c.unit));
        change.push_back(changeText(now, before));
    }
    grid.row(std::move(lastYear));
    grid.row(std::move(change));
}

// A hotel as the first column names it: its number and name, after its
// group's name in a chain ("Milano / 3 Hotel Duomo").
std::string hotelLabel(const HotelIndicators& h)
{
    const std::string hotel = std::to_string(h.hotel) + " " + h.name;
    return h.group.empty() ? hotel : h.group + " / " + hotel;
}

// The line of a group of a chain, and the last line: the group's, or the
// chain's.
std::string groupLabel(const GroupIndicators& g)
{
    return "Totale gruppo " + g.name;
}
std::string lastLabel(const Indicators& kpi)
{
    return kpi.isChain() ? "Totale catena" : "Totale gruppo";
}

// The rows of one hotel or group: its months and its total, named on the
// first.
void monthRows(TextGrid& grid, const std::string& label, const std::vector<IndicatorLine>& months,
               const IndicatorLine& total, const Indicators& kpi)
{
    grid.blank();
    for (std::size_t m = 0; m < kpi.months.size(); ++m)
        periodRows(grid, m == 0 ? label : "", monthLabel(kpi.months[m]), months[m], kpi);
    periodRows(grid, kpi.months.empty() ? label : "", "Totale", total, kpi);
}

std::string monthsTable(const Indicators& kpi)
{
    TextGrid grid;
    std::vector<std::string> heading{"Hotel", "Mese"};
    for (const PeriodColumn& c : periodColumns())
        heading.push_back(headingLabel(c.label, c.unit));
    grid.row(heading);
    forEachHotel(
        kpi,
        [&](const HotelIndicators& h) { monthRows(grid, hotelLabel(h), h.months, h.total, kpi); },
        [&](const GroupIndicators& g) { monthRows(grid, groupLabel(g), g.months, g.total, kpi); });
    monthRows(grid, lastLabel(kpi), kpi.groupMonths, kpi.groupTotal, kpi);
    return grid.text();
}

// A company's figures (or a sum of them) with last year's when comparing.
struct CompanyLine {
    std::string name;
    KindFigures current;
    std::optional<KindFigures> lastYear;
};

void companyRows(TextGrid& grid, const std::string& hotel, const CompanyLine& line,
                 const KindFigures& hotelCurrent, const KindFigures* hotelLastYear, bool compare)
{
    std::vector<std::string> current{hotel, line.name};
    for (const CompanyColumn& c : companyColumns())
        current.push_back(valueText(c.value(line.current, hotelCurrent), c.unit));
    grid.row(std::move(current));
    if (!compare)
        return;
    std::vector<std::string> lastYear{"", "  anno prec."};
    std::vector<std::string> change{"", "  var. %"};
    for (const CompanyColumn& c : companyColumns()) {
        const Ratio now = c.value(line.current, hotelCurrent);
        const Ratio before =
            hotelLastYear && line.lastYear ? c.value(*line.lastYear, *hotelLastYear) : Ratio();
        lastYear.push_back(valueText(before, c.unit));
        change.push_back(changeText(now, before));
    }
    grid.row(std::move(lastYear));
    grid.row(std::move(change));
}

// The hotel's named companies, "Altre ditte" and its total.
std::vector<CompanyLine> companyLines(const HotelIndicators& h, const Indicators& kpi)
{
    std::vector<CompanyLine> lines;
    CompanyLine others{"Altre ditte", {}, std::nullopt};
    if (kpi.compare)
        others.lastYear.emplace();
    for (std::size_t i = 0; i < h.companies.size(); ++i) {
        const CompanyIndicators& c = h.companies[i];
        if (i < kCompaniesNamed) {
            lines.push_back({c.name.empty() ? "(senza nome)" : c.name, c.current, c.lastYear});
            continue;
        }
        others.current += c.current;
        if (others.lastYear && c.lastYear)
            *others.lastYear += *c.lastYear;
    }
    if (h.companies.size() > kCompaniesNamed)
        lines.push_back(std::move(others));
    return lines;
}

std::string companiesTable(const Indicators& kpi)
{
    TextGrid grid;
    std::vector<std::string> heading{"Hotel", "Ditta"};
    for (const CompanyColumn& c : companyColumns())
        heading.push_back(headingLabel(c.label, c.unit));
    grid.row(heading);
    const auto totalOf = [&](const IndicatorLine& line, const std::string& name) {
        CompanyLine total{name, line.current.counted(kpi.kind), std::nullopt};
        if (const PeriodFigures* last = line.comparable())
            total.lastYear = last->counted(kpi.kind);
        return total;
    };
    const auto totalRows = [&](const std::string& label, const IndicatorLine& line) {
        grid.blank();
        const CompanyLine total = totalOf(line, "Totale");
        companyRows(grid, label, total, total.current, total.lastYear ? &*total.lastYear : nullptr,
                    kpi.compare);
    };
    const auto hotelRows = [&](const HotelIndicators& h) {
        grid.blank();
        const CompanyLine total = totalOf(h.total, "Totale");
        const KindFigures* last = total.lastYear ? &*total.lastYear : nullptr;
        std::string hotel = hotelLabel(h);
        for (const CompanyLine& line : companyLines(h, kpi)) {
            companyRows(grid, hotel, line, total.current, last, kpi.compare);
            hotel.clear();
        }
        companyRows(grid, hotel, total, total.current, last, kpi.compare);
    };
    forEachHotel(kpi, hotelRows,
                 [&](const GroupIndicators& g) { totalRows(groupLabel(g), g.total); });
    totalRows(lastLabel(kpi), kpi.groupTotal);
    return grid.text();
}

constexpr std::string_view kLegend =
    "Occup. = camere vendute / camere disponibili; ADR = ricavo / camere vendute;\n"
    "RevPAR = ricavo / camere disponibili; Perm. = notti delle righe arrivate / righe arrivate;\n"
    "Osp./cam. = presenze / camere vendute; n.d. = non determinabile.\n";

constexpr std::string_view kCompanyLegend =
    "Camere = camere vendute (notti); ADR = ricavo / camere; Quota = camere della ditta / "
    "camere dell'hotel.\n";

} // namespace

std::string indicatorTable(const Indicators& indicators)
{
    std::string text = periodTitle(indicators) + "\n\n";
    if (indicators.byCompany)
        return text + companiesTable(indicators) + "\n" + std::string(kCompanyLegend);
    return text + monthsTable(indicators) + "\n" + std::string(kLegend);
}

} // namespace presenze
