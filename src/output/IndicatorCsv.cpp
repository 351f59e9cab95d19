#include "output/IndicatorCsv.h"

#include "data/AtomicFile.h"
#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/HotelFile.h"
#include "data/Text1252.h"
#include "indicators/IndicatorColumns.h"

#include <cstdio>

namespace presenze {
namespace {

constexpr std::string_view kEnd = "\r\n";
constexpr std::string_view kTotal = "Totale";

std::string monthKey(const Date& month)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d", month.year, month.month);
    return text;
}

void heading(std::string& out, const Indicators& kpi, std::string_view second, const auto& columns)
{
    const bool compare = kpi.compare;
    if (kpi.isChain())
        out += "Gruppo,";
    out += "Hotel,";
    out += second;
    for (int year = 0; year < (compare ? 2 : 1); ++year) {
        for (const auto& column : columns) {
            out += ',';
            out += column.name;
            if (year == 1)
                out += "AP";
        }
    }
    out += kEnd;
}

// A company name as one safe field.
void nameField(std::string& out, std::string_view cp1252)
{
    const std::string name = cp1252ToUtf8(cp1252);
    const auto first = name.find_first_not_of(' ');
    const bool formula = first != std::string::npos && (name[first] == '=' || name[first] == '@');
    const bool quoted = name.find_first_of("\",\r\n") != std::string::npos;
    if (quoted)
        out += '"';
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (formula && i == first)
            out += '\'';
        if (name[i] == '"')
            out += '"';
        out += name[i];
    }
    if (quoted)
        out += '"';
}

void periodFields(std::string& out, const PeriodFigures* figures, BookingKind kind)
{
    for (const PeriodColumn& column : periodColumns()) {
        out += ',';
        if (figures)
            out +=
                decimalText(column.value(*figures, kind).scaled(column.decimals), column.decimals);
    }
}

void periodRow(std::string& out, std::string_view hotel, std::string_view month,
               const IndicatorLine& line, const Indicators& kpi)
{
    out += hotel;
    out += ',';
    out += month;
    periodFields(out, &line.current, kpi.kind);
    if (kpi.compare)
        periodFields(out, line.comparable(), kpi.kind);
    out += kEnd;
}

void companyFields(std::string& out, const KindFigures* company, const KindFigures& hotel)
{
    for (const CompanyColumn& column : companyColumns()) {
        out += ',';
        if (company)
            out +=
                decimalText(column.value(*company, hotel).scaled(column.decimals), column.decimals);
    }
}

// A company row, or a total row (the hotel's, the group's) against itself.
void companyRow(std::string& out, std::string_view hotel, const KindFigures& current,
                const KindFigures& hotelCurrent, const KindFigures* lastYear,
                const KindFigures* hotelLastYear, bool compare)
{
    out += hotel;
    companyFields(out, &current, hotelCurrent);
    if (compare)
        companyFields(out, hotelLastYear ? lastYear : nullptr,
                      hotelLastYear ? *hotelLastYear : KindFigures{});
    out += kEnd;
}

// The start of a row: in a chain the group's field (empty for the chain's
// line), then the hotel's.
std::string hotelField(const Indicators& kpi, std::string_view group, std::string_view hotel)
{
    std::string start;
    if (kpi.isChain()) {
        nameField(start, group);
        start += ',';
    }
    start += hotel;
    return start;
}

void monthRows(std::string& out, const std::string& hotel, const std::vector<IndicatorLine>& months,
               const IndicatorLine& total, const Indicators& kpi)
{
    for (std::size_t m = 0; m < kpi.months.size(); ++m)
        periodRow(out, hotel, monthKey(kpi.months[m]), months[m], kpi);
    periodRow(out, hotel, kTotal, total, kpi);
}

std::string monthsCsv(const Indicators& kpi)
{
    std::string out;
    heading(out, kpi, "Mese", periodColumns());
    forEachHotel(
        kpi,
        [&](const HotelIndicators& h) {
            monthRows(out, hotelField(kpi, h.group, std::to_string(h.hotel)), h.months, h.total,
                      kpi);
        },
        [&](const GroupIndicators& g) {
            monthRows(out, hotelField(kpi, g.name, kTotal), g.months, g.total, kpi);
        });
    monthRows(out, hotelField(kpi, "", kTotal), kpi.groupMonths, kpi.groupTotal, kpi);
    return out;
}

std::optional<KindFigures> lastYearOf(const IndicatorLine& line, BookingKind kind)
{
    const PeriodFigures* f = line.comparable();
    return f ? std::optional<KindFigures>(f->counted(kind)) : std::nullopt;
}

// A total row (a hotel's, a group's, the chain's) against itself.
void totalRow(std::string& out, const std::string& start, const IndicatorLine& total,
              const Indicators& kpi)
{
    const KindFigures current = total.current.counted(kpi.kind);
    const auto lastYear = lastYearOf(total, kpi.kind);
    const KindFigures* last = lastYear ? &*lastYear : nullptr;
    companyRow(out, start + ",Totale", current, current, last, last, kpi.compare);
}

std::string companiesCsv(const Indicators& kpi)
{
    std::string out;
    heading(out, kpi, "Ditta", companyColumns());
    const auto hotelRows = [&](const HotelIndicators& h) {
        const std::string hotel = hotelField(kpi, h.group, std::to_string(h.hotel));
        const KindFigures current = h.total.current.counted(kpi.kind);
        const auto lastYear = lastYearOf(h.total, kpi.kind);
        const KindFigures* hotelLastYear = lastYear ? &*lastYear : nullptr;
        for (const CompanyIndicators& c : h.companies) {
            std::string start = hotel + ",";
            nameField(start, c.name);
            companyRow(out, start, c.current, current, c.lastYear ? &*c.lastYear : nullptr,
                       hotelLastYear, kpi.compare);
        }
        totalRow(out, hotel, h.total, kpi);
    };
    forEachHotel(kpi, hotelRows, [&](const GroupIndicators& g) {
        totalRow(out, hotelField(kpi, g.name, kTotal), g.total, kpi);
    });
    totalRow(out, hotelField(kpi, "", kTotal), kpi.groupTotal, kpi);
    return out;
}

} // namespace

std::string decimalText(std::optional<std::int64_t> scaled, int decimals)
{
    if (!scaled)
        return {};
    const bool negative = *scaled < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(*scaled) : static_cast<std::uint64_t>(*scaled);
    std::uint64_t unit = 1;
    for (int i = 0; i < decimals; ++i)
        unit *= 10;
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / unit);
    if (decimals > 0) {
        const std::string fraction = std::to_string(magnitude % unit);
        text += '.';
        text.append(static_cast<std::size_t>(decimals) - fraction.size(), '0');
        text += fraction;
    }
    return text;
}

std::string indicatorCsv(const Indicators& indicators)
{
    return indicators.byCompany ? companiesCsv(indicators) : monthsCsv(indicators);
}

void writeIndicatorCsv(const Indicators& indicators, const std::filesystem::path& target)
{
    writeFileAtomically(target, indicatorCsv(indicators));
}

} // namespace presenze
