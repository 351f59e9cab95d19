#pragma once
// Occupancy per hotel and day of one report month, drawn as a grid: a row
// per hotel, a cell per day, each cell filled from the bottom with the rooms
// sold on confirmed bookings (dark blue) and on optional ones (light blue of
// the same hue) against the hotel's rooms, the percentage written above it
// on white. Numbers are written the Italian way ("1.200 camere").
// Days of the next month (a report month has 31 columns) have grey
// headings; a night sold beyond the hotel's rooms has a black frame. One hue in two
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
    QString cellText(const DayFigures& day, std::int64_t rooms) const;
    int measureCellWidth() const;
    int measureLabelWidth() const;
    int gridLeft() const;
    int gridWidth() const;
    int paintTitle(QPainter& p) const;
    int paintDays(QPainter& p, int y) const;
    int paintHotels(QPainter& p, int y) const;
    void paintHotelLabel(QPainter& p, int y, const HotelFigures& hotel) const;
    void paintLegend(QPainter& p, int y) const;
    void paintCell(QPainter& p, const QRect& cell, const DayFigures& day, std::int64_t rooms) const;

    const ReportFigures& m_figures;
    const MonthFigures& m_month;
    QFont m_font;
    QFont m_small;
    QFont m_smallBold;
    int m_figureHeight; // the line above each day's column
    int m_barHeight;
    int m_rowHeight;
    int m_cellWidth;
    int m_labelWidth;
};

// "Febbraio 2024".
QString monthTitle(const Date& first);

// Saves the chart of a month as a picture: SVG when the name ends in ".svg",
// otherwise PNG (at twice the screen size, sharp in print), replacing the
// file whole (data/AtomicFile). Raises DataError when it cannot be written.
void saveOccupancyChart(const ReportFigures& figures, const MonthFigures& month,
                        const std::filesystem::path& file);

} // namespace presenze
