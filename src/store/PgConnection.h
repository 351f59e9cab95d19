#pragma once
// One connection to the chain's PostgreSQL server through libpq, closed with
// the object. Whatever the connection string says, the connection gives up
// on a server that does not answer within 10 seconds, keeps its TCP link
// checked (keepalives, a limit on unacknowledged data) and limits every
// statement, so that a lost network never hangs a station. Texts go to and
// from the server as UTF-8.
//
// Statements are fixed texts: values always travel as parameters or as the
// data of a COPY, never inside the SQL text. Failures raise StoreError.

#include "store/PgResult.h"
#include "store/StoreAddress.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

struct pg_conn;

namespace presenze {

class PgConnection {
public:
    // Seconds allowed to reach the server and be let in.
    static constexpr int kConnectSeconds = 10;

    explicit PgConnection(const StoreAddress& address);

    // A statement without parameters and without rows to give.
    void execute(const char* sql);
    // A statement with text parameters ($1, $2...; UTF-8); its rows.
    PgResult query(const char* sql, std::initializer_list<std::string_view> parameters = {});

    // COPY ... FROM STDIN: `fill` hands the data over in pieces through
    // `send` (text format rows, each ending with a line feed). It runs on a
    // thread of its own while this one sends what it made.
    using CopySend = std::function<void(std::string_view)>;
    void copyIn(const char* sql, const std::function<void(const CopySend& send)>& fill);
    // COPY ... TO STDOUT: each row (text format, without its line feed).
    void copyOut(const char* sql, const std::function<void(std::string_view row)>& row);

private:
    [[noreturn]] void fail(const PgResult& result) const;
    void expect(const PgResult& result, int status) const;

    struct Close {
        void operator()(pg_conn* connection) const;
    };
    std::unique_ptr<pg_conn, Close> m_connection;
};

} // namespace presenze
