#include "output/PageLayout.h"

#include "common/BoxDrawing.h"
#include "common/ReportFile.h"

#include <algorithm>
#include <array>

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

std::string pageFoot(int number, int count)
{
    return "Pagina " + std::to_string(number) + " di " + std::to_string(count);
}

namespace {

// The lines after a month's title line that its heading repeats.
constexpr std::size_t kHeadingFollowers = 3;

bool isFormFeed(std::string_view line)
{
    return line.size() == 1 && line.front() == kFormFeed;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The first line of a month: the date "DD/MM/YYYY", then the report's title.
bool isTitleLine(std::string_view line)
{
    constexpr std::string_view kTitle = "Stampa Presenze per Ditta / Hotel (";
    if (line.size() < 10 || line[2] != '/' || line[5] != '/')
        return false;
    for (const std::size_t i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (!isDigit(line[i]))
            return false;
    return line.find(kTitle, 10) != std::string_view::npos;
}

// A day line under a company's or hotel's name: its label, then a frame.
bool isDayLine(std::string_view line)
{
    constexpr std::array<std::string_view, 7> kLabels = {
        "     PrC", "     PrO", "     CON", "     OPZ", "     CaC", "     CaO", "     Lib"};
    if (line.size() < 9 || line[8] != box::kVertical)
        return false;
    return std::find(kLabels.begin(), kLabels.end(), line.substr(0, 8)) != kLabels.end();
}

class NullSink final : public PageSink {
public:
    void beginPage() override {}
    void line(const PrintedLine&) override {}
    void foot(std::string_view) override {}
};

// The layout of one pass over the lines. The lines of a block are held until
// the block is complete, so that it can go whole onto a new page.
class Layout {
public:
    Layout(const PrintJob& job, PageSink& sink, int pageCount)
        : m_margin(job.settings.margin()), m_length(job.pageLength), m_sink(sink),
          m_pageCount(pageCount)
    {}

    void take(std::string_view line)
    {
        if (isFormFeed(line)) {
            flush();
            if (m_open)
                closePage();
            return;
        }
        if (isTitleLine(line)) {
            flush();
            m_block.emplace_back(line);
            m_blockIsHeading = true;
            return;
        }
        if (m_blockIsHeading) {
            m_block.emplace_back(line);
            if (m_block.size() == 1 + kHeadingFollowers)
                flush();
            return;
        }
        if (!m_block.empty() && isDayLine(line)) {
            m_block.emplace_back(line);
            return;
        }
        flush();
        m_block.emplace_back(line);
    }

    void finish()
    {
        flush();
        if (m_open)
            closePage();
    }

    int pages() const { return m_pages; }

private:
    // Places the block held.
    void flush()
    {
        if (m_block.empty())
            return;
        const bool heading = m_blockIsHeading;
        if (heading)
            m_heading = m_block;
        const auto size = static_cast<int>(m_block.size());
        if (size > 1 && m_open && m_count + size > m_length &&
            size <= m_length - m_margin - (heading ? 0 : headingRoom()))
            closePage();
        for (const std::string& line : m_block)
            put(line, !heading);
        m_block.clear();
        m_blockIsHeading = false;
    }

    // The lines the month's heading takes on a later page: none where it
    // would leave no room for a line of the report.
    int headingRoom() const
    {
        const auto size = static_cast<int>(m_heading.size());
        return m_margin + size < m_length ? size : 0;
    }

    void put(std::string_view line, bool withHeading)
    {
        if (!m_open)
            openPage(withHeading);
        m_sink.line(StampaLaser(line));
        if (++m_count >= m_length)
            closePage();
    }

    void openPage(bool withHeading)
    {
        static const PrintedLine marginLine = {TextRun{" ", false}};
        ++m_pages;
        m_sink.beginPage();
        for (int i = 0; i < m_margin; ++i)
            m_sink.line(marginLine);
        m_count = m_margin;
        m_open = true;
        if (withHeading && headingRoom() > 0) {
            for (const std::string& line : m_heading)
                m_sink.line(StampaLaser(line));
            m_count += headingRoom();
        }
    }

    void closePage()
    {
        m_sink.foot(pageFoot(m_pages, m_pageCount));
        m_open = false;
    }

    const int m_margin;
    const int m_length;
    PageSink& m_sink;
    const int m_pageCount;
    int m_pages = 0;
    bool m_open = false;
    int m_count = 0;
    std::vector<std::string> m_block; // the lines not yet placed
    bool m_blockIsHeading = false;    // they are a month's title and heading
    std::vector<std::string> m_heading;
};

int countPages(const PrintJob& job)
{
    NullSink none;
    Layout layout(job, none, 0);
    job.lines.forEach([&](std::string_view line) { layout.take(line); });
    layout.finish();
    return layout.pages();
}

class PageCollector final : public PageSink {
public:
    void beginPage() override { pages.emplace_back(); }
    void line(const PrintedLine& runs) override { pages.back().lines.push_back(runs); }
    void foot(std::string_view text) override { pages.back().foot = text; }
    std::vector<PrintedPage> pages;
};

} // namespace

void layoutPages(const PrintJob& job, PageSink& sink)
{
    Layout layout(job, sink, countPages(job));
    job.lines.forEach([&](std::string_view line) { layout.take(line); });
    layout.finish();
}

std::vector<PrintedPage> layoutPages(const PrintJob& job)
{
    PageCollector collector;
    layoutPages(job, collector);
    return std::move(collector.pages);
}

} // namespace presenze
