#include "output/CsvExport.h"

#include "common/BoxDrawing.h"
#include "common/ReportFile.h"
#include "data/AtomicFile.h"
#include "data/Schema.h"

#include <array>

namespace presenze {
namespace {

bool isDigitAt(std::string_view line, std::ptrdiff_t i)
{
    return i >= 0 && i < static_cast<std::ptrdiff_t>(line.size()) && line[i] >= '0' &&
           line[i] <= '9';
}

// The three neighbours that make a comma or point part of an amount: one digit
// before it, two after it.
bool betweenDigits(std::string_view line, std::ptrdiff_t i)
{
    return isDigitAt(line, i - 1) && isDigitAt(line, i + 1) && isDigitAt(line, i + 2);
}

enum class Kind : unsigned char { Plain, Separator, RightTee, Rule, Comma, Point, Minus };

// What each byte is to the export; most bytes are copied as they are.
constexpr std::array<Kind, 256> kinds()
{
    std::array<Kind, 256> k{};
    for (char c : {box::kBottomRight, box::kCross, box::kTopT, box::kLeftT, box::kBottomLeft,
                   box::kBottomT, box::kVertical, box::kTopRight, box::kTopLeft, '|', '+'})
        k[box::code(c)] = Kind::Separator;
    k[box::code(box::kRightT)] = Kind::RightTee;
    k[box::code(box::kHorizontal)] = Kind::Rule;
    k[','] = Kind::Comma;
    k['.'] = Kind::Point;
    k['-'] = Kind::Minus;
    return k;
}
constexpr std::array<Kind, 256> kKinds = kinds();

Kind kindOf(char c)
{
    return kKinds[static_cast<unsigned char>(c)];
}

} // namespace

CsvSettings readCsvSettings(const DataFolder& folder)
{
    CsvSettings settings;
    const auto file = folder.find(schema::kCsvSettingsFile);
    if (!file)
        return settings;
    const auto lines = readReportLines(*file);
    if (lines.size() > 0)
        settings.separator = lines[0];
    if (lines.size() > 1)
        settings.decimal = lines[1];
    if (lines.size() > 2)
        settings.currency = lines[2];
    return settings;
}

void appendCsvLine(std::string& out, std::string_view line, const CsvSettings& settings)
{
    const std::size_t lineStart = out.size();
    const auto size = static_cast<std::ptrdiff_t>(line.size());
    std::ptrdiff_t i = 0;
    while (i < size) {
        // A run of plain bytes goes over whole.
        std::ptrdiff_t plain = i;
        while (plain < size && kindOf(line[plain]) == Kind::Plain)
            ++plain;
        out.append(line.substr(i, plain - i));
        if (plain == size)
            break;
        i = plain;
        switch (kindOf(line[i])) {
        case Kind::Separator:
            out += settings.separator;
            break;
        case Kind::RightTee:
            if (i == size - 1)
                out += settings.separator;
            else
                out += ' ';
            break;
        case Kind::Rule:
            out += ' ';
            break;
        case Kind::Comma:
            if (betweenDigits(line, i)) {
                // The blank in front of the amount takes the currency sign; an
                // amount with no blank before it simply goes without one.
                const auto blank = out.rfind(' ');
                if (blank != std::string::npos && blank >= lineStart && !settings.currency.empty())
                    out[blank] = settings.currency.front();
                out += settings.decimal;
            } else {
                out += ' ';
            }
            break;
        case Kind::Point:
            if (!betweenDigits(line, i))
                out += '.';
            break;
        case Kind::Minus:
            out += isDigitAt(line, i + 1) ? '-' : ' ';
            break;
        case Kind::Plain:
            break;
        }
        ++i;
    }
}

std::string convertCsvLine(std::string_view line, const CsvSettings& settings)
{
    std::string out;
    out.reserve(line.size() + 8);
    appendCsvLine(out, line, settings);
    return out;
}

std::string csvFileName(std::string_view stationTag)
{
    return reportFileName(stationTag) + ".csv";
}

std::filesystem::path ConvertiXLS(const DataFolder& folder, std::string_view reportName,
                                  std::string_view stationTag)
{
    constexpr std::size_t kChunk = 1 << 16;
    const CsvSettings settings = readCsvSettings(folder);
    const auto report = folder.locate(reportName);
    AtomicFile out(folder.target(csvFileName(stationTag)));
    std::string chunk;
    chunk.reserve(2 * kChunk);
    forEachReportLine(report, [&](std::string_view line) {
        appendCsvLine(chunk, line, settings);
        chunk += kLineEnd;
        if (chunk.size() >= kChunk) {
            out.write(chunk);
            chunk.clear();
        }
    });
    out.write(chunk);
    out.commit();
    return out.target();
}

} // namespace presenze
