#include "reports/type1/GridLine.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace presenze {

GridLine::GridLine(std::string_view label) : m_text(fitted(label, 8))
{
    m_text.reserve(9 + 4 * kReportDays);
    m_text += box::kVertical;
    for (int day = 0; day < kReportDays; ++day) {
        m_text += "   ";
        m_text += box::kVertical;
    }
}

void GridLine::set(int day, std::string_view value)
{
    if (day < 1 || day > kReportDays)
        return;
    if (value.size() > 3)
        value = value.substr(value.size() - 3);
    const std::size_t cell = 9 + 4 * static_cast<std::size_t>(day - 1);
    m_text.replace(cell, 3, std::string(3 - value.size(), ' ').append(value));
}

std::string gridRule(char first, char joint)
{
    std::string rule(8, box::kHorizontal);
    rule += first;
    for (int day = 0; day < kReportDays; ++day) {
        rule.append(3, box::kHorizontal);
        rule += joint;
    }
    return rule;
}

std::string decimal(std::int64_t value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string dayCell(std::int64_t value)
{
    return value < -99 || value > 999 ? std::string("***") : decimal(value);
}

std::string positiveRemainderCell(std::int64_t value)
{
    if (value <= 0)
        return {};
    return decimal(value > 999 ? value % 1000 : value);
}

std::string freeRoomsCell(std::int64_t value)
{
    if (value < -99)
        value = value == std::numeric_limits<std::int64_t>::min()
                    ? std::numeric_limits<std::int64_t>::max()
                    : -value;
    if (value > 999)
        value %= 1000;
    return decimal(value);
}

std::string lastThreeCell(std::int64_t value)
{
    const std::string text = decimal(value);
    return text.size() > 3 ? text.substr(text.size() - 3) : text;
}

std::string tableCell(std::int64_t value)
{
    std::string cell;
    appendTableCell(cell, value);
    return cell;
}

void appendTableCell(std::string& line, std::int64_t value)
{
    char cell[7] = {' ', ' ', ' ', ' ', ' ', ' ', box::kVertical};
    if (value < -99999 || value > 999999) {
        std::memset(cell, '*', 6);
    } else {
        char digits[8];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        const auto size = static_cast<std::size_t>(end - digits);
        std::memcpy(cell + 6 - size, digits, size);
    }
    line.append(cell, sizeof cell);
}

std::string fitted(std::string_view text, std::size_t width)
{
    std::string out(text.substr(0, width));
    out.resize(width, ' ');
    return out;
}

} // namespace presenze
