#include "output/RawPrint.h"

#include "common/KV7Routine.h"
#include "common/ReportFile.h"

namespace presenze {
namespace {

// Bytes are handed to the sink in blocks of about this size.
constexpr std::size_t kBlock = 1 << 16;

class RawPager {
public:
    RawPager(const PrintJob& job, ByteSink& sink)
        : m_sink(sink), m_margin(job.settings.margin()), m_pageLength(job.pageLength),
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
        if (m_out.size() >= kBlock)
            flush();
    }

    void start(std::string_view bytes) { m_out.append(bytes); }

    void finish()
    {
        if (m_open)
            endPage();
        flush();
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

    void flush()
    {
        if (!m_out.empty())
            m_sink.write(m_out);
        m_out.clear();
    }

    ByteSink& m_sink;
    std::string m_out;
    const int m_margin;
    const int m_pageLength;
    const int m_physical;
    const bool m_pad;
    int m_count = 0;
    bool m_open = false;
};

class StringSink final : public ByteSink {
public:
    void write(std::string_view bytes) override { text.append(bytes); }
    std::string text;
};

} // namespace

void writeRawPrint(const PrintJob& job, ByteSink& out)
{
    RawPager pager(job, out);
    pager.start(job.settings.startSequence(job.compressed));
    const bool convert = !job.keepsBytes();
    std::string converted;
    job.lines.forEach([&](std::string_view line) {
        if (!convert) {
            pager.line(line);
            return;
        }
        converted.assign(line);
        pager.line(TogliGrafica(converted));
    });
    pager.finish();
}

std::string rawPrintBytes(const PrintJob& job)
{
    StringSink sink;
    writeRawPrint(job, sink);
    return std::move(sink.text);
}

} // namespace presenze
