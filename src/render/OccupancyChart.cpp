#include "render/OccupancyChart.h"

#include "common/KV7Routine.h"
#include "data/Text1252.h"
#include "render/ChartColours.h"
#include "render/ChartPainting.h"
#include "render/QtText.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace presenze {
namespace {

using chart::kMargin;
constexpr int kGap = 8; // between the hotel names and the grid

const char* const kDayLetters[7] = {"Lu", "Ma", "Me", "Gi", "Ve", "Sa", "Do"};

// 0 = Monday (01/01/1970 was a Thursday).
int weekdayOf(const Date& date)
{
    return static_cast<int>((date.toSerial() % 7 + 10) % 7);
}

QFont titleFont(const QFont& font)
{
    return chart::scaled(font, 1.3, true);
}

// "1.200": the grouping of Italian numbers.
QString italianNumber(std::int64_t value)
{
    return QLocale(QLocale::Italian).toString(static_cast<qlonglong>(value));
}

QString roomsText(std::int64_t rooms)
{
    return QStringLiteral("%1 camere").arg(italianNumber(rooms));
}

// At most `maxLines` lines of `width`, broken between words where it can;
// what does not fit ends the last line with an ellipsis.
QStringList wrapped(const QString& text, const QFont& font, int width, int maxLines)
{
    QStringList lines = chart::wrappedLines(font, text, width);
    if (lines.size() <= maxLines)
        return lines;
    lines = lines.mid(0, maxLines - 1);
    qsizetype restAt = 0;
    for (const QString& line : lines)
        restAt = text.indexOf(line, restAt) + line.size();
    lines << QFontMetrics(font).elidedText(text.mid(restAt).trimmed(), Qt::ElideRight, width);
    return lines;
}

struct LegendEntry {
    QBrush fill;
    QPen pen;
    QString text;
};

std::vector<LegendEntry> legendEntries()
{
    return {{chart::kConfirmed, QPen(chart::kGridLine), QStringLiteral("Confermate")},
            {chart::kOptional, QPen(chart::kGridLine), QStringLiteral("Opzionate")},
            {Qt::white, QPen(chart::kGridLine), QStringLiteral("Libere")},
            {Qt::white, QPen(chart::kText, 2), QStringLiteral("Oltre le camere dell'hotel")}};
}

int legendWidth(const QFont& font)
{
    int width = 0;
    for (const LegendEntry& entry : legendEntries())
        width += 16 + QFontMetrics(font).horizontalAdvance(entry.text) + 18;
    return width;
}

} // namespace

QString monthTitle(const Date& first)
{
    return fromCp1252(std::string(trimBlanks(MonthNames[first.month]))) + QLatin1Char(' ') +
           QString::number(first.year);
}

OccupancyChart::OccupancyChart(const ReportFigures& figures, const MonthFigures& month,
                               const QFont& font)
    : m_figures(figures), m_month(month), m_font(font), m_small(chart::scaled(font, 0.85)),
      m_smallBold(chart::scaled(font, 0.85, true))
{
    const int smallLine = QFontMetrics(m_small).height();
    m_figureHeight = smallLine;
    m_barHeight = std::max(18, QFontMetrics(m_font).height() + 5);
    // Room for a name on two lines and the hotel's rooms beneath.
    m_rowHeight = std::max(m_figureHeight + m_barHeight, 3 * smallLine);
    m_cellWidth = measureCellWidth();
    m_labelWidth = measureLabelWidth();
}

// Wide enough for the widest figure of the month and the day headings.
int OccupancyChart::measureCellWidth() const
{
    const QFontMetrics small(m_small);
    int widest = std::max({small.horizontalAdvance(QStringLiteral("100")),
                           QFontMetrics(m_smallBold).horizontalAdvance(QStringLiteral("31")),
                           small.horizontalAdvance(QStringLiteral("Me"))});
    for (const HotelFigures& h : m_month.hotels)
        for (const DayFigures& day : h.days)
            widest = std::max(widest, small.horizontalAdvance(cellText(day, h.rooms)));
    return std::max(20, widest + 6);
}

// The widest name up to a limit (longer ones wrap), and the rooms always.
int OccupancyChart::measureLabelWidth() const
{
    const QFontMetrics bold(m_smallBold);
    const QFontMetrics small(m_small);
    int widest = QFontMetrics(m_font).horizontalAdvance(QStringLiteral("Hotel"));
    int rooms = 0;
    for (const HotelFigures& h : m_month.hotels) {
        widest =
            std::max(widest, bold.horizontalAdvance(fromCp1252(m_figures.hotelLabel(h.hotel))));
        rooms = std::max(rooms, small.horizontalAdvance(roomsText(h.rooms)));
    }
    return std::max(std::min(widest, 26 * QFontMetrics(m_font).averageCharWidth()), rooms);
}

