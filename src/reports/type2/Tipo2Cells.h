#pragma once
// The pieces the Type 2 lines are made of: the column separator and the day
// cells ("@@@": right-aligned in 3 characters, a longer number written whole).

#include <cstdint>
#include <string>
#include <string_view>

namespace presenze
{

inline constexpr char kVertical = '\xB3';   // 179
inline constexpr char kHorizontal = '\xC4'; // 196
inline constexpr char kBranchDown = '\xC2'; // 194
inline constexpr char kCrossing = '\xC5';   // 197
inline constexpr char kBrokenBar = '\xA6';  // the closing table's bar

// The number right-aligned in `width` characters (written whole when longer).
std::string rightAligned(std::int64_t value, std::size_t width);

// Appends a day cell and the separator: the value when `shown`, else 3 blanks.
void appendCell(std::string& line, std::int64_t value, bool shown);

} // namespace presenze
