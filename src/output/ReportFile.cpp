#include "output/ReportFile.h"

namespace presenze {

std::string reportFileName(std::string_view stationTag)
{
    return "fd" + std::string(stationTag);
}

void ReportWriter::line(std::string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() + 2);
    bytes.append(text);
    bytes.append(kLineEnd);
    m_sink.write(bytes);
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

} // namespace presenze
