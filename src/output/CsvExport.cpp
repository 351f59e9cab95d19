#include "output/CsvExport.h"

#include "data/AtomicFile.h"
#include "data/Schema.h"
#include "output/ReportFile.h"

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

bool separatesColumns(unsigned char c)
{
    switch (c) {
    case 217:
    case 197:
    case 194:
    case 195:
    case 192:
    case 193:
    case 179:
    case 191:
    case 218:
    case '|':
    case '+':
        return true;
    default:
        return false;
    }
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

std::string convertCsvLine(std::string_view line, const CsvSettings& settings)
{
    std::string out;
    out.reserve(line.size() + 8);
    const auto last = static_cast<std::ptrdiff_t>(line.size()) - 1;
    for (std::ptrdiff_t i = 0; i <= last; ++i) {
        const char ch = line[i];
        const auto code = static_cast<unsigned char>(ch);
        if (separatesColumns(code)) {
            out += settings.separator;
        } else if (code == 180) {
            if (i == last)
                out += settings.separator;
            else
                out += ' ';
        } else if (code == 196) {
            out += ' ';
        } else if (ch == ',') {
            if (betweenDigits(line, i)) {
                // The blank in front of the amount takes the currency sign; an
                // amount with no blank before it simply goes without one.
                const auto blank = out.rfind(' ');
                if (blank != std::string::npos && !settings.currency.empty())
                    out[blank] = settings.currency.front();
                out += settings.decimal;
            } else {
                out += ' ';
            }
        } else if (ch == '.') {
            if (!betweenDigits(line, i))
                out += '.';
        } else if (ch == '-') {
            out += isDigitAt(line, i + 1) ? '-' : ' ';
        } else {
            out += ch;
        }
    }
    return out;
}

std::string csvFileName(std::string_view stationTag)
{
    return reportFileName(stationTag) + ".csv";
}

std::filesystem::path ConvertiXLS(const DataFolder& folder, std::string_view reportName,
                                  std::string_view stationTag)
{
    const CsvSettings settings = readCsvSettings(folder);
    const auto lines = readReportLines(folder.locate(reportName));
    AtomicFile out(folder.target(csvFileName(stationTag)));
    std::string chunk;
    for (const auto& line : lines) {
        chunk += convertCsvLine(line, settings);
        chunk += kLineEnd;
        if (chunk.size() >= 1 << 16) {
            out.write(chunk);
            chunk.clear();
        }
    }
    out.write(chunk);
    out.commit();
    return out.target();
}

} // namespace presenze
