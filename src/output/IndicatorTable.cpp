#include "output/IndicatorTable.h"

#include "output/IndicatorText.h"

#include <algorithm>

namespace presenze {

std::vector<std::string> indicatorTableLines(const std::vector<IndicatorRow>& rows)
{
    std::vector<std::size_t> widths;
    for (const IndicatorRow& r : rows) {
        widths.resize(std::max(widths.size(), r.cells.size()), 0);
        for (std::size_t c = 0; c < r.cells.size(); ++c)
            widths[c] = std::max(widths[c], r.cells[c].size());
    }
    std::vector<std::string> lines;
    for (const IndicatorRow& r : rows) {
        std::string line;
        for (std::size_t c = 0; c < r.cells.size(); ++c) {
            const std::string& cell = r.cells[c];
            const std::string pad(widths[c] - cell.size(), ' ');
            if (c > 0)
                line += "  ";
            line += c < 2 ? cell + pad : pad + cell;
        }
        line.erase(line.find_last_not_of(' ') + 1);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string indicatorTable(const Indicators& indicators)
{
    const auto rows =
        indicators.byCompany ? indicatorCompanyRows(indicators) : indicatorMonthRows(indicators);
    std::string text = indicatorTitle(indicators) + "\n\n";
    for (const std::string& line : indicatorTableLines(rows))
        text += line + "\n";
    return text + "\n" + std::string(indicatorLegend(indicators.byCompany));
}

} // namespace presenze
