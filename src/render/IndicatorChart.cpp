#include "render/IndicatorChart.h"

#include "indicators/IndicatorFigures.h"
#include "output/IndicatorText.h"
#include "render/ChartColours.h"
#include "render/ChartPainting.h"
#include "render/QtText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace presenze {
namespace {

using chart::kMargin;
constexpr int kPanelGap = 16; // between panels side by side
constexpr int kMark = 5;      // last year's square marks

// The months' initials, January first.
const char* const kMonthLetters = "GFMAMGLASOND";

std::size_t indexOf(IndicatorChart::Figure figure)
{
    return figure == IndicatorChart::Figure::Occupancy ? 0 : 1;
}

// A step of 1, 2 or 5 times a power of ten that divides `largest` into at
// most five parts (at least 1).
double stepFor(double largest)
{
    double power = 1;
    while (power * 10 <= largest / 5)
        power *= 10;
    for (const double factor : {1.0, 2.0, 5.0, 10.0})
        if (largest / (factor * power) <= 5)
            return factor * power;
    return 10 * power;
}

} // namespace

IndicatorChart::IndicatorChart(const Indicators& indicators, const QFont& font, int columns)
    : m_kpi(indicators), m_font(font), m_small(chart::scaled(font, 0.85)),
      m_bold(chart::scaled(font, 1.0, true))
{
    const auto panel = [&](const std::string& label, const std::vector<IndicatorLine>& months,
                           const IndicatorLine& total, bool isTotal) {
        m_panels.push_back({QStringList(fromCp1252(label)), &months, &total, isTotal, {}, {}});
    };
    if (m_kpi.isChain()) {
        for (const GroupIndicators& g : m_kpi.groups)
            panel(indicatorGroupLabel(g), g.months, g.total, false);
    } else {
        for (const HotelIndicators& h : m_kpi.hotels)
            panel(indicatorHotelLabel(h), h.months, h.total, false);
    }
    // One hotel is its own group.
    if (m_panels.size() != 1)
        panel(indicatorLastLabel(m_kpi), m_kpi.groupMonths, m_kpi.groupTotal, true);
    for (Panel& p : m_panels)
        for (const Figure figure : kFigures) {
            p.values[indexOf(figure)] = valuesOf(p, figure);
            p.summary[indexOf(figure)] = totalText(p, figure);
        }
    measure();
    setColumns(columns);
}

void IndicatorChart::setColumns(int columns)
{
    const int count = static_cast<int>(m_panels.size());
    const std::size_t months = m_kpi.months.size();
    m_columns = columns > 0 ? columns : count <= 3 ? count : count <= 4 ? 2 : count <= 9 ? 3 : 4;
    if (columns <= 0 && months > 24)
        m_columns = std::min(m_columns, months > 60 ? 1 : 2);
    m_columns = std::clamp(m_columns, 1, std::max(1, count));
}

void IndicatorChart::measure()
{
    const std::size_t months = m_kpi.months.size();
    const QFontMetrics small(m_small);
    m_slot = small.height() + 4;
    if (months > 24)
        m_slot = std::max(5, m_slot / 2);
    m_plotHeight = 7 * QFontMetrics(m_font).height();

    m_axisWidth = 0;
    for (const Figure figure : kFigures) {
        double largest = 0;
        for (const Panel& p : m_panels) {
            const Values& v = p.values[indexOf(figure)];
            for (const auto& list : {v.current, v.lastYear})
                for (const auto& value : list)
                    largest = std::max(largest, value.value_or(0));
        }
        Scale& scale = m_scales[indexOf(figure)];
        if (figure == Figure::Occupancy) {
            scale.step = 0.25;
            scale.top = std::max(1.0, std::ceil(largest / scale.step - 1e-9) * scale.step);
        } else {
            scale.step = stepFor(std::max(largest, 1.0));
            scale.top = std::max(scale.step, std::ceil(largest / scale.step - 1e-9) * scale.step);
        }
        m_axisWidth = std::max(m_axisWidth, small.horizontalAdvance(tickText(scale.top, figure)));
    }
    m_axisWidth += 4;

    m_panelWidth = m_axisWidth + 4 + static_cast<int>(months) * m_slot + 8;
    for (const Panel& p : m_panels)
        for (const QString& summary : p.summary)
            m_panelWidth = std::max(m_panelWidth, small.horizontalAdvance(summary) + 4);
    m_panelWidth = std::max(m_panelWidth, 12 * small.averageCharWidth());
    // Wide enough for a long name to take few lines, not to cut its words.
    const QFontMetrics bold(m_bold);
    for (const Panel& p : m_panels)
        m_panelWidth = std::max(m_panelWidth, std::min(bold.horizontalAdvance(p.label.join(' ')),
                                                       26 * bold.averageCharWidth()));

    // Names whole, on as many lines as the longest needs.
    m_labelLines = 1;
    for (Panel& p : m_panels) {
        p.label = chart::wrappedLines(m_bold, p.label.join(QLatin1Char(' ')), m_panelWidth);
        m_labelLines = std::max<int>(m_labelLines, static_cast<int>(p.label.size()));
    }
    m_panelHeight = m_labelLines * QFontMetrics(m_bold).height() + small.height() + 6 +
                    m_plotHeight + 2 * small.height() + kMargin;
}

