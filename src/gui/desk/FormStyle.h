#pragma once
// The look of the windows. The fonts as they were drawn (Corbel, Arial, Courier New),
// where the platform has them; otherwise the application's own font (or its
// fixed-pitch font) at the same size and weight.

#include <QFont>
#include <QIcon>
#include <QString>

namespace presenze {

QFont formFont(const QString& family, qreal points, bool bold = false);
// A fixed-pitch font: the family when installed, else the system's fixed font.
QFont fixedFormFont(const QString& family, qreal points);

// The picture of the print button: the icon theme's printer, else a drawn one.
QIcon printerIcon();

} // namespace presenze
