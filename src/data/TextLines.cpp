#include "data/TextLines.h"

#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/InputFile.h"

#include <algorithm>
#include <vector>

namespace presenze {

std::vector<std::string> splitLines(std::string_view content)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(content.substr(start));
            break;
        }
        lines.emplace_back(content.substr(start, end - start));
        if (content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

namespace {

// Cuts blocks of bytes into lines, a line that goes on in the next block
// kept until its end comes.
class LineCutter {
public:
    LineCutter(const InputFile& in, const std::function<bool(std::string_view)>& take,
               std::size_t longestLine)
        : m_in(in), m_take(take), m_longest(longestLine)
    {}

    // The first carriage return or line feed from `start`: two searches for
    // one byte each, far quicker than one for either.
    static std::size_t lineEnd(std::string_view bytes, std::size_t start)
    {
        const std::size_t feed = bytes.find('\n', start);
        const std::size_t limit = feed == std::string_view::npos ? bytes.size() : feed;
        const std::size_t cr = bytes.substr(0, limit).find('\r', start);
        return cr == std::string_view::npos ? feed : cr;
    }

    // False once `take` has asked to stop.
    bool feed(std::string_view bytes)
    {
        std::size_t start = 0;
        if (m_afterCr && !bytes.empty() && bytes.front() == '\n')
            start = 1;
        m_afterCr = false;
        while (start < bytes.size()) {
            const std::size_t end = lineEnd(bytes, start);
            if (end == std::string_view::npos) {
                keep(bytes.substr(start));
                return true;
            }
            if (!deliver(bytes.substr(start, end - start)))
                return false;
            start = end + 1;
            if (bytes[end] == '\r') {
                if (start < bytes.size() && bytes[start] == '\n')
                    ++start;
                else if (start == bytes.size())
                    m_afterCr = true;
            }
        }
        return true;
    }

    void finish()
    {
        if (!m_pending.empty())
            deliver({});
    }

private:
    void keep(std::string_view part)
    {
        if (m_pending.size() + part.size() > m_longest)
            tooLong();
        m_pending.append(part);
    }

    bool deliver(std::string_view part)
    {
        if (m_pending.empty()) {
            if (part.size() > m_longest)
                tooLong();
            ++m_line;
            return m_take(part);
        }
        keep(part);
        ++m_line;
        const bool more = m_take(m_pending);
        m_pending.clear();
        return more;
    }

    [[noreturn]] void tooLong() const
    {
        throw DataError("La riga " + std::to_string(m_line + 1) + " \xE8 pi\xF9 lunga di " +
                            std::to_string(m_longest) + " caratteri: il file non viene letto",
                        displayName(m_in.path()));
    }

    const InputFile& m_in;
    const std::function<bool(std::string_view)>& m_take;
    std::size_t m_longest;
    std::string m_pending;  // the start of a line that goes on in the next block
    bool m_afterCr = false; // a LF right after a CR ends nothing
    std::size_t m_line = 0;
};

} // namespace

void forEachLine(InputFile& in, const std::function<bool(std::string_view)>& take,
                 std::size_t longestLine)
{
    // A short file in one read, a long one in blocks of a megabyte.
    std::vector<char> block(std::clamp<std::uint64_t>(in.size() + 1, 4096, 1 << 20));
    LineCutter cutter(in, take, longestLine);
    for (;;) {
        const std::size_t n = in.read(block.data(), block.size());
        if (n == 0)
            break;
        if (!cutter.feed(std::string_view(block.data(), n)))
            return;
    }
    cutter.finish();
}

std::vector<std::string> readTextLines(const std::filesystem::path& file, const TextLimits& limits)
{
    InputFile in(file, Links::Follow);
    std::vector<std::string> lines;
    forEachLine(
        in,
        [&](std::string_view line) {
            if (lines.size() == limits.mostLines)
                throw DataError("Il file ha pi\xF9 di " + std::to_string(limits.mostLines) +
                                    " righe: non viene letto",
                                displayName(file));
            lines.emplace_back(line);
            return lines.size() < limits.wanted;
        },
        limits.longestLine);
    return lines;
}

} // namespace presenze
