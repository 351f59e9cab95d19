#pragma once
// The pages of a print on a system printer, laid out without a printer: the
// report lines split into runs of regular and bold type at the marker "ç"
// (StampaLaser), and gathered into pages of P lines. Every page starts with a
// blank line in the heading font and M blank margin lines in the report font;
// a form-feed line ends the page at once. A page is begun only when a line is
// there to go on it: a form feed never leaves an empty page behind.

#include "output/PrintJob.h"

#include <string>
#include <string_view>
#include <vector>

namespace presenze {

// Bold text is printed 0.4 points smaller than the regular text.
inline constexpr double kBoldSizeReduction = 0.4;

struct TextRun {
    std::string text; // Windows-1252
    bool bold = false;

    bool operator==(const TextRun&) const = default;
};

using PrintedLine = std::vector<TextRun>; // no runs: an empty line

struct PrintedPage {
    std::vector<PrintedLine> lines; // margin lines first
};

// The runs of one line: each "ç" switches bold on or off and is not printed.
// Every line starts in regular type.
std::vector<TextRun> StampaLaser(std::string_view line);

std::vector<PrintedPage> layoutPages(const PrintJob& job);

} // namespace presenze
