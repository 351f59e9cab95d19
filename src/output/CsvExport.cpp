#include "output/CsvExport.h"

#include "common/BoxDrawing.h"
#include "common/ReportFile.h"
#include "data/AtomicFile.h"
#include "data/DataError.h"
#include "data/Schema.h"
#include "data/Text1252.h"
#include "data/TextLines.h"

#include <array>
#include <vector>

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

// What each byte is to the export; most bytes are copied as they are. A
// report line draws its frames only with box-drawing bytes (a text from the
// data never carries one), so every other byte is text and stays in its field.
constexpr std::array<Kind, 256> kinds()
{
    std::array<Kind, 256> k{};
    for (char c : {box::kBottomRight, box::kCross, box::kTopT, box::kLeftT, box::kBottomLeft,
                   box::kBottomT, box::kVertical, box::kTopRight, box::kTopLeft, box::kBrokenBar})
        k[box::code(c)] = Kind::Separator;
    // The double-line pieces are frames too: never a letter in a report line.
    for (int b : {183, 186, 187, 188, 200, 201, 202, 203, 204, 206})
        k[b] = Kind::Separator;
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

bool isMinusAt(std::string_view line, std::ptrdiff_t i)
{
    return i >= 0 && i < static_cast<std::ptrdiff_t>(line.size()) && line[i] == '-';
}

// Text that is valid UTF-8 and holds at least one byte of 128 or more.
bool looksLikeUtf8(std::string_view text)
{
    bool wide = false;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t follow = 0;
        if (c < 0x80)
            follow = 0;
        else if (c >= 0xC2 && c <= 0xDF)
            follow = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            follow = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            follow = 3;
        else
            return false;
        if (follow > 0 && i + follow >= text.size())
            return false;
        for (std::size_t k = 1; k <= follow; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        wide = wide || follow > 0;
        i += follow + 1;
    }
    return wide;
}

// The first three lines of "SeparatoreXLS.txt" in Windows-1252: the file is
// UTF-8 when it starts with the byte-order mark or reads as UTF-8 with a
// character beyond ASCII, Windows-1252 otherwise. Only its start is read,
// and a line longer than a settings line may be is an error.
std::vector<std::string> settingsLines(const std::filesystem::path& file)
{
    TextLimits limits;
    limits.wanted = 3;
    std::vector<std::string> lines = readTextLines(file, limits);
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    bool utf8 = !lines.empty() && lines.front().starts_with(kByteOrderMark);
    if (utf8 && !lines.empty())
        lines.front().erase(0, kByteOrderMark.size());
    std::string joined;
    for (const auto& line : lines)
        joined += line;
    utf8 = utf8 || looksLikeUtf8(joined);
    if (utf8) {
        for (auto& line : lines)
            line = utf8ToCp1252(line);
    }
    return lines;
}

// After the blanks around it: one sign, digits, then optionally the decimal
// separator and digits.
bool isSignedNumber(std::string_view field, std::string_view decimal)
{
    field = trimBlanks(field);
    if (field.empty() || (field.front() != '+' && field.front() != '-'))
        return false;
    field.remove_prefix(1);
    auto digits = [&field] {
        std::size_t n = 0;
        while (n < field.size() && field[n] >= '0' && field[n] <= '9')
            ++n;
        field.remove_prefix(n);
        return n;
    };
    if (digits() == 0)
        return false;
    if (field.empty())
        return true;
    if (decimal.empty() || field.substr(0, decimal.size()) != decimal)
        return false;
    field.remove_prefix(decimal.size());
    return digits() > 0 && field.empty();
}

// Whether a spreadsheet would take the field as a formula: it begins (after
// blanks) with "=" or "@", or with "+" or "-" without being a number.
bool startsFormula(std::string_view field, std::size_t first, const CsvSettings& settings)
{
    if (first == std::string_view::npos)
        return false;
    switch (field[first]) {
    case '=':
    case '@':
        return true;
    case '+':
    case '-':
        return !isSignedNumber(field, settings.decimal);
    default:
        return false;
    }
}

// A field as a spreadsheet must take it: "'" before the start of a formula
// (a company name never runs as one), and between double quotes when it
// holds one or the separator.
void appendField(std::string& out, std::string_view field, const CsvSettings& settings)
{
    const auto first = field.find_first_not_of(' ');
    const bool formula = startsFormula(field, first, settings);
    const bool quoted =
        field.find('"') != std::string_view::npos ||
        (!settings.separator.empty() && field.find(settings.separator) != std::string_view::npos);
    if (!formula && !quoted) {
        out.append(field);
        return;
    }
    if (quoted)
        out += '"';
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (formula && i == first)
            out += '\'';
        if (field[i] == '"')
            out += '"';
        out += field[i];
    }
    if (quoted)
        out += '"';
}

} // namespace

