#include "reports/type1/CompanyTable.h"

#include "data/Text1252.h"
#include "reports/type1/GridLine.h"
#include "reports/type1/HotelNames.h"
#include "tally/Saturating.h"

#include <array>

namespace presenze {
namespace {

// The columns of the company table and the counters they show.
struct Column {
    const char* heading;
    PresenzeField field;
};
constexpr std::array<Column, 12> kColumns = {{
    {" Pr.C.", kPresenze},
    {" Ca.C.", kCamere},
    {" Pr.O.", kPresOpz},
    {" Ca.O.", kOpzioni},
    {" P.IND", kIndividuali},
    {" IND  ", kIndividualiC},
    {" P.GRP", kGruppi},
    {" GRP  ", kGruppiC},
    {" P.TOP", kTourOp},
    {" TOP  ", kTourOpC},
    {" P.ACS", kAccSpec},
    {" ACS  ", kAccSpecC},
}};

// A border: `left`, 30 horizontals, then `columns` times `joint` and 6
// horizontals, then `right`.
std::string rule(char left, char joint, char right, int columns)
{
    std::string line(1, left);
    line.append(30, box::kHorizontal);
    for (int c = 0; c < columns; ++c) {
        line += joint;
        line.append(6, box::kHorizontal);
    }
    line += right;
    return line;
}

std::string nameColumn(std::string_view name)
{
    return std::string(1, box::kVertical) + fitted(name, 30) + box::kVertical;
}

// The same, written over `line`.
void startRow(std::string& line, std::string_view name)
{
    name = name.substr(0, 30);
    line.assign(1, box::kVertical);
    appendReportText(line, name);
    line.append(30 - name.size(), ' ');
    line += box::kVertical;
}

} // namespace

void writeCompanyTable(ReportWriter& out, const MonthRows& rows, const HotelNames& hotels)
{
    const int columns = static_cast<int>(kColumns.size());
    out.line(rule(box::kTopLeft, box::kTopT, box::kTopRight, columns));
    std::string heading = nameColumn("Hotel / Agenzia");
    for (const Column& c : kColumns)
        heading.append(c.heading).push_back(box::kVertical);
    out.line(heading);
    const std::string separator = rule(box::kLeftT, box::kCross, box::kRightT, columns);
    out.line(separator);

    std::array<std::int64_t, 12> totals{};
    std::string emptyCells;
    for (int c = 0; c < columns; ++c)
        emptyCells.append(6, ' ').push_back(box::kVertical);
    bool first = true;
    std::int64_t hotel = 0;
    std::string line;
    for (const PeriodRow& row : rows.companies) {
        if (first || row.hotel != hotel) {
            hotel = row.hotel;
            first = false;
            out.line(nameColumn(hotels.tableLabel(hotel)) + emptyCells);
        }
        startRow(line, trimBlanks(std::string_view(row.name).substr(0, 30)));
        for (std::size_t c = 0; c < kColumns.size(); ++c) {
            const std::int64_t value = row.values[kColumns[c].field];
            appendTableCell(line, value);
            addSaturating(totals[c], value);
        }
        out.line(line);
    }

    out.line(separator);
    line = nameColumn("Totali");
    for (std::int64_t total : totals)
        appendTableCell(line, total);
    out.line(line);
    out.line(rule(box::kBottomLeft, box::kBottomT, box::kBottomRight, columns));
    for (int i = 0; i < 3; ++i)
        out.line("");
}

void writeNationTable(ReportWriter& out, const MonthRows& rows)
{
    if (!rows.hasNation)
        return;
    out.line(rule(box::kTopLeft, box::kTopT, box::kTopRight, 4));
    std::string heading = nameColumn("Presenze per Nazione");
    for (const char* h : {" Pr.E.", " Ca.E.", " Pr.I.", " Ca.I."})
        heading.append(h).push_back(box::kVertical);
    out.line(heading);
    out.line(rule(box::kLeftT, box::kCross, box::kRightT, 4));
    std::string values = nameColumn("");
    for (PresenzeField f : {kPresenze, kCamere, kPresOpz, kOpzioni})
        values += tableCell(rows.nation[f]);
    out.line(values);
    out.line(rule(box::kBottomLeft, box::kBottomT, box::kBottomRight, 4));
}

} // namespace presenze