// --- Values ----------------------------------------------------------------

std::optional<double> IndicatorChart::valueOf(const PeriodFigures& figures, Figure figure) const
{
    return figure == Figure::Occupancy ? occupancy(figures, m_kpi.kind).value()
                                       : averageDailyRate(figures, m_kpi.kind).value();
}

IndicatorChart::Values IndicatorChart::valuesOf(const Panel& panel, Figure figure) const
{
    Values values;
    for (const IndicatorLine& line : *panel.months) {
        values.current.push_back(valueOf(line.current, figure));
        const PeriodFigures* last = line.comparable();
        values.lastYear.push_back(last ? valueOf(*last, figure) : std::nullopt);
    }
    return values;
}

QString IndicatorChart::valueText(const PeriodFigures* figures, Figure figure) const
{
    if (!figures)
        return QString::fromLatin1(kNotDefined.data(), static_cast<qsizetype>(kNotDefined.size()));
    if (figure == Figure::Occupancy) {
        const auto v = occupancy(*figures, m_kpi.kind).scaled(3);
        return v ? fromCp1252(italianNumber(*v, 1)) + QStringLiteral(" %")
                 : valueText(nullptr, figure);
    }
    const auto v = averageDailyRate(*figures, m_kpi.kind).scaled(2);
    return v ? fromCp1252(italianNumber(*v, 2)) + QStringLiteral(" \u20AC")
             : valueText(nullptr, figure);
}

// "45,3 %, anno prec. 43,1 %": the period's total, and last year's.
QString IndicatorChart::totalText(const Panel& panel, Figure figure) const
{
    QString text = valueText(&panel.total->current, figure);
    if (m_kpi.compare)
        text += QStringLiteral(", anno prec. ") + valueText(panel.total->comparable(), figure);
    return text;
}

QString IndicatorChart::tickText(double value, Figure figure) const
{
    if (figure == Figure::Occupancy)
        return fromCp1252(groupedNumber(std::llround(value * 100))) + QStringLiteral(" %");
    return fromCp1252(groupedNumber(std::llround(value)));
}

// --- Layout ----------------------------------------------------------------

QString IndicatorChart::title(Figure figure) const
{
    return figure == Figure::Occupancy
               ? QStringLiteral("Occupazione delle camere per mese")
               : QStringLiteral("ADR per mese: ricavo per camera venduta, in euro");
}

QString IndicatorChart::subtitle() const
{
    return fromCp1252(indicatorTitle(m_kpi)) + QLatin1Char('.');
}

int IndicatorChart::rows() const
{
    const int count = static_cast<int>(m_panels.size());
    return (count + m_columns - 1) / m_columns;
}

int IndicatorChart::panelTop() const
{
    return kMargin + chart::titleHeight(m_font) + QFontMetrics(m_font).height() + 10;
}

QSize IndicatorChart::size(Figure figure) const
{
    const int panels = m_columns * m_panelWidth + (m_columns - 1) * kPanelGap;
    const int width = std::max(panels, chart::titleWidth(m_font, title(figure), subtitle()));
    return {kMargin + width + kMargin, panelTop() + rows() * m_panelHeight + kMargin};
}

QSize IndicatorChart::size() const
{
    const QSize occupancy = size(Figure::Occupancy);
    const QSize adr = size(Figure::Adr);
    return {std::max(occupancy.width(), adr.width()), occupancy.height() + adr.height()};
}

// --- Painting --------------------------------------------------------------

