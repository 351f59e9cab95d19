#include "store/PgResult.h"

#include <libpq-fe.h>

namespace presenze {

void PgResult::Free::operator()(pg_result* result) const
{
    PQclear(result);
}

int PgResult::rows() const
{
    return m_result ? PQntuples(m_result.get()) : 0;
}

bool PgResult::isNull(int row, int column) const
{
    return PQgetisnull(m_result.get(), row, column) != 0;
}

std::string_view PgResult::value(int row, int column) const
{
    return {PQgetvalue(m_result.get(), row, column),
            static_cast<std::size_t>(PQgetlength(m_result.get(), row, column))};
}

std::string_view PgResult::commandTag() const
{
    return m_result ? PQcmdStatus(m_result.get()) : "";
}

std::string PgResult::sqlState() const
{
    const char* state = m_result ? PQresultErrorField(m_result.get(), PG_DIAG_SQLSTATE) : nullptr;
    return state ? state : "";
}

std::string PgResult::message() const
{
    const char* text =
        m_result ? PQresultErrorField(m_result.get(), PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    return text ? text : "";
}

} // namespace presenze
