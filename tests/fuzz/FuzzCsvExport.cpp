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
#include "data/Text1252.h"
#include "output/CsvExport.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

bool digitAt(std::string_view line, std::ptrdiff_t i)
{
    return i >= 0 && i < static_cast<std::ptrdiff_t>(line.size()) && line[i] >= '0' &&
           line[i] <= '9';
}

// After the blanks around it: a sign, digits, then perhaps the decimal
// separator and digits.
bool signedNumber(const std::string& text, const CsvSettings& s)
{
    const auto from = text.find_first_not_of(' ');
    const auto to = text.find_last_not_of(' ');
    const std::string t = text.substr(from, to - from + 1);
    std::size_t i = 1;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i;
        return i > start;
    };
    if (!digits())
        return false;
    if (i == t.size())
        return true;
    if (s.decimal.empty() || t.compare(i, s.decimal.size(), s.decimal) != 0)
        return false;
    i += s.decimal.size();
    return digits() && i == t.size();
}

// A field as a spreadsheet takes it: "'" before a leading "=" or "@", or a
// leading "+" or "-" of a field that is no number, and quotes around a field
// with a quote or the separator.
std::string field(std::string text, const CsvSettings& s)
{
    const auto first = text.find_first_not_of(' ');
    if (first != std::string::npos &&
        (text[first] == '=' || text[first] == '@' ||
         ((text[first] == '+' || text[first] == '-') && !signedNumber(text, s))))
        text.insert(first, "'");
    if (text.find('"') == std::string::npos &&
        (s.separator.empty() || text.find(s.separator) == std::string::npos))
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// The rules, one character at a time, then field by field.
std::string reference(std::string_view line, const CsvSettings& s)
{
    std::string out;
    std::vector<std::size_t> cuts;
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
        case 183:
        case 186:
        case 187:
        case 188:
        case 200:
        case 201:
        case 202:
        case 203:
        case 204:
        case 206:
        case 166:
            cuts.push_back(out.size());
            out += s.separator;
            break;
        case 180:
            if (i == last)
                cuts.push_back(out.size());
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
                out += ',';
            }
            break;
        case '.':
            if (!amount)
                out += '.';
            break;
        case '-': {
            const bool ruled = (i > 0 && line[i - 1] == '-') || (i < last && line[i + 1] == '-');
            out += digitAt(line, i + 1) || !ruled ? '-' : ' ';
            break;
        }
        default:
            out += ch;
        }
    }
    std::string fields;
    std::size_t start = 0;
    for (const std::size_t cut : cuts) {
        fields += field(out.substr(start, cut - start), s) + s.separator;
        start = cut + s.separator.size();
    }
    return fields + field(out.substr(start), s);
}

// Valid UTF-8 holding a byte of 128 or more: how SeparatoreXLS.txt is told
// to be UTF-8 (without a byte-order mark).
bool utf8WithHighBytes(std::string_view text)
{
    bool high = false;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t n = c < 0x80                 ? 0
                              : c >= 0xC2 && c <= 0xDF ? 1
                              : c >= 0xE0 && c <= 0xEF ? 2
                              : c >= 0xF0 && c <= 0xF4 ? 3
                                                       : 9;
        if (n == 9 || i + n >= text.size() + (n == 0))
            return false;
        for (std::size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        high = high || n > 0;
        i += n + 1;
    }
    return high;
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
    if (settingsFile &&
        utf8WithHighBytes(settings.separator + settings.decimal + settings.currency)) {
        for (auto* text : fields)
            *text = utf8ToCp1252(*text);
    }
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