void IndicatorChart::paint(QPainter& painter) const
{
    painter.save();
    painter.fillRect(QRect(QPoint(0, 0), size()), Qt::white);
    paint(painter, Figure::Occupancy);
    painter.translate(0, size(Figure::Occupancy).height());
    paint(painter, Figure::Adr);
    painter.restore();
}

void IndicatorChart::paint(QPainter& p, Figure figure) const
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QSize whole = size(figure);
    p.fillRect(QRect(QPoint(0, 0), whole), Qt::white);
    const int y = chart::paintTitle(p, m_font, kMargin, kMargin, whole.width() - 2 * kMargin,
                                    title(figure), subtitle());
    paintLegend(p, y);
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        const int column = static_cast<int>(i) % m_columns;
        const int row = static_cast<int>(i) / m_columns;
        const QRect area(kMargin + column * (m_panelWidth + kPanelGap),
                         panelTop() + row * m_panelHeight, m_panelWidth, m_panelHeight - kMargin);
        paintPanel(p, area, m_panels[i], figure);
    }
    p.restore();
}

// The period's columns, and last year's line when comparing: named after
// their year when the period lies in one.
int IndicatorChart::paintLegend(QPainter& p, int y) const
{
    const int lineHeight = QFontMetrics(m_font).height();
    const bool oneYear =
        !m_kpi.months.empty() && m_kpi.months.front().year == m_kpi.months.back().year;
    const QString period =
        oneYear ? QString::number(m_kpi.months.front().year) : QStringLiteral("Periodo");
    const QString lastYear = oneYear ? QString::number(m_kpi.months.front().year - 1)
                                     : QStringLiteral("Anno precedente");
    int x = kMargin;
    x = chart::paintLegendEntry(
        p, m_font, x, y, lineHeight,
        [&](const QRect& box) {
            chart::paintSwatch(p, box, chart::kPeriod, QPen(chart::kConfirmed));
        },
        period);
    if (m_kpi.compare)
        chart::paintLegendEntry(
            p, m_font, x, y, lineHeight,
            [&](const QRect& box) {
                p.setRenderHint(QPainter::Antialiasing, true);
                p.setPen(QPen(chart::kText, 1.5));
                p.drawLine(box.left() - 1, box.center().y(), box.right() + 1, box.center().y());
                p.setRenderHint(QPainter::Antialiasing, false);
                p.fillRect(
                    QRect(box.center().x() - kMark / 2, box.center().y() - kMark / 2, kMark, kMark),
                    chart::kText);
            },
            lastYear);
    return y + lineHeight;
}

void IndicatorChart::paintPanel(QPainter& p, const QRect& area, const Panel& panel,
                                Figure figure) const
{
    const int boldLine = QFontMetrics(m_bold).height();
    const int smallLine = QFontMetrics(m_small).height();
    int y = area.top();
    p.setPen(chart::kText);
    p.setFont(m_bold);
    for (const QString& line : panel.label) {
        p.drawText(QRect(area.left(), y, area.width(), boldLine), Qt::AlignLeft | Qt::AlignVCenter,
                   line);
        y += boldLine;
    }
    y = area.top() + m_labelLines * boldLine;
    p.setFont(m_small);
    p.setPen(chart::kMutedText);
    p.drawText(QRect(area.left(), y, area.width(), smallLine), Qt::AlignLeft | Qt::AlignVCenter,
               panel.summary[indexOf(figure)]);
    y += smallLine + 6;
    const QRect plot(area.left() + m_axisWidth + 4, y,
                     static_cast<int>(m_kpi.months.size()) * m_slot, m_plotHeight);
    if (panel.isTotal)
        p.fillRect(plot, chart::kWeekend);
    paintAxis(p, plot, figure);
    const Values& values = panel.values[indexOf(figure)];
    const double top = m_scales[indexOf(figure)].top;
    paintColumns(p, plot, values, top);
    if (m_kpi.compare)
        paintLastYear(p, plot, values, top);
    paintMonths(p, plot);
}

