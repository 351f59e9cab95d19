#pragma once
// The frame characters of the reports: the single-line box-drawing set of the
// DOS character table, stored as single bytes in the Windows-1252 report
// lines, and the broken bar of the Type 2 closing table. Whatever writes a
// frame or reads one back (CSV export, printing without frames) names them
// from here.

namespace presenze::box {

inline constexpr char kVertical = '\xB3';    // 179 │
inline constexpr char kRightT = '\xB4';      // 180 ┤
inline constexpr char kTopRight = '\xBF';    // 191 ┐
inline constexpr char kBottomLeft = '\xC0';  // 192 └
inline constexpr char kBottomT = '\xC1';     // 193 ┴
inline constexpr char kTopT = '\xC2';        // 194 ┬
inline constexpr char kLeftT = '\xC3';       // 195 ├
inline constexpr char kHorizontal = '\xC4';  // 196 ─
inline constexpr char kCross = '\xC5';       // 197 ┼
inline constexpr char kBottomRight = '\xD9'; // 217 ┘
inline constexpr char kTopLeft = '\xDA';     // 218 ┌
inline constexpr char kBrokenBar = '\xA6';   // 166 ¦

// The byte's value, for tables and switches that go by value.
constexpr unsigned char code(char c)
{
    return static_cast<unsigned char>(c);
}

// The box-drawing character of the DOS line set (a Unicode code point) that a
// byte of a report line stands for: the eleven bytes above and the ten of the
// double-line set that the readers also take as frames (183, 186, 187, 188,
// 200, 201, 202, 203, 204, 206). A text from the data never carries one of
// these 21 bytes into a report line, so in a report line they are always
// frames. 0 for any other byte.
constexpr char32_t frameCharacter(char c)
{
    switch (code(c)) {
    case 179:
        return U'\u2502'; // │
    case 180:
        return U'\u2524'; // ┤
    case 183:
        return U'\u2556'; // ╖
    case 186:
        return U'\u2551'; // ║
    case 187:
        return U'\u2557'; // ╗
    case 188:
        return U'\u255D'; // ╝
    case 191:
        return U'\u2510'; // ┐
    case 192:
        return U'\u2514'; // └
    case 193:
        return U'\u2534'; // ┴
    case 194:
        return U'\u252C'; // ┬
    case 195:
        return U'\u251C'; // ├
    case 196:
        return U'\u2500'; // ─
    case 197:
        return U'\u253C'; // ┼
    case 200:
        return U'\u255A'; // ╚
    case 201:
        return U'\u2554'; // ╔
    case 202:
        return U'\u2569'; // ╩
    case 203:
        return U'\u2566'; // ╦
    case 204:
        return U'\u2560'; // ╠
    case 206:
        return U'\u256C'; // ╬
    case 217:
        return U'\u2518'; // ┘
    case 218:
        return U'\u250C'; // ┌
    default:
        return 0;
    }
}

} // namespace presenze::box
