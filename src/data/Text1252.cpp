#include "data/Text1252.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace presenze {
namespace {

// Unicode code points of the bytes 0x80..0x9F.
constexpr std::array<char32_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t toUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return kHighTable[byte - 0x80];
    return byte;
}

int fromUnicode(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (std::size_t i = 0; i < kHighTable.size(); ++i)
        if (kHighTable[i] == cp)
            return static_cast<int>(0x80 + i);
    return -1;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

constexpr std::array<unsigned char, 256> makeUpperTable()
{
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<unsigned char>(i);
    for (int c = 'a'; c <= 'z'; ++c)
        t[c] = static_cast<unsigned char>(c - 32);
    for (int c = 0xE0; c <= 0xFE; ++c)
        if (c != 0xF7)
            t[c] = static_cast<unsigned char>(c - 32);
    t[0x9A] = 0x8A; // s caron
    t[0x9C] = 0x8C; // oe
    t[0x9E] = 0x8E; // z caron
    t[0xFF] = 0x9F; // y diaeresis
    return t;
}

constexpr auto kUpper = makeUpperTable();

// No byte above 0x7F; eight bytes at a time.
bool isAscii(std::string_view text)
{
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        if (word & 0x8080808080808080ull)
            return false;
    }
    for (; i < text.size(); ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    return true;
}

} // namespace

std::string utf8ToCp1252(std::string_view utf8)
{
    std::string out;
    utf8ToCp1252(utf8, out);
    return out;
}

void utf8ToCp1252(std::string_view utf8, std::string& out)
{
    if (isAscii(utf8)) {
        out.assign(utf8);
        return;
    }
    out.clear();
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        int extra = 0;
        char32_t cp = 0;
        if ((b & 0xE0) == 0xC0) {
            extra = 1;
            cp = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            cp = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            cp = b & 0x07;
        } else {
            out += '?';
            ++i;
            continue;
        }
        if (i + extra >= utf8.size()) { // sequence cut short at the end
            out += '?';
            break;
        }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(utf8[i + k]);
            if ((c & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok) {
            out += '?';
            ++i;
            continue;
        }
        i += extra + 1;
        // A character written with more bytes than it needs ("\xC0\xAF" for
        // "/") is no character: taken at its value it would slip a folder
        // separator or a control byte past the checks made on the text.
        constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kLeast[extra] || cp > 0x10FFFF) {
            out += '?';
            continue;
        }
        const int byte = fromUnicode(cp);
        out += byte < 0 ? '?' : static_cast<char>(byte);
    }
}

std::string cp1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text)
        appendUtf8(out, toUnicode(static_cast<unsigned char>(c)));
    return out;
}

char upperCp1252(char c)
{
    return static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
}

std::string upperCp1252(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = upperCp1252(c);
    return out;
}

int compareText(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto fa = kUpper[static_cast<unsigned char>(a[i])];
        const auto fb = kUpper[static_cast<unsigned char>(b[i])];
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return 0;
}

bool equalText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (kUpper[static_cast<unsigned char>(a[i])] != kUpper[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

bool startsWithText(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalText(text.substr(0, prefix.size()), prefix);
}

std::string_view trimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

} // namespace presenze
