#include "store/CopyReader.h"

#include "data/Text1252.h"
#include "store/StoreError.h"

#include <charconv>

namespace presenze {
namespace {

[[noreturn]] void badField(std::string_view field)
{
    throw StoreError("valore inatteso dal server: \"" + utf8ToCp1252(field.substr(0, 40)) + "\"");
}

char escaped(char c)
{
    switch (c) {
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    case 'v':
        return '\v';
    default:
        return c;
    }
}

} // namespace

void CopyReader::read(std::string_view row)
{
    // Fields are short: a plain walk beats a search per field.
    m_fields.clear();
    const char* start = row.data();
    const char* const end = row.data() + row.size();
    for (const char* c = start; c != end; ++c) {
        if (*c == '\t') {
            m_fields.emplace_back(start, static_cast<std::size_t>(c - start));
            start = c + 1;
        }
    }
    m_fields.emplace_back(start, static_cast<std::size_t>(end - start));
}

void CopyReader::text(std::size_t i, std::string& out)
{
    const std::string_view field = m_fields.at(i);
    if (field == "\\N") {
        out.clear();
        return;
    }
    if (field.find('\\') == std::string_view::npos) {
        utf8ToCp1252(field, out);
        return;
    }
    m_unescaped.clear();
    for (std::size_t k = 0; k < field.size(); ++k) {
        if (field[k] == '\\' && k + 1 < field.size())
            m_unescaped += escaped(field[++k]);
        else
            m_unescaped += field[k];
    }
    utf8ToCp1252(m_unescaped, out);
}

std::string CopyReader::text(std::size_t i)
{
    std::string out;
    text(i, out);
    return out;
}

std::int64_t CopyReader::number(std::size_t i) const
{
    const std::string_view field = m_fields.at(i);
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || end != field.data() + field.size())
        badField(field);
    return value;
}

std::optional<std::int64_t> CopyReader::optionalNumber(std::size_t i) const
{
    if (isNull(i))
        return std::nullopt;
    return number(i);
}

Currency CopyReader::currency(std::size_t i) const
{
    const std::string_view field = m_fields.at(i);
    Currency value;
    if (!Currency::parse(field, value))
        badField(field);
    return value;
}

Date CopyReader::date(std::size_t i) const
{
    const auto date = parseIsoDate(m_fields.at(i));
    if (!date)
        badField(m_fields.at(i));
    return *date;
}

std::optional<Date> parseIsoDate(std::string_view text)
{
    int parts[3] = {0, 0, 0};
    bool good = text.size() == 10 && text[4] == '-' && text[7] == '-';
    for (int p = 0, at = 0; good && p < 3; ++p) {
        const int width = p == 0 ? 4 : 2;
        const auto [end, ec] =
            std::from_chars(text.data() + at, text.data() + at + width, parts[p]);
        good = ec == std::errc() && end == text.data() + at + width;
        at += width + 1;
    }
    const Date date{parts[0], parts[1], parts[2]};
    if (!good || !date.isValid())
        return std::nullopt;
    return date;
}

} // namespace presenze
