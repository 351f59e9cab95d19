#pragma once
// A small PDF writer for fixed-pitch report pages, with no dependency: the
// standard fonts Courier and Courier-Bold in WinAnsiEncoding, which is
// Windows-1252, so the report's bytes go into the page as they are. Used
// where the system printer's output is a PDF file and Qt is not at hand.

#include "output/PageLayout.h"

#include <string>
#include <vector>

namespace presenze {

struct PdfSetup {
    bool landscape = false; // A4 either way
    double bodySize = 10;   // points, report lines
    double headerSize = 10; // points, the blank line at the top of a page
};

// The whole PDF file. Lines that do not fit under a page go on to a further
// sheet; no pages at all give one blank page.
std::string renderPdf(const std::vector<PrintedPage>& pages, const PdfSetup& setup);

// Line height as a share of the font size, and the sheet's printable edge,
// shared with the Qt printer so both lay out alike.
inline constexpr double kLineSpacing = 1.15;
inline constexpr double kPageEdgePoints = 18.0;

} // namespace presenze
