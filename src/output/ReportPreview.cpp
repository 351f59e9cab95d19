#include "output/ReportPreview.h"

#include "common/KV7Routine.h"
#include "common/ReportFile.h"
#include "data/AtomicFile.h"
#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/TextLines.h"
#include "output/LineConversion.h"

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <vector>

namespace presenze {

ReportPreview::ReportPreview(std::filesystem::path reportFile) : m_file(std::move(reportFile))
{
    load();
}

void ReportPreview::load()
{
    m_in.reset();
    m_buffer.clear();
    m_bufferStart = 0;
    std::error_code ec;
    m_hasReport = std::filesystem::exists(std::filesystem::symlink_status(m_file, ec));
    if (m_hasReport)
        m_in.emplace(m_file, Links::Refuse);
    m_size = m_in ? m_in->size() : 0;
    m_begin = m_next = 0;
    m_beginOffset = m_nextOffset = 0;
    m_read = 0;
}

int ReportPreview::byteAt(std::uintmax_t offset)
{
    if (offset < m_bufferStart || offset - m_bufferStart >= m_buffer.size()) {
        m_buffer.resize(1 << 16);
        m_buffer.resize(m_in->readAt(offset, m_buffer.data(), m_buffer.size()));
        m_bufferStart = offset;
        if (m_buffer.empty())
            return -1;
    }
    return static_cast<unsigned char>(m_buffer[offset - m_bufferStart]);
}

bool ReportPreview::readLine(std::string& line)
{
    line.clear();
    if (m_nextOffset >= m_size)
        return false;
    for (int c = byteAt(m_nextOffset); c >= 0; c = byteAt(m_nextOffset)) {
        ++m_nextOffset;
        if (c == '\n')
            break;
        if (c == '\r') {
            if (byteAt(m_nextOffset) == '\n')
                ++m_nextOffset;
            break;
        }
        line += static_cast<char>(c);
    }
    ++m_next;
    return true;
}

std::string ReportPreview::readChunk(std::size_t limit)
{
    std::string text;
    std::size_t read = 0;
    m_begin = m_next;
    m_beginOffset = m_nextOffset;
    m_chunk.clear();
    std::string line;
    while (read < limit && readLine(line)) {
        read += line.size();
        text += shownLine(line);
        text += kLineEnd;
        m_chunk.push_back(line);
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
    // Lines shown as they were read go back as they were read.
    std::unordered_map<std::string, const std::string*> unchanged;
    for (const std::string& line : m_chunk)
        unchanged.try_emplace(shownLine(line), &line);
    std::vector<std::string> saved;
    std::string shown;
    for (const auto& line : splitLines(shownText)) {
        const auto it = unchanged.find(line);
        saved.push_back(it != unchanged.end() ? *it->second : reportLineOf(line));
        shown += saved.back();
        shown += kLineEnd;
    }
    const std::size_t count = saved.size();

    // The file before the chunk and after it, copied as it is.
    AtomicFile out(m_file);
    auto copy = [&](std::uintmax_t from, std::uintmax_t to) {
        std::vector<char> block(1 << 16);
        while (from < to) {
            const auto want =
                static_cast<std::size_t>(std::min<std::uintmax_t>(block.size(), to - from));
            if (m_in->readAt(from, block.data(), want) != want)
                throw DataError("Errore di lettura", displayName(m_file));
            out.write(std::string_view(block.data(), want));
            from += want;
        }
    };
    if (m_hasReport)
        copy(0, m_beginOffset);
    out.write(shown);
    if (m_hasReport)
        copy(m_nextOffset, m_size);
    out.commit();

    const std::size_t begin = m_begin;
    const std::uintmax_t beginOffset = m_beginOffset;
    load();
    m_begin = begin;
    m_next = begin + count;
    m_beginOffset = beginOffset;
    m_nextOffset = beginOffset + shown.size();
    m_chunk = std::move(saved);
}

std::string mailTextOf(std::string_view shownText)
{
    std::string text;
    for (std::size_t start = 0; start <= shownText.size();) {
        const std::size_t end = std::min(shownText.find('\n', start), shownText.size());
        std::string_view line = shownText.substr(start, end - start);
        const bool cr = !line.empty() && line.back() == '\r';
        if (cr)
            line.remove_suffix(1);
        std::string bytes = reportLineOf(line);
        text += TogliGrafica(bytes);
        if (cr)
            text += '\r';
        if (end < shownText.size())
            text += '\n';
        start = end + 1;
    }
    return text;
}

} // namespace presenze
