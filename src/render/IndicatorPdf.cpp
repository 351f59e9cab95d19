#include "render/IndicatorPdf.h"

#include "output/IndicatorRows.h"
#include "output/IndicatorTable.h"
#include "output/IndicatorText.h"
#include "output/PageLayout.h"
#include "render/ChartColours.h"
#include "render/IndicatorChart.h"
#include "render/PdfPages.h"
#include "render/QtText.h"
#include "render/ReportPdf.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace presenze {
namespace {

constexpr double kLargestSize = 10.0;
// The pixel size of the charts' font: the charts are laid out in pixels of
// it, then scaled to the sheet.
constexpr int kChartPixels = 12;

// One table: its lines as the text table lays them out, and the rows they
// come from.
struct Table {
    std::string title;
    std::vector<IndicatorRow> rows;
    std::vector<std::string> lines;
};

// The rows of one sheet of a table: [first, end) of its body (the heading,
// row 0, is drawn on every sheet).
struct Sheet {
    const Table* table = nullptr;
    std::size_t first = 0;
    std::size_t end = 0;
};

// Where a row begins a block that stays on one sheet: a row of figures with
// last year's and the change under it.
bool beginsBlock(const IndicatorRow& row)
{
    return row.kind != IndicatorRow::Kind::LastYear && row.kind != IndicatorRow::Kind::Change;
}

// The sheets of a table of `perSheet` body lines each; a blank row at the
// top of a sheet is left out.
void paginate(const Table& table, std::size_t perSheet, std::vector<Sheet>& sheets)
{
    std::size_t at = 1;
    while (at < table.rows.size()) {
        if (table.rows[at].kind == IndicatorRow::Kind::Blank) {
            ++at;
            continue;
        }
        Sheet sheet{&table, at, at};
        while (sheet.end < table.rows.size()) {
            std::size_t block = sheet.end + 1;
            while (block < table.rows.size() && !beginsBlock(table.rows[block]))
                ++block;
            if (block - sheet.first > perSheet && sheet.end > sheet.first)
                break;
            sheet.end = block;
        }
        sheets.push_back(sheet);
        at = sheet.end;
    }
}

class IndicatorPages {
public:
    IndicatorPages(const Indicators& kpi, PdfPages& pages) : m_kpi(kpi), m_pages(pages)
    {
        m_tables.push_back({indicatorTitle(kpi) + " - per mese", indicatorMonthRows(kpi), {}});
        if (kpi.byCompany)
            m_tables.push_back(
                {indicatorTitle(kpi) + " - per ditta", indicatorCompanyRows(kpi), {}});
        std::size_t widest = 0;
        for (Table& t : m_tables) {
            t.lines = indicatorTableLines(t.rows);
            widest = std::max(widest, t.title.size());
            for (const std::string& line : t.lines)
                widest = std::max(widest, line.size());
        }
        fitFont(widest);
    }

    void write()
    {
        const QSizeF area = m_pages.printableSize();
        // The title, a blank line and the heading on every sheet; the foot
        // line below.
        const auto lines = static_cast<std::size_t>(
            std::max(1.0, std::floor((area.height() - 2 * m_lineHeight) / m_lineHeight) - 3));
        std::vector<Sheet> sheets;
        for (const Table& t : m_tables)
            paginate(t, lines, sheets);
        m_count = static_cast<int>(sheets.size() + IndicatorChart::kFigures.size());
        for (const Sheet& sheet : sheets)
            tableSheet(sheet);
        const IndicatorChart chart(m_kpi, chartFont());
        for (const IndicatorChart::Figure figure : IndicatorChart::kFigures)
            chartSheet(chart, figure);
    }

private:
    static QFont chartFont()
    {
        QFont font;
        font.setPixelSize(kChartPixels);
        return font;
    }

    // The largest size, within the limits, at which the widest line fits.
    void fitFont(std::size_t widest)
    {
        QFont font = reportFont(std::string());
        const double scale = m_pages.pointScale();
        const double advance =
            QFontMetricsF(font, &m_pages.writer()).horizontalAdvance(QLatin1Char('0')) / scale;
        const double width = m_pages.printableSize().width();
        double size = kLargestSize;
        if (widest > 0 && advance > 0)
            size = std::clamp(
                std::floor(kLargestSize * width / (static_cast<double>(widest) * advance) * 20) /
                    20,
                kSmallestFontSize, kLargestSize);
        font.setPointSizeF(size);
        m_regular = font;
        m_bold = font;
        m_bold.setBold(true);
        m_lineHeight = QFontMetricsF(font, &m_pages.writer()).lineSpacing() / scale;
    }

    void beginSheet()
    {
        if (m_number > 0)
            m_pages.newPage();
        ++m_number;
    }

    // A line of text at line `line` of the sheet (0 the first), in points.
    void text(int line, const std::string& cp1252, bool bold, const QColor& colour)
    {
        QPainter& p = m_pages.painter();
        const double scale = m_pages.pointScale();
        p.setFont(bold ? m_bold : m_regular);
        p.setPen(colour);
        const QFontMetricsF metrics(p.font(), &m_pages.writer());
        p.drawText(QPointF(0, (line * m_lineHeight) * scale + metrics.ascent()),
                   fromCp1252(cp1252));
    }

    void foot()
    {
        QPainter& p = m_pages.painter();
        const double scale = m_pages.pointScale();
        const QSizeF area = m_pages.printableSize();
        p.setFont(m_regular);
        p.setPen(chart::kText);
        p.drawText(QRectF(0, (area.height() - m_lineHeight) * scale, area.width() * scale,
                          m_lineHeight * scale),
                   Qt::AlignHCenter | Qt::AlignBottom, fromCp1252(pageFoot(m_number, m_count)));
    }

    void tableSheet(const Sheet& sheet)
    {
        beginSheet();
        const Table& t = *sheet.table;
        text(0, t.title, true, chart::kText);
        text(2, t.lines.front(), true, chart::kText);
        int line = 3;
        for (std::size_t r = sheet.first; r < sheet.end; ++r, ++line) {
            const IndicatorRow& row = t.rows[r];
            const bool lastYear =
                row.kind == IndicatorRow::Kind::LastYear || row.kind == IndicatorRow::Kind::Change;
            text(line, t.lines[r], row.total && !lastYear,
                 lastYear ? chart::kMutedText : chart::kText);
        }
        foot();
    }

    // A chart as large as the sheet above its foot lets it be, centred
    // across it.
    void chartSheet(const IndicatorChart& chart, IndicatorChart::Figure figure)
    {
        beginSheet();
        QPainter& p = m_pages.painter();
        const double scale = m_pages.pointScale();
        const QSizeF area = m_pages.printableSize();
        const QSize size = chart.size(figure);
        const double width = area.width() * scale;
        const double height = (area.height() - 2 * m_lineHeight) * scale;
        const double factor = std::min(width / size.width(), height / size.height());
        p.save();
        p.translate((width - size.width() * factor) / 2, 0);
        p.scale(factor, factor);
        chart.paint(p, figure);
        p.restore();
        foot();
    }

    const Indicators& m_kpi;
    PdfPages& m_pages;
    std::vector<Table> m_tables;
    QFont m_regular;
    QFont m_bold;
    double m_lineHeight = 12; // points
    int m_number = 0;         // the sheet being drawn
    int m_count = 0;
};

} // namespace

void writeIndicatorPdf(const Indicators& indicators, const std::filesystem::path& file)
{
    PdfPages pages(file, true, QStringLiteral("Presenze - Indicatori"));
    IndicatorPages(indicators, pages).write();
    pages.finish();
}

} // namespace presenze
