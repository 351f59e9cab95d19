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

} // namespace presenze::box
