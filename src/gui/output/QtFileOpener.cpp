#include "gui/output/QtFileOpener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace presenze {

bool openWithAssociatedProgram(const std::filesystem::path& file)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
}

} // namespace presenze
