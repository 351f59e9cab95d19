#pragma once
// What the charts draw alike: fonts scaled from the chart's own, the title
// with the line that says what the chart shows, legend swatches, figures
// with a white rim, and the choice of a picture's kind by its name.

#include <QBrush>
#include <QFont>
#include <QPen>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>

class QPainter;
class QPointF;
class QSize;

namespace presenze::chart {

// Around a chart, and between its parts.
inline constexpr int kMargin = 12;

// `font` `factor` times as large, bold or not.
QFont scaled(QFont font, double factor, bool bold = false);

// The title in bold, 1.3 times the font, over the subtitle in grey, from
// (x, y) across `width`; returns the line after them.
int paintTitle(QPainter& p, const QFont& font, int x, int y, int width, const QString& title,
               const QString& subtitle);
// How high paintTitle draws.
int titleHeight(const QFont& font);
// How wide paintTitle draws.
int titleWidth(const QFont& font, const QString& title, const QString& subtitle);

// A legend entry at (x, y) on a line `lineHeight` high: a 12-pixel box
// drawn by `swatch` (its rectangle given), then the text; returns where the
// next entry begins.
int paintLegendEntry(QPainter& p, const QFont& font, int x, int y, int lineHeight,
                     const std::function<void(const QRect&)>& swatch, const QString& text);
// The box of a legend entry filled with `fill` and framed with `frame`.
void paintSwatch(QPainter& p, const QRect& box, const QBrush& fill, const QPen& frame);

// The lines `text` takes in `width`: broken between words, and within a
// word only where it is wider than the whole width, so nothing is cut.
QStringList wrappedLines(const QFont& font, const QString& text, int width);

// Dark text with a white rim, its baseline starting at `at`: it reads on
// dark and light fills and on white.
void paintRimmedText(QPainter& p, const QPointF& at, const QFont& font, const QString& text);

// Draws a picture of `size` with `paint` and writes it whole at `file`
// (data/AtomicFile): SVG when the name ends in ".svg" (without regard to
// case), otherwise PNG at twice the size, sharp in print. Raises DataError
// when it cannot be written.
void savePicture(const QSize& size, const QString& title,
                 const std::function<void(QPainter&)>& paint, const std::filesystem::path& file);

} // namespace presenze::chart
