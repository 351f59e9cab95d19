#pragma once
// The pieces the Type 2 lines are made of: the column separator and the day
// cells ("@@@": right-aligned in 3 characters, a longer number written whole).

#include "common/BoxDrawing.h"
#include "common/Selection.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace presenze {

class ReportWriter;

// The number right-aligned in `width` characters (written whole when longer).
std::string rightAligned(std::int64_t value, std::size_t width);

// A line of day cells: an 8-character label and the separator, then a
// cell and the separator for each day. Cells are written in place; the
// line's storage holds any 31 cells, however long their numbers.
class CellLine {
public:
    explicit CellLine(std::string_view label)
    {
        label = label.substr(0, 8);
        std::memcpy(m_text, label.data(), label.size());
        m_size = label.size();
        m_text[m_size++] = box::kVertical;
    }

    // The next day cell: the value when `shown`, else 3 blanks.
    void cell(std::int64_t value, bool shown)
    {
        char* p = m_text + m_size;
        if (!shown) {
            std::memcpy(p, "   ", 3);
            p[3] = box::kVertical;
            m_size += 4;
        } else if (value >= 0 && value < 1000) {
            const int v = static_cast<int>(value);
            p[0] = v >= 100 ? static_cast<char>('0' + v / 100) : ' ';
            p[1] = v >= 10 ? static_cast<char>('0' + v / 10 % 10) : ' ';
            p[2] = static_cast<char>('0' + v % 10);
            p[3] = box::kVertical;
            m_size += 4;
        } else {
            const std::string text = rightAligned(value, 3);
            std::memcpy(p, text.data(), text.size());
            p[text.size()] = box::kVertical;
            m_size += text.size() + 1;
        }
    }

    std::string_view text() const { return {m_text, m_size}; }

private:
    // Label and bar, then 31 cells of at most 20 digits and a sign, and a bar.
    char m_text[9 + 31 * 22];
    std::size_t m_size = 0;
};

// The presences and rooms lines of the booking kinds the selection shows:
// confirmed first, then optional.
void writeKindLines(ReportWriter& out, BookingKind kind, const CellLine& presCon,
                    const CellLine& con, const CellLine& presOpz, const CellLine& opz);

} // namespace presenze
