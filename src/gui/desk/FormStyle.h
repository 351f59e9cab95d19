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

// A button's picture, shipped with the program (src/gui/icons): "archive",
// "charts", "close", "csv", "excel", "pdf", "preview", "print".
QIcon buttonIcon(const char* name);

} // namespace presenze