CsvSettings readCsvSettings(const DataFolder& folder)
{
    CsvSettings settings;
    const auto file = folder.find(schema::kCsvSettingsFile);
    if (!file)
        return settings;
    const auto lines = settingsLines(*file);
    if (lines.size() > 0)
        settings.separator = lines[0];
    if (lines.size() > 1)
        settings.decimal = lines[1];
    if (lines.size() > 2)
        settings.currency = lines[2];
    return settings;
}

namespace {

// The conversion of a line, and where it appended a separator.
void convertLine(std::string& out, std::string_view line, const CsvSettings& settings,
                 std::vector<std::size_t>& separators)
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
            separators.push_back(out.size());
            out += settings.separator;
            break;
        case Kind::RightTee:
            if (i == size - 1) {
                separators.push_back(out.size());
                out += settings.separator;
            } else {
                out += ' ';
            }
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
                out += ',';
            }
            break;
        case Kind::Point:
            if (!betweenDigits(line, i))
                out += '.';
            break;
        case Kind::Minus:
            // A minus sign, a "-" of the text, or part of a rule ("---").
            if (isDigitAt(line, i + 1) || (!isMinusAt(line, i - 1) && !isMinusAt(line, i + 1)))
                out += '-';
            else
                out += ' ';
            break;
        case Kind::Plain:
            break;
        }
        ++i;
    }
}

// Converts lines one after the other, keeping its buffers.
class CsvLineConverter {
public:
    explicit CsvLineConverter(const CsvSettings& settings) : m_settings(settings) {}

    void append(std::string& out, std::string_view line)
    {
        m_converted.clear();
        m_separators.clear();
        convertLine(m_converted, line, m_settings, m_separators);
        const std::string_view text(m_converted);
        std::size_t start = 0;
        for (const std::size_t at : m_separators) {
            appendField(out, text.substr(start, at - start), m_settings);
            out += m_settings.separator;
            start = at + m_settings.separator.size();
        }
        appendField(out, text.substr(start), m_settings);
    }

private:
    const CsvSettings& m_settings;
    std::string m_converted;
    std::vector<std::size_t> m_separators;
};

} // namespace

void appendCsvLine(std::string& out, std::string_view line, const CsvSettings& settings)
{
    CsvLineConverter(settings).append(out, line);
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
                                  std::string_view stationTag, const WorkProgress& progress)
{
    constexpr std::size_t kChunk = 1 << 16;
    const CsvSettings settings = readCsvSettings(folder);
    const auto report = folder.locate(reportName);
    AtomicFile out(folder.target(csvFileName(stationTag)));
    std::string chunk;
    chunk.reserve(2 * kChunk);
    CsvLineConverter converter(settings);
    forEachReportLine(
        report,
        [&](std::string_view line) {
            converter.append(chunk, line);
            chunk += kLineEnd;
            if (chunk.size() >= kChunk) {
                out.write(chunk);
                chunk.clear();
            }
        },
        progress);
    out.write(chunk);
    out.commit();
    return out.target();
}

} // namespace presenze