QString OccupancyChart::title() const
{
    return (m_month.arrivals ? QStringLiteral("Camere degli arrivi per hotel e giorno")
                             : QStringLiteral("Occupazione delle camere per hotel e giorno")) +
           QStringLiteral(" \u2013 ") + monthTitle(m_month.first);
}

QString OccupancyChart::subtitle() const
{
    QString text = QStringLiteral("In ogni giorno la percentuale delle camere dell'hotel: "
                                  "confermate (scuro) e opzionate (chiaro)");
    if (Date::daysInMonth(m_month.first.year, m_month.first.month) < kFigureDays)
        text += QStringLiteral("; in grigio i giorni del mese successivo");
    return text + QLatin1Char('.');
}

// The percentage of the hotel's rooms sold; a hotel without rooms shows the
// rooms sold. Nothing on a day without sales.
QString OccupancyChart::cellText(const DayFigures& day, std::int64_t rooms) const
{
    const std::int64_t sold =
        std::max<std::int64_t>(day.camCon, 0) + std::max<std::int64_t>(day.camOpz, 0);
    if (sold == 0)
        return {};
    return italianNumber(
        rooms > 0 ? std::lround(100.0 * static_cast<double>(sold) / static_cast<double>(rooms))
                  : sold);
}

int OccupancyChart::gridLeft() const
{
    return kMargin + m_labelWidth + kGap;
}

int OccupancyChart::gridWidth() const
{
    return kFigureDays * m_cellWidth;
}

QSize OccupancyChart::size() const
{
    const int lineHeight = QFontMetrics(m_font).height();
    const int rows = std::max<int>(1, static_cast<int>(m_month.hotels.size()));
    const int width =
        std::max(gridLeft() + gridWidth(), gridLeft() + legendWidth(m_small)) + kMargin;
    const QRect room(0, 0, width - 2 * kMargin, 10000);
    const int heading =
        QFontMetrics(titleFont(m_font)).boundingRect(room, Qt::TextWordWrap, title()).height() +
        QFontMetrics(m_font).boundingRect(room, Qt::TextWordWrap, subtitle()).height();
    const int height = kMargin + heading + 10 + 2 * lineHeight + 4 + rows * (m_rowHeight + 6) + 10 +
                       lineHeight + kMargin;
    return {width, height};
}

void OccupancyChart::paint(QPainter& p) const
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(QPoint(0, 0), size()), Qt::white);
    int y = paintTitle(p);
    const int daysTop = y;
    y = paintDays(p, y);
    y = paintHotels(p, y);
    // The next month's days begin after a dashed line.
    const int daysInMonth = Date::daysInMonth(m_month.first.year, m_month.first.month);
    if (daysInMonth < kFigureDays) {
        const int x = gridLeft() + daysInMonth * m_cellWidth;
        p.setPen(QPen(chart::kMutedText, 1, Qt::DashLine));
        p.drawLine(x, daysTop, x, y - 4);
    }
    paintLegend(p, y + 4);
    p.restore();
}

// The title and what the cells show; returns the next free line.
int OccupancyChart::paintTitle(QPainter& p) const
{
    const QRect room(kMargin, kMargin, size().width() - 2 * kMargin, 10000);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    QRect used;
    p.setPen(chart::kText);
    p.setFont(titleFont(m_font));
    p.drawText(room, flags, title(), &used);
    p.setFont(m_font);
    p.setPen(chart::kMutedText);
    QRect usedBelow;
    p.drawText(room.adjusted(0, used.height(), 0, 0), flags, subtitle(), &usedBelow);
    return kMargin + used.height() + usedBelow.height() + 10;
}

// Day numbers and weekdays, weekends shaded, the next month's days in grey.
int OccupancyChart::paintDays(QPainter& p, int y) const
{
    const int lineHeight = QFontMetrics(m_font).height();
    for (int d = 1; d <= kFigureDays; ++d) {
        const Date date = m_month.first.addDays(d - 1);
        const QRect column(gridLeft() + (d - 1) * m_cellWidth, y, m_cellWidth, 2 * lineHeight);
        if (weekdayOf(date) >= 5)
            p.fillRect(column, chart::kWeekend);
        p.setPen(m_month.inMonth(d) ? chart::kText : chart::kMutedText);
        p.setFont(m_month.inMonth(d) ? m_smallBold : m_small);
        p.drawText(column.adjusted(0, 0, 0, -lineHeight), Qt::AlignCenter,
                   QString::number(date.day));
        p.setFont(m_small);
        p.drawText(column.adjusted(0, lineHeight, 0, 0), Qt::AlignCenter,
                   QString::fromLatin1(kDayLetters[weekdayOf(date)]));
    }
    return y + 2 * lineHeight + 4;
}

