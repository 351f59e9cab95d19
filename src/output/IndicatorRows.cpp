#include "output/IndicatorRows.h"

#include "indicators/IndicatorColumns.h"
#include "output/IndicatorText.h"

#include <optional>

namespace presenze {
namespace {

constexpr std::string_view kEuroSign = "\x80";

using Kind = IndicatorRow::Kind;

std::string headingLabel(std::string_view label, ColumnUnit unit)
{
    std::string text(label);
    if (unit == ColumnUnit::Euro)
        text += " " + std::string(kEuroSign);
    return text;
}

class RowList {
public:
    void add(Kind kind, bool total, std::vector<std::string> cells)
    {
        m_rows.push_back({kind, total, std::move(cells)});
    }
    void blank() { m_rows.push_back({Kind::Blank, false, {}}); }
    std::vector<IndicatorRow> take() { return std::move(m_rows); }

private:
    std::vector<IndicatorRow> m_rows;
};

// A row of the months' table, with last year and the change under it.
void periodRows(RowList& rows, const std::string& hotel, const std::string& month,
                const IndicatorLine& line, const Indicators& kpi, bool total)
{
    std::vector<std::string> current{hotel, month};
    for (const PeriodColumn& c : periodColumns())
        current.push_back(indicatorValueText(c.value(line.current, kpi.kind), c.unit));
    rows.add(Kind::Figures, total, std::move(current));
    if (!kpi.compare)
        return;
    const PeriodFigures* last = line.comparable();
    std::vector<std::string> lastYear{"", "  anno prec."};
    std::vector<std::string> change{"", "  var. %"};
    for (const PeriodColumn& c : periodColumns()) {
        const Ratio now = c.value(line.current, kpi.kind);
        const Ratio before = last ? c.value(*last, kpi.kind) : Ratio();
        lastYear.push_back(indicatorValueText(before, c.unit));
        change.push_back(indicatorChangeText(now, before));
    }
    rows.add(Kind::LastYear, total, std::move(lastYear));
    rows.add(Kind::Change, total, std::move(change));
}

// The rows of one hotel or group: its months and its total, named on the
// first.
void monthRows(RowList& rows, const std::string& label, const std::vector<IndicatorLine>& months,
               const IndicatorLine& total, const Indicators& kpi)
{
    rows.blank();
    for (std::size_t m = 0; m < kpi.months.size(); ++m)
        periodRows(rows, m == 0 ? label : "", indicatorMonthLabel(kpi.months[m]), months[m], kpi,
                   false);
    periodRows(rows, kpi.months.empty() ? label : "", "Totale", total, kpi, true);
}

// A company's figures (or a sum of them) with last year's when comparing.
struct CompanyLine {
    std::string name;
    KindFigures current;
    std::optional<KindFigures> lastYear;
};

void companyRows(RowList& rows, const std::string& hotel, const CompanyLine& line,
                 const KindFigures& hotelCurrent, const KindFigures* hotelLastYear, bool compare,
                 bool total)
{
    std::vector<std::string> current{hotel, line.name};
    for (const CompanyColumn& c : companyColumns())
        current.push_back(indicatorValueText(c.value(line.current, hotelCurrent), c.unit));
    rows.add(Kind::Figures, total, std::move(current));
    if (!compare)
        return;
    std::vector<std::string> lastYear{"", "  anno prec."};
    std::vector<std::string> change{"", "  var. %"};
    for (const CompanyColumn& c : companyColumns()) {
        const Ratio now = c.value(line.current, hotelCurrent);
        const Ratio before =
            hotelLastYear && line.lastYear ? c.value(*line.lastYear, *hotelLastYear) : Ratio();
        lastYear.push_back(indicatorValueText(before, c.unit));
        change.push_back(indicatorChangeText(now, before));
    }
    rows.add(Kind::LastYear, total, std::move(lastYear));
    rows.add(Kind::Change, total, std::move(change));
}

// The hotel's named companies and "Altre ditte".
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

CompanyLine totalLine(const IndicatorLine& line, const Indicators& kpi)
{
    CompanyLine total{"Totale", line.current.counted(kpi.kind), std::nullopt};
    if (const PeriodFigures* last = line.comparable())
        total.lastYear = last->counted(kpi.kind);
    return total;
}

} // namespace

std::vector<IndicatorRow> indicatorMonthRows(const Indicators& kpi)
{
    RowList rows;
    std::vector<std::string> heading{"Hotel", "Mese"};
    for (const PeriodColumn& c : periodColumns())
        heading.push_back(headingLabel(c.label, c.unit));
    rows.add(Kind::Heading, false, std::move(heading));
    forEachHotel(
        kpi,
        [&](const HotelIndicators& h) {
            monthRows(rows, indicatorHotelLabel(h), h.months, h.total, kpi);
        },
        [&](const GroupIndicators& g) {
            monthRows(rows, indicatorGroupLabel(g), g.months, g.total, kpi);
        });
    monthRows(rows, indicatorLastLabel(kpi), kpi.groupMonths, kpi.groupTotal, kpi);
    return rows.take();
}

std::vector<IndicatorRow> indicatorCompanyRows(const Indicators& kpi)
{
    RowList rows;
    std::vector<std::string> heading{"Hotel", "Ditta"};
    for (const CompanyColumn& c : companyColumns())
        heading.push_back(headingLabel(c.label, c.unit));
    rows.add(Kind::Heading, false, std::move(heading));
    const auto totalRows = [&](const std::string& label, const IndicatorLine& line) {
        rows.blank();
        const CompanyLine total = totalLine(line, kpi);
        companyRows(rows, label, total, total.current, total.lastYear ? &*total.lastYear : nullptr,
                    kpi.compare, true);
    };
    const auto hotelRows = [&](const HotelIndicators& h) {
        rows.blank();
        const CompanyLine total = totalLine(h.total, kpi);
        const KindFigures* last = total.lastYear ? &*total.lastYear : nullptr;
        std::string hotel = indicatorHotelLabel(h);
        for (const CompanyLine& line : companyLines(h, kpi)) {
            companyRows(rows, hotel, line, total.current, last, kpi.compare, false);
            hotel.clear();
        }
        companyRows(rows, hotel, total, total.current, last, kpi.compare, true);
    };
    forEachHotel(kpi, hotelRows,
                 [&](const GroupIndicators& g) { totalRows(indicatorGroupLabel(g), g.total); });
    totalRows(indicatorLastLabel(kpi), kpi.groupTotal);
    return rows.take();
}

std::string_view indicatorLegend(bool byCompany)
{
    if (byCompany)
        return "Camere = camere vendute (notti); ADR = ricavo / camere; Quota = camere della "
               "ditta / camere dell'hotel.\n";
    return "Occup. = camere vendute / camere disponibili; ADR = ricavo / camere vendute;\n"
           "RevPAR = ricavo / camere disponibili; Perm. = notti delle righe arrivate / righe "
           "arrivate;\n"
           "Osp./cam. = presenze / camere vendute; n.d. = non determinabile.\n";
}

} // namespace presenze
