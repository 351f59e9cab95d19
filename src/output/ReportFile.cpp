#include "output/ReportFile.h"

#include "data/DataError.h"
#include "data/DataFolder.h"

#include <fstream>

namespace presenze {

std::string reportFileName(std::string_view stationTag)
{
    return "fd" + std::string(stationTag);
}

void ReportWriter::line(std::string_view text)
{
    m_line.assign(text);
    m_line.append(kLineEnd);
    m_sink.write(m_line);
}

std::vector<std::string> splitReportLines(std::string_view content)
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

std::vector<std::string> readReportLines(const std::filesystem::path& file)
{
    return splitReportLines(readWholeFile(file));
}

void forEachReportLine(const std::filesystem::path& file,
                       const std::function<void(std::string_view)>& take)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw DataError("Impossibile leggere il file", displayName(file));
    std::vector<char> block(1 << 20);
    std::string pending;  // the start of a line that goes on in the next block
    bool afterCr = false; // a LF right after a CR ends nothing
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        const std::string_view bytes(block.data(), static_cast<std::size_t>(in.gcount()));
        std::size_t start = 0;
        if (afterCr && !bytes.empty() && bytes.front() == '\n')
            start = 1;
        afterCr = false;
        while (start < bytes.size()) {
            const std::size_t end = bytes.find_first_of("\r\n", start);
            if (end == std::string_view::npos) {
                pending.append(bytes.substr(start));
                break;
            }
            if (pending.empty()) {
                take(bytes.substr(start, end - start));
            } else {
                pending.append(bytes.substr(start, end - start));
                take(pending);
                pending.clear();
            }
            start = end + 1;
            if (bytes[end] == '\r') {
                if (start < bytes.size() && bytes[start] == '\n')
                    ++start;
                else if (start == bytes.size())
                    afterCr = true;
            }
        }
    }
    if (in.bad())
        throw DataError("Errore di lettura", displayName(file));
    if (!pending.empty())
        take(pending);
}

} // namespace presenze
