#pragma once
// The fixed-pitch pieces of the Type 1 report: the grid line (an 8-character
// label, a bar and 31 day cells of three characters and a bar, 133 in all),
// and the value texts of its cells and of the tables.

#include "common/BoxDrawing.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace presenze {

inline constexpr int kReportDays = 31;

class GridLine {
public:
    // The label padded or cut to 8 characters, then 31 blank cells.
    explicit GridLine(std::string_view label);

    // Sets the cell of day 1..31 to the text, right-aligned in its three
    // characters (a longer text keeps its last three).
    void set(int day, std::string_view value);

    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

// 8 horizontals, then `first` and 31 times three horizontals and `joint`.
std::string gridRule(char first, char joint);

// The value texts. Each returns the characters of the value only; the
// caller aligns them.
std::string decimal(std::int64_t value);
// Three-character cells of the hotel blocks and of the breakdowns: "***" for a
// value outside -99..999.
std::string dayCell(std::int64_t value);
// The "Totali" block's presences and rooms: empty for 0 or less, the
// remainder by 1000 above 999.
std::string positiveRemainderCell(std::int64_t value);
// The "Totali" block's free rooms: a value below -99 loses its sign, then a
// value above 999 is reduced to its remainder by 1000.
std::string freeRoomsCell(std::int64_t value);
// The all-hotel "TOT" lines: the last three characters of the decimal text.
std::string lastThreeCell(std::int64_t value);
// Six-character cells of the company and nation tables: "******" for a value
// outside -99999..999999; right-aligned in 6 and followed by the bar.
std::string tableCell(std::int64_t value);
// The same, appended to a line.
void appendTableCell(std::string& line, std::int64_t value);

// The text padded with blanks or cut to `width` characters.
std::string fitted(std::string_view text, std::size_t width);

} // namespace presenze
