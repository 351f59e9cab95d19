#include "render/OccupancyChart.h"

#include "common/KV7Routine.h"
#include "data/Text1252.h"
#include "render/ChartColours.h"
#include "render/ChartPainting.h"
#include "render/QtText.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace presenze {
namespace {

using chart::kMargin;
using chart::scaled;
constexpr int kGap = 8; // between the hotel names and the grid

const char* const kDayLetters[7] = {"Lu", "Ma", "Me", "Gi", "Ve", "Sa", "Do"};

// 0 = Monday (01/01/1970 was a Thursday).
int weekdayOf(const Date& date)
{
    return static_cast<int>((date.toSerial() % 7 + 10) % 7);
}

} // namespace

QString monthTitle(const Date& first)
{
    return fromCp1252(std::string(trimBlanks(MonthNames[first.month]))) + QLatin1Char(' ') +
           QString::number(first.year);
}

OccupancyChart::OccupancyChart(const ReportFigures& figures, const MonthFigures& month,
                               const QFont& font)
    : m_figures(figures), m_month(month), m_font(font)
{
    m_cell = std::max(22, QFontMetrics(m_font).height() + 9);
}

int OccupancyChart::labelWidth() const
{
    const QFontMetrics fm(m_font);
    int widest = fm.horizontalAdvance(QStringLiteral("Hotel"));
    for (const HotelFigures& h : m_month.hotels) {
        const QString label = fromCp1252(m_figures.hotelLabel(h.hotel));
        const QString rooms = QStringLiteral("%1 camere").arg(h.rooms);
        widest = std::max({widest, fm.horizontalAdvance(label), fm.horizontalAdvance(rooms)});
    }
    return std::min(widest, 24 * fm.averageCharWidth());
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

QSize OccupancyChart::size() const
{
    const QFontMetrics fm(m_font);
    const int rows = std::max<int>(1, static_cast<int>(m_month.hotels.size()));
    const int width = kMargin +
                      std::max(labelWidth() + kGap + kFigureDays * m_cell,
                               chart::titleWidth(m_font, title(), subtitle())) +
                      kMargin;
    const int height = kMargin + chart::titleHeight(m_font) + 2 * fm.height() + 4 +
                       rows * (m_cell + 6) + 10 + fm.height() + kMargin;
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
        const int x = gridLeft() + daysInMonth * m_cell;
        p.setPen(QPen(chart::kMutedText, 1, Qt::DashLine));
        p.drawLine(x, daysTop, x, y - 4);
    }
    paintLegend(p, y + 4);
    p.restore();
}

int OccupancyChart::gridLeft() const
{
    return kMargin + labelWidth() + kGap;
}

// The title and what the cells show; returns the next free line.
int OccupancyChart::paintTitle(QPainter& p) const
{
    return chart::paintTitle(p, m_font, kMargin, kMargin, size().width() - 2 * kMargin, title(),
                             subtitle());
}

// Day numbers and weekdays, weekends shaded, the next month's days in grey.
int OccupancyChart::paintDays(QPainter& p, int y) const
{
    const int lineHeight = QFontMetrics(m_font).height();
    const QFont small = scaled(m_font, 0.85);
    const QFont smallBold = scaled(m_font, 0.85, true);
    for (int d = 1; d <= kFigureDays; ++d) {
        const Date date = m_month.first.addDays(d - 1);
        const QRect column(gridLeft() + (d - 1) * m_cell, y, m_cell, 2 * lineHeight);
        if (weekdayOf(date) >= 5)
            p.fillRect(column, chart::kWeekend);
        p.setPen(m_month.inMonth(d) ? chart::kText : chart::kMutedText);
        p.setFont(m_month.inMonth(d) ? smallBold : small);
        p.drawText(column.adjusted(0, 0, 0, -lineHeight), Qt::AlignCenter,
                   QString::number(date.day));
        p.setFont(small);
        p.drawText(column.adjusted(0, lineHeight, 0, 0), Qt::AlignCenter,
                   QString::fromLatin1(kDayLetters[weekdayOf(date)]));
    }
    return y + 2 * lineHeight + 4;
}

