#pragma once
// A transaction on a connection to the chain's server.

#include "store/PgConnection.h"

namespace presenze {

// A transaction on a connection: rolled back when the object goes before
// commit() (a failure, an exception), so that nothing of it stays.
class PgTransaction {
public:
    enum class Kind { Write, ReadOnly };
    PgTransaction(PgConnection& connection, Kind kind);
    ~PgTransaction();
    PgTransaction(const PgTransaction&) = delete;
    PgTransaction& operator=(const PgTransaction&) = delete;

    void commit();

private:
    PgConnection& m_connection;
    bool m_open = true;
};

} // namespace presenze
