#include "output/RawPrint.h"

#include "common/ReportFile.h"

namespace presenze {
namespace {

class RawPager {
public:
    RawPager(const PrintJob& job, std::string& out)
        : m_out(out), m_margin(job.settings.margin()), m_pageLength(job.pageLength),
          m_physical(job.settings.physicalLines(job.compressed)), m_pad(job.padsPages())
    {}

    void line(std::string_view text)
    {
        if (text.size() == 1 && text.front() == kFormFeed) {
            if (m_open)
                endPage();
            return;
        }
        if (!m_open)
            beginPage();
        m_out.append(text);
        m_out.append(kLineEnd);
        // At least one report line goes on every page, whatever M and P are.
        if (++m_count >= m_pageLength)
            endPage();
    }

    void finish()
    {
        if (m_open)
            endPage();
    }

private:
    void beginPage()
    {
        for (int i = 0; i < m_margin; ++i) {
            m_out.push_back(' ');
            m_out.append(kLineEnd);
        }
        m_count = m_margin;
        m_open = true;
    }

    void endPage()
    {
        if (m_pad) {
            for (; m_count < m_physical; ++m_count)
                m_out.append(kLineEnd);
        } else {
            m_out.push_back(kFormFeed);
        }
        m_count = 0;
        m_open = false;
    }

    std::string& m_out;
    const int m_margin;
    const int m_pageLength;
    const int m_physical;
    const bool m_pad;
    int m_count = 0;
    bool m_open = false;
};

} // namespace

std::string rawPrintBytes(const PrintJob& job)
{
    std::string out = job.settings.startSequence(job.compressed);
    RawPager pager(job, out);
    for (const auto& line : job.lines)
        pager.line(line);
    pager.finish();
    return out;
}

void writeRawPrint(const PrintJob& job, ByteSink& out)
{
    out.write(rawPrintBytes(job));
}

} // namespace presenze
