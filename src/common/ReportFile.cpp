#include "common/ReportFile.h"

#include "data/InputFile.h"
#include "data/TextLines.h"

#include <array>

namespace presenze {
namespace {

// Byte -> byte as reportText writes it.
constexpr std::array<unsigned char, 256> makeReportTextTable()
{
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[b] = static_cast<unsigned char>(b < 32 ? ' ' : b);
    // Capitals that share their byte with a frame: the small letter.
    for (const int capital :
         {0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCE, 0xD9, 0xDA})
        t[capital] = static_cast<unsigned char>(capital + 0x20);
    t[0xB4] = '\''; // acute accent
    t[0xA6] = '|';  // broken bar: the Type 2 closing table's frame
    t[0xB3] = '3';  // superscript three
    t[0xB7] = '.';  // middle dot
    t[0xBA] = 'o';  // masculine ordinal
    t[0xBB] = '"';  // right guillemet
    t[0xBC] = '?';  // one quarter
    t[0xBF] = '?';  // inverted question mark
    t[0xE7] = 'c';  // c cedilla
    return t;
}

constexpr auto kReportText = makeReportTextTable();

} // namespace

std::string reportFileName(std::string_view stationTag)
{
    return "fd" + std::string(stationTag);
}

std::string reportText(std::string_view text)
{
    std::string out;
    appendReportText(out, text);
    return out;
}

void appendReportText(std::string& line, std::string_view text)
{
    const std::size_t start = line.size();
    line.append(text);
    for (std::size_t i = start; i < line.size(); ++i)
        line[i] = static_cast<char>(kReportText[static_cast<unsigned char>(line[i])]);
}

void ReportWriter::line(std::string_view text)
{
    m_line.assign(text);
    m_line.append(kLineEnd);
    m_sink.write(m_line);
}

std::vector<std::string> readReportLines(const std::filesystem::path& file)
{
    std::vector<std::string> lines;
    forEachReportLine(file, [&lines](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

void forEachReportLine(const std::filesystem::path& file,
                       const std::function<void(std::string_view)>& take,
                       const WorkProgress& progress)
{
    // The bar moves every so many bytes.
    constexpr std::uint64_t kReportBytes = 256 * 1024;
    InputFile in(file, Links::Refuse);
    std::error_code ec;
    const std::uint64_t total = progress ? std::filesystem::file_size(file, ec) : 0;
    std::uint64_t read = 0, told = 0;
    forEachLine(in, [&](std::string_view line) {
        take(line);
        read += line.size() + 2;
        if (progress && read - told >= kReportBytes) {
            told = read;
            reportProgress(progress, std::min(read, total), total);
        }
        return true;
    });
}

} // namespace presenze
