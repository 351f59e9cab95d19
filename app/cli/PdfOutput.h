#pragma once
// The pages of a system print, for the command line: the one page layout
// (render/ReportPdf.h), with Qt started the first time a PDF is needed, on
// the offscreen platform, so no display is ever needed.

#include "output/PrintOutput.h"

#include <memory>

namespace presenze {

class OffscreenQt;

class PdfOutput {
public:
    PdfOutput();
    ~PdfOutput();
    PdfOutput(const PdfOutput&) = delete;
    PdfOutput& operator=(const PdfOutput&) = delete;

    // Draws into the file; valid while this object lives.
    PdfRenderer renderer();

private:
    std::unique_ptr<OffscreenQt> m_qt;
};

} // namespace presenze
