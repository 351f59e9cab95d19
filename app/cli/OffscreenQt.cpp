#include "OffscreenQt.h"

#ifdef PRESENZE_CLI_QT
#include <QGuiApplication>
#include <cstdio>
#endif

namespace presenze {

#ifdef PRESENZE_CLI_QT
namespace {

void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

struct OffscreenQt::Application {
    Application()
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(quietQt);
        application = std::make_unique<QGuiApplication>(argc, argv);
    }

    int argc = 1;
    char name[16] = "presenze-cli";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QGuiApplication> application;
};

OffscreenQt::OffscreenQt() : m_application(std::make_unique<Application>()) {}

bool OffscreenQt::available()
{
    return true;
}
#else
struct OffscreenQt::Application {};

OffscreenQt::OffscreenQt() = default;

bool OffscreenQt::available()
{
    return false;
}
#endif

OffscreenQt::~OffscreenQt() = default;

} // namespace presenze
