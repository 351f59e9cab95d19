#include "output/PageLayout.h"

#include "common/ReportFile.h"

namespace presenze {

std::vector<TextRun> StampaLaser(std::string_view line)
{
    constexpr char kBoldMarker = '\xE7';
    std::vector<TextRun> runs;
    bool bold = false;
    std::size_t start = 0;
    while (start <= line.size()) {
        const std::size_t marker = std::min(line.find(kBoldMarker, start), line.size());
        if (marker > start)
            runs.push_back({std::string(line.substr(start, marker - start)), bold});
        if (marker == line.size())
            break;
        bold = !bold;
        start = marker + 1;
    }
    return runs;
}

std::vector<PrintedPage> layoutPages(const PrintJob& job)
{
    std::vector<PrintedPage> pages;
    const int margin = job.settings.margin();
    bool open = false;
    int count = 0;
    for (const auto& line : job.lines) {
        if (line.size() == 1 && line.front() == kFormFeed) {
            open = false;
            continue;
        }
        if (!open) {
            pages.emplace_back();
            pages.back().lines.assign(static_cast<std::size_t>(margin), {TextRun{" ", false}});
            count = margin;
            open = true;
        }
        pages.back().lines.push_back(StampaLaser(line));
        if (++count >= job.pageLength)
            open = false;
    }
    return pages;
}

} // namespace presenze
