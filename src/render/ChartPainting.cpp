#include "render/ChartPainting.h"

#include "data/AtomicFile.h"
#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/ProtectedFiles.h"
#include "render/ChartColours.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <QTextLayout>

namespace presenze::chart {

QFont scaled(QFont font, double factor, bool bold)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else
        font.setPixelSize(static_cast<int>(font.pixelSize() * factor));
    font.setBold(bold);
    return font;
}

int titleHeight(const QFont& font)
{
    return QFontMetrics(scaled(font, 1.3, true)).height() + QFontMetrics(font).height() + 10;
}

int titleWidth(const QFont& font, const QString& title, const QString& subtitle)
{
    return std::max(QFontMetrics(font).horizontalAdvance(subtitle),
                    QFontMetrics(scaled(font, 1.3, true)).horizontalAdvance(title)) +
           4;
}

int paintTitle(QPainter& p, const QFont& font, int x, int y, int width, const QString& title,
               const QString& subtitle)
{
    const QFont titleFont = scaled(font, 1.3, true);
    const int titleLine = QFontMetrics(titleFont).height();
    const int line = QFontMetrics(font).height();
    p.setPen(kText);
    p.setFont(titleFont);
    p.drawText(QRect(x, y, width, titleLine), Qt::AlignLeft | Qt::AlignVCenter, title);
    p.setFont(font);
    p.setPen(kMutedText);
    p.drawText(QRect(x, y + titleLine, width, line), Qt::AlignLeft | Qt::AlignVCenter, subtitle);
    return y + titleHeight(font);
}

void paintSwatch(QPainter& p, const QRect& box, const QBrush& fill, const QPen& frame)
{
    p.fillRect(box, fill);
    p.setPen(frame);
    p.drawRect(box.adjusted(0, 0, -1, -1));
}

int paintLegendEntry(QPainter& p, const QFont& font, int x, int y, int lineHeight,
                     const std::function<void(const QRect&)>& swatch, const QString& text)
{
    swatch(QRect(x, y + (lineHeight - 12) / 2, 12, 12));
    p.setFont(font);
    p.setPen(kText);
    const int w = QFontMetrics(font).horizontalAdvance(text);
    p.drawText(QRect(x + 16, y, w + 2, lineHeight), Qt::AlignLeft | Qt::AlignVCenter, text);
    return x + 16 + w + 18;
}

QStringList wrappedLines(const QFont& font, const QString& text, int width)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

void paintRimmedText(QPainter& p, const QPointF& at, const QFont& font, const QString& text)
{
    QPainterPath path;
    path.addText(at, font, text);
    const bool antialiased = p.testRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.strokePath(path, QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(path, kText);
    p.setRenderHint(QPainter::Antialiasing, antialiased);
}

void savePicture(const QSize& size, const QString& title,
                 const std::function<void(QPainter&)>& paint, const std::filesystem::path& file)
{
    // Drawn in memory (a picture of a few megabytes at most), then written.
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    if (hasExtension(file, {".svg"})) {
        QSvgGenerator svg;
        svg.setOutputDevice(&out);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(title);
        QPainter painter(&svg);
        paint(painter);
        painter.end();
    } else {
        QImage image(size * 2, QImage::Format_RGB32);
        image.setDevicePixelRatio(2);
        image.fill(Qt::white);
        QPainter painter(&image);
        paint(painter);
        painter.end();
        if (!image.save(&out, "PNG"))
            throw DataError("Impossibile disegnare il grafico", displayName(file));
    }
    writeFileAtomically(
        file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace presenze::chart
