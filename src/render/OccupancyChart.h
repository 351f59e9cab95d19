#pragma once
// Occupancy per hotel and day of one report month, drawn as a grid: a row
// per hotel, a cell per day, each cell filled from the bottom with the rooms
// sold on confirmed bookings (dark blue) and on optional ones (light blue of
// the same hue) against the hotel's rooms, the percentage written in it.
// Days of the next month (a report month has 31 columns) have grey
// headings; a night sold beyond the hotel's rooms is hatched. One hue in two
// shades reads alike to colour-blind eyes and in black-and-white print.
//
//   OccupancyChart chart(figures, figures.months().back());
//   QImage image(chart.size(), ...); QPainter p(&image); chart.paint(p);

#include "common/ReportFigures.h"

#include <QFont>
#include <QSize>
#include <filesystem>

class QPainter;

namespace presenze {

class OccupancyChart {
public:
    OccupancyChart(const ReportFigures& figures, const MonthFigures& month,
                   const QFont& font = QFont());

    // The size the chart is drawn at, in pixels of `font`'s device.
    QSize size() const;
    // Draws the chart with its top left corner at (0, 0).
    void paint(QPainter& painter) const;

private:
    QString title() const;
    QString subtitle() const;
    int labelWidth() const;
    int gridLeft() const;
    int paintTitle(QPainter& p) const;
    int paintDays(QPainter& p, int y) const;
    int paintHotels(QPainter& p, int y) const;
    void paintLegend(QPainter& p, int y) const;
    void paintCell(QPainter& p, const QRect& cell, const DayFigures& day, std::int64_t rooms,
                   const QFont& font) const;

    const ReportFigures& m_figures;
    const MonthFigures& m_month;
    QFont m_font;
    int m_cell;
};

// "Febbraio 2024".
QString monthTitle(const Date& first);

// Saves the chart of a month as a picture: SVG when the name ends in ".svg",
// otherwise PNG (at twice the screen size, sharp in print), replacing the
// file whole (data/AtomicFile). Raises DataError when it cannot be written.
void saveOccupancyChart(const ReportFigures& figures, const MonthFigures& month,
                        const std::filesystem::path& file);

} // namespace presenze
