#pragma once
// One result of a PostgreSQL statement (libpq's PGresult), freed with the
// object. Values are the server's text, UTF-8.

#include <memory>
#include <string>
#include <string_view>

struct pg_result;

namespace presenze {

class PgResult {
public:
    PgResult() = default;
    explicit PgResult(pg_result* result) : m_result(result) {}

    pg_result* get() const { return m_result.get(); }
    explicit operator bool() const { return m_result != nullptr; }

    int rows() const;
    bool isNull(int row, int column) const;
    std::string_view value(int row, int column) const;
    // The command tag of a statement that ran ("COMMIT", "DELETE 12").
    std::string_view commandTag() const;
    // The SQLSTATE of a failed statement ("42501"), empty when it has none.
    std::string sqlState() const;
    // The server's own message (UTF-8), empty when it has none.
    std::string message() const;

private:
    struct Free {
        void operator()(pg_result* result) const;
    };
    std::unique_ptr<pg_result, Free> m_result;
};

} // namespace presenze
