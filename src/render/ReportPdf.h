#pragma once
// The pages of a print on a system printer as a PDF: the one page layout of
// the window and of the command line. Qt measures the font for the fit rule;
// the pages are written by render/PdfDocument.h, each line's runs as runs of
// glyphs of the embedded font. The pages come from
// PageLayout (P lines each, margin lines and the month's repeated heading
// first, a blank line in Times at the top, "Pagina N di M" on one further
// line at the foot); the report lines are drawn as Converti2 gives them, so
// frames are box-drawing lines.
//
// The font is the one of "FontStp.txt" when it is fixed-pitch, has the
// box-drawing characters and TrueType outlines, otherwise DejaVu Sans Mono. Its size is the
// largest, not above the configured one (0 counts as 10) and not below 6
// points, at which 133 columns fit the printable width and a page (the Times
// line, P lines and the foot line) fits its height, in the chosen orientation. Lines are
// spaced as the font spaces them, closer where a page of P lines needs it,
// never closer than one line per font size (frames still join). A line wider
// than the page wraps onto the next line; lines that do not fit under a page
// go on to a further sheet. Nothing is cut.

#include "output/PrintJob.h"
#include "render/PdfPages.h"

#include <QString>
#include <filesystem>

namespace presenze {

// The smallest font size the fit rule goes down to.
inline constexpr double kSmallestFontSize = 6.0;

struct PdfPageSetup {
    QString family;         // the report font as resolved
    double bodySize = 10;   // points
    double headerSize = 10; // points, the Times line
    double width = 0;       // the printable area, in points
    double height = 0;
    double columnWidth = 0;  // points
    double lineHeight = 0;   // points, from one report line to the next
    double headerHeight = 0; // points, the Times line
    int columns = 0;         // characters on one printed line
    bool fits = false;       // 133 columns and a page of P lines fit
};

// The setup the fit rule gives for the job.
PdfPageSetup pdfPageSetup(const PrintJob& job);

// Writes the job's pages as a PDF file (on any thread). Raises DataError
// when the file cannot be written.
void writeReportPdf(const PrintJob& job, const std::filesystem::path& file);

} // namespace presenze
