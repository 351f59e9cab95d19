#include "PdfOutput.h"

#include "OffscreenQt.h"
#include "data/DataError.h"
#include "data/DataFolder.h"

#ifdef PRESENZE_CLI_QT
#include "gui/output/ReportPdf.h"
#endif

namespace presenze {

PdfOutput::PdfOutput() = default;
PdfOutput::~PdfOutput() = default;

PdfRenderer PdfOutput::renderer()
{
    return [this](const PrintJob& job, const std::filesystem::path& file) {
        if (!OffscreenQt::available())
            throw DataError("Stampa non eseguita: questa versione del programma non disegna le "
                            "pagine per la stampante di sistema",
                            displayName(file));
        if (!m_qt)
            m_qt = std::make_unique<OffscreenQt>();
#ifdef PRESENZE_CLI_QT
        writeReportPdf(job, file);
#endif
    };
}

} // namespace presenze
