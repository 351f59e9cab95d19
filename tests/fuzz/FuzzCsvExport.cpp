// The CSV export over any report file and any settings: the streaming export
// (ConvertiXLS on a file) gives, line for line, what the rules give for each
// line of the report split in memory, and a straightforward rendering of the
// rules agrees with the fast one.
//
// Input: three bytes giving the lengths (mod 4) of the field separator, the
// decimal separator and the currency sign, those bytes, one byte of options
// (bit 0: write SeparatoreXLS.txt; bits 1, 5, 6 and 7 all set: put the report
// after a megabyte of filler, less bits 2-4, so that its lines cross the
// reader's block boundary), then the report file. The filler is kept rare:
// a megabyte through the instrumented code takes a good part of a second.

#include "FuzzSupport.h"
#include "common/ReportFile.h"
#include "data/DataFolder.h"
#include "output/CsvExport.h"

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

bool digitAt(std::string_view line, std::ptrdiff_t i)
{
    return i >= 0 && i < static_cast<std::ptrdiff_t>(line.size()) && line[i] >= '0' &&
           line[i] <= '9';
}

// The rules, one character at a time.
std::string reference(std::string_view line, const CsvSettings& s)
{
    std::string out;
    const auto last = static_cast<std::ptrdiff_t>(line.size()) - 1;
    for (std::ptrdiff_t i = 0; i <= last; ++i) {
        const char ch = line[i];
        const auto code = static_cast<unsigned char>(ch);
        const bool amount = digitAt(line, i - 1) && digitAt(line, i + 1) && digitAt(line, i + 2);
        switch (code) {
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
            out += s.separator;
            break;
        case 180:
            out += i == last ? s.separator : std::string(" ");
            break;
        case 196:
            out += ' ';
            break;
        case ',':
            if (amount) {
                const auto blank = out.rfind(' ');
                if (blank != std::string::npos && !s.currency.empty())
                    out[blank] = s.currency.front();
                out += s.decimal;
            } else {
                out += ' ';
            }
            break;
        case '.':
            if (!amount)
                out += '.';
            break;
        case '-':
            out += digitAt(line, i + 1) ? '-' : ' ';
            break;
        default:
            out += ch;
        }
    }
    return out;
}

bool hasLineEnd(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    std::size_t at = 3;
    CsvSettings settings;
    std::string* fields[] = {&settings.separator, &settings.decimal, &settings.currency};
    for (int i = 0; i < 3; ++i) {
        const std::size_t n = std::min<std::size_t>(data[i] % 4, size - at);
        fields[i]->assign(fuzz::asText(data + at, n));
        at += n;
    }
    if (at >= size)
        return 0;
    const std::uint8_t options = data[at++];
    std::string content(fuzz::asText(data + at, size - at));
    const std::size_t filler = (options & 0xE2) == 0xE2 ? (1 << 20) - 1 - ((options >> 2) & 7) : 0;
    content.insert(0, std::string(filler, 'x'));

    const fs::path dir = fuzz::scratchFolder() / "csv";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const DataFolder folder(dir);
    const bool settingsFile = (options & 1) && !hasLineEnd(settings.separator) &&
                              !hasLineEnd(settings.decimal) && !hasLineEnd(settings.currency);
    if (settingsFile)
        fuzz::writeBytes(dir / "SeparatoreXLS.txt", settings.separator + "\r\n" + settings.decimal +
                                                        "\r\n" + settings.currency + "\r\n");
    else
        settings = CsvSettings{};
    const CsvSettings read = readCsvSettings(folder);
    if (read.separator != settings.separator || read.decimal != settings.decimal ||
        read.currency != settings.currency)
        fuzz::broken("SeparatoreXLS.txt read back differently");

    fuzz::writeBytes(dir / "fd9", content);
    const fs::path csv = ConvertiXLS(folder, "fd9", "9");
    std::string expected;
    bool first = true;
    for (const auto& line : splitLines(content)) {
        const std::string converted = convertCsvLine(line, settings);
        // The filler has no blank, digit or drawing byte: the rules leave it
        // as it is and it changes nothing after it.
        const std::size_t plain = first ? filler : 0;
        first = false;
        if (converted !=
            line.substr(0, plain) + reference(std::string_view(line).substr(plain), settings))
            fuzz::broken("the export differs from the rules");
        expected += converted;
        expected += kLineEnd;
    }
    std::string written;
    {
        std::ifstream in(csv, std::ios::binary);
        written.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (written != expected)
        fuzz::broken("the streamed export differs from the export of the lines");
    return 0;
}
