#include "store/CopyWriter.h"

#include "data/Text1252.h"

#include <array>
#include <charconv>

namespace presenze {
namespace {

constexpr std::size_t kPiece = 1 << 20;

// The UTF-8 form, escaped for COPY, of every Windows-1252 byte.
struct FieldBytes {
    std::array<std::string, 256> bytes;
    FieldBytes()
    {
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            switch (c) {
            case '\0':
                bytes[b] = " ";
                break;
            case '\\':
                bytes[b] = "\\\\";
                break;
            case '\t':
                bytes[b] = "\\t";
                break;
            case '\n':
                bytes[b] = "\\n";
                break;
            case '\r':
                bytes[b] = "\\r";
                break;
            default:
                bytes[b] = cp1252ToUtf8(std::string_view(&c, 1));
            }
        }
    }
};

const FieldBytes& fieldBytes()
{
    static const FieldBytes table;
    return table;
}

void appendField(std::string& out, std::string_view cp1252)
{
    const FieldBytes& table = fieldBytes();
    for (const char c : cp1252) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && c != '\\')
            out += c;
        else
            out += table.bytes[b];
    }
}

} // namespace

void CopyWriter::separate()
{
    if (m_rowStarted)
        m_data += '\t';
    m_rowStarted = true;
}

CopyWriter& CopyWriter::text(std::string_view cp1252)
{
    separate();
    appendField(m_data, cp1252);
    return *this;
}

CopyWriter& CopyWriter::number(std::int64_t value)
{
    separate();
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    m_data.append(buffer, end);
    return *this;
}

CopyWriter& CopyWriter::number(std::optional<std::int64_t> value)
{
    if (value)
        return number(*value);
    separate();
    m_data += "\\N";
    return *this;
}

CopyWriter& CopyWriter::currency(Currency value)
{
    separate();
    m_data += value.toText();
    return *this;
}

CopyWriter& CopyWriter::date(const Date& value)
{
    separate();
    m_data += isoDate(value);
    return *this;
}

void CopyWriter::endRow()
{
    m_data += '\n';
    m_rowStarted = false;
    if (m_data.size() >= kPiece) {
        m_send(m_data);
        m_data.clear();
    }
}

void CopyWriter::finish()
{
    if (!m_data.empty())
        m_send(m_data);
    m_data.clear();
}

std::string isoDate(const Date& day)
{
    // Three of these a snapshot row: written by hand rather than formatted.
    std::string text = "0000-00-00";
    const auto put = [&](std::size_t end, int value, int digits) {
        for (int i = 0; i < digits; ++i, value /= 10)
            text[end - static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
    };
    put(3, day.year, 4);
    put(6, day.month, 2);
    put(9, day.day, 2);
    return text;
}

std::string CopyWriter::field(std::string_view cp1252)
{
    std::string out;
    appendField(out, cp1252);
    return out;
}

} // namespace presenze
