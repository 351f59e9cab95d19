#include "gui/desk/FormStyle.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPainter>
#include <QPixmap>

namespace presenze {

QFont formFont(const QString& family, qreal points, bool bold)
{
    QFont font = QFontDatabase::hasFamily(family) ? QFont(family) : QApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont fixedFormFont(const QString& family, qreal points)
{
    QFont font = QFontDatabase::hasFamily(family)
                     ? QFont(family)
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(points);
    font.setBold(false);
    return font;
}

QIcon printerIcon()
{
    QIcon themed = QIcon::fromTheme(QStringLiteral("document-print"));
    if (!themed.isNull())
        return themed;
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        p.setPen(QPen(QColor(60, 60, 60), 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5)); // the sheet going in
        p.setBrush(QColor(120, 130, 145));
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1.2, 1.2); // the body
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10.5, 7, 4.5)); // the printed sheet
        p.setPen(QPen(QColor(120, 120, 120), 0.6));
        p.drawLine(QPointF(5.5, 12.2), QPointF(10.5, 12.2));
        p.drawLine(QPointF(5.5, 13.6), QPointF(9.5, 13.6));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace presenze