// Grid lines at each step of the scale, labelled on the left; the base line.
void IndicatorChart::paintAxis(QPainter& p, const QRect& plot, Figure figure) const
{
    const Scale& scale = m_scales[indexOf(figure)];
    const int smallLine = QFontMetrics(m_small).height();
    p.setFont(m_small);
    const int steps = static_cast<int>(std::lround(scale.top / scale.step));
    for (int i = 0; i <= steps; ++i) {
        const double value = i * scale.step;
        const int y =
            plot.bottom() - static_cast<int>(std::lround(plot.height() * value / scale.top));
        p.setPen(QPen(chart::kGridLine, 1, i == 0 ? Qt::SolidLine : Qt::DotLine));
        p.drawLine(plot.left(), y, plot.right(), y);
        p.setPen(chart::kMutedText);
        p.drawText(QRect(plot.left() - m_axisWidth - 4, y - smallLine / 2, m_axisWidth, smallLine),
                   Qt::AlignRight | Qt::AlignVCenter, tickText(value, figure));
    }
    p.setPen(chart::kMutedText);
    p.drawLine(plot.left(), plot.bottom(), plot.right(), plot.bottom());
}

// The months' initials under their columns (when there is room), and the
// year under the first month and under each January.
void IndicatorChart::paintMonths(QPainter& p, const QRect& plot) const
{
    const QFontMetrics fm(m_small);
    const int line = fm.height();
    const bool letters = m_slot >= fm.horizontalAdvance(QLatin1Char('M')) + 2;
    int yearEnd = plot.left() - 1;
    p.setFont(m_small);
    p.setPen(chart::kText);
    for (std::size_t m = 0; m < m_kpi.months.size(); ++m) {
        const Date& month = m_kpi.months[m];
        const int x = plot.left() + static_cast<int>(m) * m_slot;
        if (letters)
            p.drawText(QRect(x, plot.bottom() + 2, m_slot, line), Qt::AlignCenter,
                       QString(QLatin1Char(kMonthLetters[month.month - 1])));
        if ((m == 0 || month.month == 1) && x > yearEnd) {
            const QString year = QString::number(month.year);
            p.setPen(chart::kMutedText);
            p.drawText(QRect(x + 1, plot.bottom() + 2 + line, fm.horizontalAdvance(year) + 2, line),
                       Qt::AlignLeft | Qt::AlignVCenter, year);
            p.setPen(chart::kText);
            yearEnd = x + fm.horizontalAdvance(year) + 4;
        }
    }
}

void IndicatorChart::paintColumns(QPainter& p, const QRect& plot, const Values& values,
                                  double top) const
{
    const int width = std::max(2, m_slot * 3 / 5);
    for (std::size_t m = 0; m < values.current.size(); ++m) {
        if (!values.current[m] || *values.current[m] <= 0)
            continue;
        const int height = static_cast<int>(std::lround(plot.height() * *values.current[m] / top));
        const QRect column(plot.left() + static_cast<int>(m) * m_slot + (m_slot - width) / 2,
                           plot.bottom() - height + 1, width, height);
        p.fillRect(column, chart::kPeriod);
        p.setPen(chart::kConfirmed);
        p.drawRect(column.adjusted(0, 0, -1, -1));
    }
}

// Last year's values joined month to month, broken where one has no value;
// a white rim keeps the line apart from the columns under it.
void IndicatorChart::paintLastYear(QPainter& p, const QRect& plot, const Values& values,
                                   double top) const
{
    std::vector<std::optional<QPointF>> points;
    for (std::size_t m = 0; m < values.lastYear.size(); ++m) {
        if (!values.lastYear[m]) {
            points.emplace_back();
            continue;
        }
        points.emplace_back(QPointF(plot.left() + (static_cast<double>(m) + 0.5) * m_slot,
                                    plot.bottom() - plot.height() * *values.lastYear[m] / top));
    }
    QPainterPath path;
    for (std::size_t m = 0; m < points.size(); ++m) {
        if (!points[m])
            continue;
        if (m == 0 || !points[m - 1])
            path.moveTo(*points[m]);
        else
            path.lineTo(*points[m]);
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.strokePath(path, QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.strokePath(path, QPen(chart::kText, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const auto& point : points) {
        if (!point)
            continue;
        const QRect mark(static_cast<int>(std::lround(point->x())) - kMark / 2,
                         static_cast<int>(std::lround(point->y())) - kMark / 2, kMark, kMark);
        p.fillRect(mark.adjusted(-1, -1, 1, 1), Qt::white);
        p.fillRect(mark, chart::kText);
    }
    p.restore();
}

void saveIndicatorChart(const Indicators& indicators, const std::filesystem::path& file)
{
    const IndicatorChart chart(indicators);
    chart::savePicture(
        chart.size(), QStringLiteral("Indicatori: occupazione e ADR per mese"),
        [&chart](QPainter& painter) { chart.paint(painter); }, file);
}

} // namespace presenze
