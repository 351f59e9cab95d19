#include "PdfOutput.h"

#include "OffscreenQt.h"
#include "render/ReportPdf.h"

namespace presenze {

PdfOutput::PdfOutput() = default;
PdfOutput::~PdfOutput() = default;

PdfRenderer PdfOutput::renderer()
{
    return [this](const PrintJob& job, const std::filesystem::path& file) {
        if (!m_qt)
            m_qt = std::make_unique<OffscreenQt>();
        writeReportPdf(job, file);
    };
}

} // namespace presenze
