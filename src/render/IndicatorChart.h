#pragma once
// The indicators as a picture: occupancy by month above ADR by month, each
// chart a small panel per hotel and one for the group's total, all panels of
// a chart on one scale. This period's months are columns; with the
// comparison last year's months are a near-black line with square marks
// over them, broken where last year has no value. Columns and line differ
// in form as well as in shade, so they stay apart in grey print. Each
// panel's name is written whole above it (on more lines when it needs
// them), with the period's figure and last year's beside it. A chain's
// picture has a panel per group and one for the chain.
//
//   const IndicatorChart chart(indicators);
//   QImage image(chart.size(), ...); QPainter p(&image); chart.paint(p);

#include "indicators/Indicators.h"

#include <QFont>
#include <QSize>
#include <QString>
#include <QStringList>
#include <array>
#include <filesystem>
#include <optional>
#include <vector>

class QPainter;
class QRect;

namespace presenze {

class IndicatorChart {
public:
    enum class Figure { Occupancy, Adr };
    static constexpr std::array<Figure, 2> kFigures{Figure::Occupancy, Figure::Adr};

    // Panels in `columns` columns; 0: as many as read well for their number.
    // The figures are read and the panels measured once, here.
    explicit IndicatorChart(const Indicators& indicators, const QFont& font = QFont(),
                            int columns = 0);

    // How many panels side by side.
    int columns() const { return m_columns; }
    // As many columns as read well for the panels' number (0), or `columns`
    // (1 at least, at most one per panel).
    void setColumns(int columns);
    // Both charts, one above the other.
    QSize size() const;
    void paint(QPainter& painter) const;
    // One chart alone, with its own title and legend, its top left corner
    // at (0, 0).
    QSize size(Figure figure) const;
    void paint(QPainter& painter, Figure figure) const;

private:
    // The values of one panel's months: this period's, and last year's.
    struct Values {
        std::vector<std::optional<double>> current;
        std::vector<std::optional<double>> lastYear;
    };
    // A hotel, a group of a chain or the last line, as each chart shows it.
    struct Panel {
        QStringList label; // its lines
        const std::vector<IndicatorLine>* months;
        const IndicatorLine* total;
        bool isTotal;
        std::array<Values, 2> values;   // occupancy's, ADR's
        std::array<QString, 2> summary; // the totals written out
    };

    // The scale of a chart: its top and the step of its grid lines.
    struct Scale {
        double top = 1;
        double step = 1;
    };

    std::optional<double> valueOf(const PeriodFigures& figures, Figure figure) const;
    Values valuesOf(const Panel& panel, Figure figure) const;
    QString valueText(const PeriodFigures* figures, Figure figure) const;
    QString totalText(const Panel& panel, Figure figure) const;
    QString title(Figure figure) const;
    QString subtitle() const;
    QString tickText(double value, Figure figure) const;
    void measure(); // the scales and the panels' sizes
    int rows() const;
    int panelTop() const; // below the title and the legend

    int paintLegend(QPainter& p, int y) const;
    void paintPanel(QPainter& p, const QRect& area, const Panel& panel, Figure figure) const;
    void paintAxis(QPainter& p, const QRect& plot, Figure figure) const;
    void paintMonths(QPainter& p, const QRect& plot) const;
    void paintColumns(QPainter& p, const QRect& plot, const Values& values, double top) const;
    void paintLastYear(QPainter& p, const QRect& plot, const Values& values, double top) const;

    const Indicators& m_kpi;
    std::vector<Panel> m_panels;
    QFont m_font;
    QFont m_small;
    QFont m_bold;
    int m_columns = 1;
    int m_slot = 0;       // pixels per month
    int m_plotHeight = 0; // pixels
    int m_labelLines = 1; // lines of the longest panel name
    int m_axisWidth = 0;
    int m_panelWidth = 0;
    int m_panelHeight = 0;
    std::array<Scale, 2> m_scales{}; // occupancy's, ADR's
};

// Saves the picture of both charts: SVG when the name ends in ".svg",
// otherwise PNG (at twice the screen size, sharp in print), replacing the
// file whole (data/AtomicFile). Raises DataError when it cannot be written.
void saveIndicatorChart(const Indicators& indicators, const std::filesystem::path& file);

} // namespace presenze
