#pragma once
// One row of a COPY ... TO STDOUT in PostgreSQL's text format, read back into
// the core's values: fields parted at the tabs, escapes undone, texts turned
// from UTF-8 into Windows-1252. A field that is not what the table's layout
// says raises StoreError.

#include "data/Currency.h"
#include "data/Dates.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

class CopyReader {
public:
    // Reads the row's fields (the views stay valid with the row's text).
    void read(std::string_view row);

    std::size_t size() const { return m_fields.size(); }
    bool isNull(std::size_t i) const { return m_fields.at(i) == "\\N"; }
    // Into `out`, whose storage is reused.
    void text(std::size_t i, std::string& out);
    std::string text(std::size_t i);
    std::int64_t number(std::size_t i) const;
    std::optional<std::int64_t> optionalNumber(std::size_t i) const;
    Currency currency(std::size_t i) const;
    Date date(std::size_t i) const;

private:
    std::vector<std::string_view> m_fields;
    std::string m_unescaped;
};

// A date as the server writes it ("2026-12-08"); nullopt for anything else.
std::optional<Date> parseIsoDate(std::string_view text);

} // namespace presenze
