#include "output/LineConversion.h"

#include "common/BoxDrawing.h"
#include "common/ReportFile.h"
#include "data/Text1252.h"

#include <array>
#include <map>

namespace presenze {
namespace {

std::string utf8Of(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// Each byte as the printer draws it.
std::array<std::string, 256> drawnBytes(bool keepLetters)
{
    std::array<std::string, 256> table;
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        if (const char32_t frame = box::frameCharacter(byte))
            table[b] = utf8Of(frame);
        else if (b == 0xD2 && !keepLetters)
            table[b] = cp1252ToUtf8("\xF2"); // Ò -> ò
        else
            table[b] = cp1252ToUtf8(std::string_view(&byte, 1));
    }
    return table;
}

// The frame bytes by the UTF-8 of the box-drawing character they stand for.
std::map<std::string, char, std::less<>> frameBytes()
{
    std::map<std::string, char, std::less<>> bytes;
    for (int b = 128; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        if (const char32_t frame = box::frameCharacter(byte))
            bytes.emplace(utf8Of(frame), byte);
    }
    return bytes;
}

} // namespace

std::string shownLine(std::string_view line)
{
    return Converti2(line, true);
}

std::string reportLineOf(std::string_view shown)
{
    if (shown.size() == 1 && shown.front() == kFormFeed)
        return std::string(shown);
    static const auto frames = frameBytes();
    constexpr std::size_t kFrameLength = 3; // every frame character is U+25xx
    std::string out;
    std::string text; // UTF-8 between two frames
    auto takeText = [&] {
        appendReportText(out, utf8ToCp1252(text));
        text.clear();
    };
    for (std::size_t i = 0; i < shown.size();) {
        if (shown[i] == '\xE2' && i + kFrameLength <= shown.size()) {
            if (const auto it = frames.find(shown.substr(i, kFrameLength)); it != frames.end()) {
                takeText();
                out += it->second;
                i += kFrameLength;
                continue;
            }
        }
        text += shown[i++];
    }
    takeText();
    return out;
}

std::string Converti2(std::string_view line, bool keepLetters)
{
    static const std::array<std::string, 256> converted = drawnBytes(false);
    static const std::array<std::string, 256> kept = drawnBytes(true);
    const auto& table = keepLetters ? kept : converted;
    std::string out;
    out.reserve(line.size() + line.size() / 2);
    for (const char c : line)
        out += table[static_cast<unsigned char>(c)];
    return out;
}

} // namespace presenze
