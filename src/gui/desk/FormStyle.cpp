#include "gui/desk/FormStyle.h"

#include <QApplication>
#include <QFontDatabase>

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

QIcon buttonIcon(const char* name)
{
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

} // namespace presenze
