#pragma once
// The pieces the Type 2 lines are made of: the column separator and the day
// cells ("@@@": right-aligned in 3 characters, a longer number written whole).

#include <cstdint>
#include <string>
#include <string_view>

namespace presenze {

inline constexpr char kVertical = '\xB3';   // 179
inline constexpr char kHorizontal = '\xC4'; // 196
inline constexpr char kBranchDown = '\xC2'; // 194
inline constexpr char kCrossing = '\xC5';   // 197
inline constexpr char kBrokenBar = '\xA6';  // the closing table's bar

// The number right-aligned in `width` characters (written whole when longer).
std::string rightAligned(std::int64_t value, std::size_t width);

// Appends a day cell and the separator: the value when `shown`, else 3 blanks.
inline void appendCell(std::string& line, std::int64_t value, bool shown)
{
    if (!shown) {
        line.append("   \xB3", 4);
    } else if (value >= 0 && value < 1000) {
        const int v = static_cast<int>(value);
        const char cell[4] = {v >= 100 ? static_cast<char>('0' + v / 100) : ' ',
                              v >= 10 ? static_cast<char>('0' + v / 10 % 10) : ' ',
                              static_cast<char>('0' + v % 10), kVertical};
        line.append(cell, 4);
    } else {
        line += rightAligned(value, 3);
        line += kVertical;
    }
}

// A line that starts with an 8-character label and the separator, with room
// for 31 cells.
inline std::string labelledLine(std::string_view label)
{
    std::string line;
    line.reserve(8 + 1 + 31 * 4 + 16);
    line += label;
    line += kVertical;
    return line;
}

} // namespace presenze
