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

void layoutPages(const PrintJob& job, PageSink& sink)
{
    const int margin = job.settings.margin();
    const PrintedLine marginLine = {TextRun{" ", false}};
    bool open = false;
    int count = 0;
    job.lines.forEach([&](std::string_view line) {
        if (line.size() == 1 && line.front() == kFormFeed) {
            open = false;
            return;
        }
        if (!open) {
            sink.beginPage();
            for (int i = 0; i < margin; ++i)
                sink.line(marginLine);
            count = margin;
            open = true;
        }
        sink.line(StampaLaser(line));
        if (++count >= job.pageLength)
            open = false;
    });
}

namespace {

class PageCollector final : public PageSink {
public:
    void beginPage() override { pages.emplace_back(); }
    void line(const PrintedLine& runs) override { pages.back().lines.push_back(runs); }
    std::vector<PrintedPage> pages;
};

} // namespace

std::vector<PrintedPage> layoutPages(const PrintJob& job)
{
    PageCollector collector;
    layoutPages(job, collector);
    return std::move(collector.pages);
}

} // namespace presenze
