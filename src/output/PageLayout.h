#pragma once
// The pages of a print on a system printer, laid out without a printer: the
// report lines split into runs of regular and bold type at the marker "ç"
// (StampaLaser), and gathered into pages of P lines. Every page starts with a
// blank line in the heading font and M blank margin lines in the report font;
// a form-feed line ends the page at once. A page is begun only when a line is
// there to go on it: a form feed never leaves an empty page behind. The
// lines are handed on as they are read, so a report of any length takes
// little memory.

#include "output/PrintJob.h"

#include <string>
#include <string_view>
#include <vector>

namespace presenze {

// Bold text is printed 0.4 points smaller than the regular text.
inline constexpr double kBoldSizeReduction = 0.4;
// The width of a report line that a page must hold: the day grids.
inline constexpr int kReportColumns = 133;

struct TextRun {
    std::string text; // Windows-1252, as the report line holds it
    bool bold = false;

    bool operator==(const TextRun&) const = default;
};

using PrintedLine = std::vector<TextRun>; // no runs: an empty line

struct PrintedPage {
    std::vector<PrintedLine> lines; // margin lines first
};

// What takes the pages as they are laid out.
class PageSink {
public:
    virtual ~PageSink() = default;
    // A new page: its heading line comes first.
    virtual void beginPage() = 0;
    // The next line of the page (margin lines included).
    virtual void line(const PrintedLine& runs) = 0;
};

// The runs of one line: each "ç" switches bold on or off and is not printed.
// Every line starts in regular type.
std::vector<TextRun> StampaLaser(std::string_view line);

// Lays out the job's lines page by page into `sink`.
void layoutPages(const PrintJob& job, PageSink& sink);
// The same pages gathered in memory.
std::vector<PrintedPage> layoutPages(const PrintJob& job);

} // namespace presenze
