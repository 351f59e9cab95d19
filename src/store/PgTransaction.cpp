#include "store/PgTransaction.h"

#include "store/StoreError.h"

namespace presenze {

PgTransaction::PgTransaction(PgConnection& connection, Kind kind) : m_connection(connection)
{
    // One view of the data for every read of a request: a sync that commits
    // in between is seen by none of them.
    m_connection.execute(kind == Kind::Write ? "BEGIN"
                                             : "BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY");
}

PgTransaction::~PgTransaction()
{
    if (!m_open)
        return;
    try {
        m_connection.execute("ROLLBACK");
    } catch (const StoreError&) {
        // A connection that is gone has nothing left to roll back: the
        // server drops the transaction with it.
    }
}

void PgTransaction::commit()
{
    m_open = false;
    // A transaction that failed on the way ends in a rollback even when
    // asked to commit: the server says so in its answer.
    if (m_connection.query("COMMIT").commandTag() != "COMMIT")
        throw StoreError("il server ha annullato la transazione");
}

} // namespace presenze
