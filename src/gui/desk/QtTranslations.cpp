#include "gui/desk/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace presenze {

bool installItalianTranslations(QCoreApplication& app)
{
    auto translator = std::make_unique<QTranslator>();
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    if (!translator->load(italian, QStringLiteral("qtbase"), QStringLiteral("_"), dir))
        return false;
    QLocale::setDefault(italian);
    translator->setParent(&app); // the application owns it from here
    return QCoreApplication::installTranslator(translator.release());
}

} // namespace presenze
