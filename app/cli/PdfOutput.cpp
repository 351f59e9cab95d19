#include "PdfOutput.h"

#include "data/DataError.h"
#include "data/DataFolder.h"

#ifdef PRESENZE_CLI_PDF
#include "gui/output/ReportPdf.h"

#include <QGuiApplication>
#include <cstdio>
#endif

namespace presenze {

#ifdef PRESENZE_CLI_PDF
namespace {

// Qt's own notes (fonts, paths) are not for the person at the terminal.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

struct PdfOutput::Qt {
    Qt()
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
#else
struct PdfOutput::Qt {};
#endif

PdfOutput::PdfOutput() = default;
PdfOutput::~PdfOutput() = default;

PdfRenderer PdfOutput::renderer()
{
    return [this](const PrintJob& job, const std::filesystem::path& file) {
#ifdef PRESENZE_CLI_PDF
        if (!m_qt)
            m_qt = std::make_unique<Qt>();
        writeReportPdf(job, file);
#else
        throw DataError("Stampa non eseguita: questa versione del programma non disegna le "
                        "pagine per la stampante di sistema",
                        displayName(file));
#endif
    };
}

} // namespace presenze
