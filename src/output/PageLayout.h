#pragma once
// The pages of a print on a system printer, laid out without a printer: the
// report lines split into runs of regular and bold type at the marker "ç"
// (StampaLaser), and gathered into pages of P lines. Every page starts with a
// blank line in the heading font and M blank margin lines in the report font;
// a form-feed line ends the page at once. A page is begun only when a line is
// there to go on it: a form feed never leaves an empty page behind.
//
// A person can follow the pages: every page of a month after its first one
// repeats the month's heading (its title line and the three lines after it:
// rule, days, weekdays) after the margin, within the P lines; a block of lines
// that belong together (a company's or hotel's name line and the day lines
// under it, or the heading itself) goes whole onto the next page when it
// does not fit under the current one but fits on a page; and every page ends
// with "Pagina N di M", numbered over the whole print, one line beyond the P
// lines. The report file is read twice (once to count the pages), a few lines
// at a time, so a report of any length takes little memory.

#include "output/PrintJob.h"

#include <string>
#include <string_view>
#include <vector>

namespace presenze {

// Bold text is printed 0.4 points smaller than the regular text.
inline constexpr double kBoldSizeReduction = 0.4;
// The width of a report line that a page must hold: the day grids.
inline constexpr int kReportColumns = 133;
// Lines of a page beyond the P report lines: the page number at its foot.
inline constexpr int kFootLines = 1;

struct TextRun {
    std::string text; // Windows-1252, as the report line holds it
    bool bold = false;

    bool operator==(const TextRun&) const = default;
};

using PrintedLine = std::vector<TextRun>; // no runs: an empty line

struct PrintedPage {
    std::vector<PrintedLine> lines; // margin lines first
    std::string foot;               // "Pagina N di M"
};

// What takes the pages as they are laid out.
class PageSink {
public:
    virtual ~PageSink() = default;
    // A new page: its heading line comes first.
    virtual void beginPage() = 0;
    // The next line of the page (margin and repeated heading lines included).
    virtual void line(const PrintedLine& runs) = 0;
    // The page's foot, below its P lines (Windows-1252); the page ends.
    virtual void foot(std::string_view text) = 0;
};

// The runs of one line: each "ç" switches bold on or off and is not printed.
// Every line starts in regular type.
std::vector<TextRun> StampaLaser(std::string_view line);

// "Pagina N di M".
std::string pageFoot(int number, int count);

// Lays out the job's lines page by page into `sink`.
void layoutPages(const PrintJob& job, PageSink& sink);
// The same pages gathered in memory.
std::vector<PrintedPage> layoutPages(const PrintJob& job);

} // namespace presenze
