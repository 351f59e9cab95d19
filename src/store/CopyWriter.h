#pragma once
// The rows of a COPY ... FROM STDIN in PostgreSQL's text format, made from
// the core's values: texts turned from Windows-1252 into UTF-8 (a NUL byte,
// which the server's text cannot hold, becomes a blank), backslash, tab and
// line ends escaped. The data go to the server in pieces of about a
// megabyte.

#include "data/Currency.h"
#include "data/Dates.h"
#include "store/PgConnection.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace presenze {

class CopyWriter {
public:
    explicit CopyWriter(const PgConnection::CopySend& send) : m_send(send) {}
    ~CopyWriter() = default;
    CopyWriter(const CopyWriter&) = delete;
    CopyWriter& operator=(const CopyWriter&) = delete;

    CopyWriter& text(std::string_view cp1252);
    CopyWriter& number(std::int64_t value);
    CopyWriter& number(std::optional<std::int64_t> value);
    CopyWriter& currency(Currency value);
    CopyWriter& date(const Date& value);
    // Ends the row; sends what is kept once it is large.
    void endRow();
    // Sends the rest.
    void finish();

    // The text field as written (for the tests).
    static std::string field(std::string_view cp1252);

private:
    void separate();

    const PgConnection::CopySend& m_send;
    std::string m_data;
    bool m_rowStarted = false;
};

// A day as the server writes a date ("2026-12-08").
std::string isoDate(const Date& day);

} // namespace presenze
