#include "OffscreenQt.h"

#include <cstdio>

namespace presenze {
namespace {

void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

OffscreenQt::OffscreenQt()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietQt);
    m_application = std::make_unique<QGuiApplication>(m_argc, m_argv);
}

OffscreenQt::~OffscreenQt() = default;

} // namespace presenze
