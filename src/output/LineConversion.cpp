#include "output/LineConversion.h"

#include "common/BoxDrawing.h"
#include "data/Text1252.h"

#include <array>

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

} // namespace

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