// A row per hotel: its name and rooms, then a cell per day.
int OccupancyChart::paintHotels(QPainter& p, int y) const
{
    if (m_month.hotels.empty()) {
        p.setPen(chart::kMutedText);
        p.setFont(m_font);
        p.drawText(QRect(kMargin, y, size().width() - 2 * kMargin, m_rowHeight), Qt::AlignCenter,
                   QStringLiteral("Nessun dato per questo mese."));
        return y + m_rowHeight + 6;
    }
    for (const HotelFigures& h : m_month.hotels) {
        paintHotelLabel(p, y, h);
        for (int d = 0; d < kFigureDays; ++d) {
            const QRect cell(gridLeft() + d * m_cellWidth, y, m_cellWidth, m_rowHeight);
            paintCell(p, cell, h.days[static_cast<std::size_t>(d)], h.rooms);
        }
        y += m_rowHeight + 6;
    }
    return y;
}

// The hotel's name (on two lines when long) and its rooms, centred on the row.
void OccupancyChart::paintHotelLabel(QPainter& p, int y, const HotelFigures& hotel) const
{
    const QStringList lines =
        wrapped(fromCp1252(m_figures.hotelLabel(hotel.hotel)), m_smallBold, m_labelWidth, 2);
    const int nameLine = QFontMetrics(m_smallBold).height();
    const int roomsLine = QFontMetrics(m_small).height();
    int top = y + (m_rowHeight - static_cast<int>(lines.size()) * nameLine - roomsLine) / 2;
    p.setPen(chart::kText);
    p.setFont(m_smallBold);
    for (const QString& line : lines) {
        p.drawText(QRect(kMargin, top, m_labelWidth, nameLine), Qt::AlignLeft | Qt::AlignVCenter,
                   line);
        top += nameLine;
    }
    p.setFont(m_small);
    p.setPen(chart::kMutedText);
    p.drawText(QRect(kMargin, top, m_labelWidth, roomsLine), Qt::AlignLeft | Qt::AlignVCenter,
               roomsText(hotel.rooms));
}

void OccupancyChart::paintLegend(QPainter& p, int y) const
{
    const int lineHeight = QFontMetrics(m_font).height();
    int x = gridLeft();
    for (const LegendEntry& entry : legendEntries()) {
        const auto swatch = [&](const QRect& box) {
            chart::paintSwatch(p, box, entry.fill, entry.pen);
        };
        x = chart::paintLegendEntry(p, m_small, x, y, lineHeight, swatch, entry.text);
    }
}

// A day of a hotel: the rooms sold as a column from the bottom, confirmed
// then optional, over the hotel's rooms; above it, on white, the percentage.
void OccupancyChart::paintCell(QPainter& p, const QRect& column, const DayFigures& day,
                               std::int64_t rooms) const
{
    const QRect cell(column.left() + 1, column.bottom() - m_barHeight + 2, column.width() - 2,
                     m_barHeight - 1);
    p.fillRect(cell, Qt::white);
    const std::int64_t con = std::max<std::int64_t>(day.camCon, 0);
    const std::int64_t opz = std::max<std::int64_t>(day.camOpz, 0);
    const std::int64_t sold = con + opz;
    const double scale = static_cast<double>(std::max<std::int64_t>(rooms, sold));
    if (scale > 0) {
        const int conHeight = static_cast<int>(std::lround(cell.height() * con / scale));
        const int soldHeight = static_cast<int>(std::lround(cell.height() * sold / scale));
        p.fillRect(QRect(cell.left(), cell.bottom() - conHeight + 1, cell.width(), conHeight),
                   chart::kConfirmed);
        p.fillRect(QRect(cell.left(), cell.bottom() - soldHeight + 1, cell.width(),
                         soldHeight - conHeight),
                   chart::kOptional);
    }
    const bool over = sold > rooms;
    p.setPen(over ? QPen(chart::kText, 2) : QPen(chart::kGridLine));
    p.drawRect(over ? cell.adjusted(1, 1, -1, -1) : cell.adjusted(0, 0, -1, -1));
    const QString text = cellText(day, rooms);
    if (text.isEmpty())
        return;
    p.setFont(m_small);
    p.setPen(chart::kText);
    p.drawText(
        QRect(column.left(), cell.top() - m_figureHeight - 1, column.width(), m_figureHeight),
        Qt::AlignHCenter | Qt::AlignBottom, text);
}

void saveOccupancyChart(const ReportFigures& figures, const MonthFigures& month,
                        const std::filesystem::path& file)
{
    const OccupancyChart chart(figures, month);
    chart::savePicture(
        chart.size(), QStringLiteral("Occupazione delle camere"),
        [&chart](QPainter& p) { chart.paint(p); }, file);
}

} // namespace presenze