// A row per hotel: its name and rooms, then a cell per day.
int OccupancyChart::paintHotels(QPainter& p, int y) const
{
    const QFont small = scaled(m_font, 0.85);
    const QFont smallBold = scaled(m_font, 0.85, true);
    if (m_month.hotels.empty()) {
        p.setPen(chart::kMutedText);
        p.setFont(m_font);
        p.drawText(QRect(kMargin, y, size().width() - 2 * kMargin, m_cell), Qt::AlignCenter,
                   QStringLiteral("Nessun dato per questo mese."));
        return y + m_cell + 6;
    }
    for (const HotelFigures& h : m_month.hotels) {
        p.setPen(chart::kText);
        p.setFont(smallBold);
        p.drawText(QRect(kMargin, y, labelWidth(), m_cell / 2 + 2), Qt::AlignLeft | Qt::AlignBottom,
                   QFontMetrics(smallBold).elidedText(fromCp1252(m_figures.hotelLabel(h.hotel)),
                                                      Qt::ElideRight, labelWidth()));
        p.setFont(small);
        p.setPen(chart::kMutedText);
        p.drawText(QRect(kMargin, y + m_cell / 2 + 2, labelWidth(), m_cell / 2),
                   Qt::AlignLeft | Qt::AlignTop, QStringLiteral("%1 camere").arg(h.rooms));
        for (int d = 0; d < kFigureDays; ++d) {
            const QRect cell(gridLeft() + d * m_cell + 1, y + 1, m_cell - 2, m_cell - 2);
            paintCell(p, cell, h.days[static_cast<std::size_t>(d)], h.rooms, small);
        }
        y += m_cell + 6;
    }
    return y;
}

void OccupancyChart::paintLegend(QPainter& p, int y) const
{
    const QFont small = scaled(m_font, 0.85);
    const int lineHeight = QFontMetrics(m_font).height();
    int x = gridLeft();
    const auto swatch = [&](const QBrush& fill, const QPen& pen, const QString& text) {
        x = chart::paintLegendEntry(
            p, small, x, y, lineHeight,
            [&](const QRect& box) { chart::paintSwatch(p, box, fill, pen); }, text);
    };
    swatch(chart::kConfirmed, QPen(chart::kGridLine), QStringLiteral("Confermate"));
    swatch(chart::kOptional, QPen(chart::kGridLine), QStringLiteral("Opzionate"));
    swatch(Qt::white, QPen(chart::kGridLine), QStringLiteral("Libere"));
    swatch(Qt::white, QPen(chart::kText, 2), QStringLiteral("Oltre le camere dell'hotel"));
}

// A day of a hotel: the rooms sold as a column from the bottom, confirmed
// then optional, over the hotel's rooms; the percentage sold written in it.
void OccupancyChart::paintCell(QPainter& p, const QRect& cell, const DayFigures& day,
                               std::int64_t rooms, const QFont& font) const
{
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
    if (sold == 0)
        return;
    // A hotel without rooms shows the rooms sold instead of a percentage.
    const QString text =
        rooms > 0 ? QString::number(std::lround(100.0 * sold / rooms)) : QString::number(sold);
    // Dark figures with a white rim read on both shades and on white.
    const QFontMetrics fm(font);
    const QPointF at(cell.center().x() + 1 - fm.horizontalAdvance(text) / 2.0,
                     cell.center().y() + 1 + (fm.ascent() - fm.descent()) / 2.0);
    chart::paintRimmedText(p, at, font, text);
}

void saveOccupancyChart(const ReportFigures& figures, const MonthFigures& month,
                        const std::filesystem::path& file)
{
    const OccupancyChart chart(figures, month);
    chart::savePicture(
        chart.size(), QStringLiteral("Occupazione delle camere"),
        [&chart](QPainter& painter) { chart.paint(painter); }, file);
}

} // namespace presenze
