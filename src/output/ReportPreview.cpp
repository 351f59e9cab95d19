#include "output/ReportPreview.h"

#include "common/KV7Routine.h"
#include "common/ReportFile.h"
#include "data/AtomicFile.h"
#include "data/TextLines.h"

#include <limits>

namespace presenze {

ReportPreview::ReportPreview(std::filesystem::path reportFile) : m_file(std::move(reportFile))
{
    load();
}

void ReportPreview::load()
{
    std::error_code ec;
    m_hasReport = std::filesystem::is_regular_file(m_file, ec);
    m_lines = m_hasReport ? readReportLines(m_file) : std::vector<std::string>();
    m_begin = m_next = 0;
    m_read = 0;
}

std::string ReportPreview::readChunk(std::size_t limit)
{
    std::string text;
    std::size_t read = 0;
    m_begin = m_next;
    while (m_next < m_lines.size() && read < limit) {
        std::string line = m_lines[m_next++];
        read += line.size();
        text += TogliGrafica(line);
        text += kLineEnd;
    }
    const std::size_t most = std::numeric_limits<std::int32_t>::max();
    m_read = static_cast<std::int32_t>(read < most ? read : most);
    return text;
}

std::string ReportPreview::restart(std::size_t limit)
{
    load();
    return readChunk(limit);
}

void ReportPreview::save(std::string_view shownText)
{
    const std::vector<std::string> shown = splitLines(shownText);
    std::vector<std::string> lines;
    lines.reserve(m_lines.size() - (m_next - m_begin) + shown.size());
    lines.insert(lines.end(), m_lines.begin(), m_lines.begin() + m_begin);
    lines.insert(lines.end(), shown.begin(), shown.end());
    lines.insert(lines.end(), m_lines.begin() + m_next, m_lines.end());

    std::string content;
    for (const auto& line : lines) {
        content += line;
        content += kLineEnd;
    }
    writeFileAtomically(m_file, content);
    m_lines = std::move(lines);
    m_next = m_begin + shown.size();
    m_hasReport = true;
}

} // namespace presenze
