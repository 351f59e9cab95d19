// presenze: the desktop program. It works on the data folder it is started
// in, or on the one given with --data-dir.

#include "common/Clock.h"
#include "data/CacheFolder.h"
#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/Text1252.h"
#include "gui/desk/KV7DeskTop.h"
#include "gui/desk/QtTranslations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QMessageBox>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

using namespace presenze;

namespace {

// The data folder of --data-dir (the current folder without it), read before
// Qt starts: the cache folder is checked against it.
std::filesystem::path dataDirArgument(int argc, char** argv)
{
    constexpr std::string_view kOption = "--data-dir";
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == kOption && i + 1 < argc)
            return argv[i + 1];
        if (arg.starts_with(kOption) && arg.size() > kOption.size() && arg[kOption.size()] == '=')
            return std::string(arg.substr(kOption.size() + 1));
    }
    std::error_code ec;
    return std::filesystem::current_path(ec);
}

} // namespace

int main(int argc, char** argv)
{
    // The Access copies of this run, chosen before any thread starts (it may
    // set the environment).
    std::optional<RunCacheFolder> cache;
    std::string cacheError;
    try {
        cache.emplace(dataDirArgument(argc, argv));
    } catch (const DataError& e) {
        cacheError = e.what();
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("presenze"));
    QApplication::setApplicationVersion(QStringLiteral(PRESENZE_VERSION));
    installItalianTranslations(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Presenze per Ditta / Agenzia"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("Cartella dei dati (predefinita: la "
                                                    "cartella corrente)."),
                                     QStringLiteral("CARTELLA"));
    parser.addOption(dataDir);
    parser.process(app);

    const QString dir = parser.isSet(dataDir) ? parser.value(dataDir) : QDir::currentPath();
    const std::filesystem::path folder(dir.toStdString());
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        QMessageBox::critical(nullptr, QStringLiteral("Presenze per Ditta / Agenzia"),
                              QStringLiteral("Cartella dei dati non trovata:\n%1").arg(dir));
        return 1;
    }

    if (!cache) {
        QMessageBox::critical(nullptr, QStringLiteral("Presenze per Ditta / Agenzia"),
                              QString::fromStdString(cp1252ToUtf8(cacheError)));
        return 1;
    }
    SystemClock clock;
    KV7DeskTop window{DataFolder(std::filesystem::absolute(folder, ec)), clock};
    window.show();
    if (!cache->warning().empty())
        QMessageBox::warning(&window, QStringLiteral("Presenze per Ditta / Agenzia"),
                             QString::fromStdString(cp1252ToUtf8(cache->warning())));
    return QApplication::exec();
}
