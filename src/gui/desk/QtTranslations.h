#pragma once
// The standard dialogs speak Italian: Qt's own Italian translations
// (qtbase_it) give the buttons "Sì", "No", "Annulla".

class QCoreApplication;

namespace presenze {

// Installs the Italian translations of Qt into the application; false when
// they are not installed on this machine (the dialogs then stay in English).
bool installItalianTranslations(QCoreApplication& app);

} // namespace presenze
